#pragma once

#include "DeviceChild.h"
#include "RefCounted.h"
#include "Surface.h"

#include <d3d9.h>
#include "Gl.h"

#include <memory>
#include <vector>

class Texture final : public RefCounted<IDirect3DTexture9>, public DeviceChild {
public:
    // levels: the count to create, already resolved (no 0 here).
    static Texture* Create(Device* device, UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                           D3DPOOL pool, GLuint depthBuffer);
    ~Texture() override;

    HRESULT WINAPI GetDevice(IDirect3DDevice9** ppDevice) override { return DeviceReference(ppDevice); }
    D3DRESOURCETYPE WINAPI GetType() override { return D3DRTYPE_TEXTURE; }
    DWORD WINAPI GetLevelCount() override { return static_cast<DWORD>(m_levels.size()); }
    HRESULT WINAPI GetLevelDesc(UINT Level, D3DSURFACE_DESC* pDesc) override;
    HRESULT WINAPI GetSurfaceLevel(UINT Level, IDirect3DSurface9** ppSurfaceLevel) override;

    void ReleaseGlObjects() override;

    // Fills level 0 from B, G, R, A bytes (the memory order of A8R8G8B8) and derives the
    // other levels from it.
    bool UploadTopLevelAndMipmaps(const unsigned char* bgra, UINT width, UINT height);
    GLuint GlTexture() const { return m_texture; }

private:
    Texture(Device* device);

    GLuint m_texture = 0;
    std::vector<std::unique_ptr<Surface>> m_levels;
};

// A framebuffer drawing into level 0 of texture (and into depthBuffer when not 0), left
// bound to GL_FRAMEBUFFER; 0 when GL cannot draw into it.
GLuint CreateTargetFramebuffer(GLuint texture, GLuint depthBuffer);

// The stand-in's own texture behind an interface pointer, or null for anything else.
Texture* AsTexture(IDirect3DBaseTexture9* texture);
