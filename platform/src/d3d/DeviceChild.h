#pragma once

#include <d3d9.h>

// Everything a device creates (surfaces, textures, declarations, effects, meshes) is a
// device child: the device keeps a list of the living ones so that, if it goes first, it
// can free their GL objects while its context still exists. A child outliving its device
// stays a valid object whose calls fail.
class Device;

class DeviceChild {
public:
    explicit DeviceChild(Device* device);
    virtual ~DeviceChild();
    DeviceChild(const DeviceChild&) = delete;
    DeviceChild& operator=(const DeviceChild&) = delete;

    // Frees the GL objects; called once, by the child itself or by its dying device.
    virtual void ReleaseGlObjects() = 0;
    void Orphan();
    Device* GetOwner() const { return m_device; }
    // Every child's GetDevice: a new reference to its device; an orphan has none to give.
    HRESULT DeviceReference(IDirect3DDevice9** ppDevice) const;

protected:
    Device* m_device;
};
