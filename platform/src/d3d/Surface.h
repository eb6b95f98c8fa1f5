#pragma once

#include "DeviceChild.h"
#include "RefCounted.h"

#include <d3d9.h>
#include "Gl.h"

#include <vector>

class Texture;

// A 2D image: a level of a texture, the back buffer, or an off-screen plain surface in
// system memory (the only kind that can be locked).
class Surface final : public RefCounted<IDirect3DSurface9>, public DeviceChild {
public:
    // A level of a texture; its reference count is the texture's.
    Surface(Device* device, Texture* container, const D3DSURFACE_DESC& desc, GLuint texture, GLint level,
            GLuint framebuffer);
    // A surface of its own: the back buffer (texture and framebuffer given) or, with no
    // texture, an off-screen plain surface in memory.
    Surface(Device* device, const D3DSURFACE_DESC& desc, GLuint texture, GLuint framebuffer);
    ~Surface() override;

    // A texture's level counts on its texture.
    ULONG WINAPI AddRef() override;
    ULONG WINAPI Release() override;
    HRESULT WINAPI GetDevice(IDirect3DDevice9** ppDevice) override { return DeviceReference(ppDevice); }
    D3DRESOURCETYPE WINAPI GetType() override { return D3DRTYPE_SURFACE; }
    HRESULT WINAPI GetDesc(D3DSURFACE_DESC* pDesc) override;
    HRESULT WINAPI LockRect(D3DLOCKED_RECT* pLockedRect, const RECT* pRect, DWORD Flags) override;
    HRESULT WINAPI UnlockRect() override;

    void ReleaseGlObjects() override;

    const D3DSURFACE_DESC& Desc() const { return m_desc; }
    GLuint GlTexture() const { return m_texture; }
    GLint GlLevel() const { return m_level; }
    GLuint Framebuffer() const { return m_framebuffer; }  // 0 when not a render target
    unsigned char* Memory() { return m_memory.empty() ? nullptr : m_memory.data(); }
    UINT Pitch() const { return m_desc.Width * 4; }

private:
    Texture* m_container = nullptr;
    D3DSURFACE_DESC m_desc;
    GLuint m_texture = 0;
    GLint m_level = 0;
    GLuint m_framebuffer = 0;
    bool m_ownsGlObjects = false;
    std::vector<unsigned char> m_memory;
    bool m_locked = false;
};
