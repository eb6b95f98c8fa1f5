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

HRESULT DeviceChild::DeviceReference(IDirect3DDevice9** ppDevice) const
{
    if (!ppDevice || !m_device)
        return D3DERR_INVALIDCALL;
    m_device->AddRef();
    *ppDevice = m_device;
    return D3D_OK;
}

void DeviceChild::Orphan()
{
    m_device = nullptr;
}
