#include "DeviceChild.h"

#include "Device.h"

DeviceChild::DeviceChild(Device* device) : m_device(device)
{
    if (m_device)
        m_device->AddChild(this);
}

DeviceChild::~DeviceChild()
{
    if (m_device)
        m_device->RemoveChild(this);
}

void DeviceChild::Orphan()
{
    m_device = nullptr;
}
