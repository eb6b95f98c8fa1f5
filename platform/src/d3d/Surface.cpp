#include "Surface.h"

#include "Device.h"
#include "Texture.h"

Surface::Surface(Device* device, Texture* container, const D3DSURFACE_DESC& desc, GLuint texture, GLint level,
                 GLuint framebuffer)
    : DeviceChild(device), m_container(container), m_desc(desc), m_texture(texture), m_level(level),
      m_framebuffer(framebuffer), m_ownsGlObjects(true)
{
}

Surface::Surface(Device* device, const D3DSURFACE_DESC& desc, GLuint texture, GLuint framebuffer)
    : DeviceChild(device), m_desc(desc), m_texture(texture), m_framebuffer(framebuffer)
{
    if (!texture)
        m_memory.assign(static_cast<size_t>(desc.Width) * desc.Height * 4, 0);
}

Surface::~Surface()
{
    ReleaseGlObjects();
}

void Surface::ReleaseGlObjects()
{
    if (m_ownsGlObjects && m_framebuffer)
        glDeleteFramebuffers(1, &m_framebuffer);
    m_framebuffer = 0;
    m_texture = 0;
}

ULONG WINAPI Surface::AddRef()
{
    return m_container ? m_container->AddRef() : RefCounted::AddRef();
}

ULONG WINAPI Surface::Release()
{
    return m_container ? m_container->Release() : RefCounted::Release();
}

HRESULT WINAPI Surface::GetDesc(D3DSURFACE_DESC* pDesc)
{
    if (!pDesc)
        return D3DERR_INVALIDCALL;
    *pDesc = m_desc;
    return D3D_OK;
}

HRESULT WINAPI Surface::LockRect(D3DLOCKED_RECT* pLockedRect, const RECT* pRect, DWORD)
{
    // Only surfaces in system memory can be locked; pRect is not supported.
    if (!pLockedRect || m_memory.empty() || m_locked || pRect)
        return D3DERR_INVALIDCALL;
    m_locked = true;
    pLockedRect->Pitch = static_cast<INT>(Pitch());
    pLockedRect->pBits = m_memory.data();
    return D3D_OK;
}

HRESULT WINAPI Surface::UnlockRect()
{
    if (!m_locked)
        return D3DERR_INVALIDCALL;
    m_locked = false;
    return D3D_OK;
}
