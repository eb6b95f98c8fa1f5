#include "Texture.h"

#include "Device.h"

#include <utility>
#include <vector>

Texture::Texture(Device* device) : DeviceChild(device) {}

Texture* Texture::Create(Device* device, UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                         D3DPOOL pool, GLuint depthBuffer)
{
    Texture* t = new Texture(device);
    glGenTextures(1, &t->m_texture);
    glBindTexture(GL_TEXTURE_2D, t->m_texture);
    glTexStorage2D(GL_TEXTURE_2D, static_cast<GLsizei>(levels), GL_RGBA8, static_cast<GLsizei>(width),
                   static_cast<GLsizei>(height));
    for (UINT level = 0; level < levels; ++level) {
        D3DSURFACE_DESC desc = {};
        desc.Format = format;
        desc.Type = D3DRTYPE_SURFACE;
        desc.Usage = usage;
        desc.Pool = pool;
        desc.MultiSampleType = D3DMULTISAMPLE_NONE;
        desc.Width = width > 1u ? width >> level : 1u;
        desc.Height = height > 1u ? height >> level : 1u;
        if (desc.Width == 0)
            desc.Width = 1;
        if (desc.Height == 0)
            desc.Height = 1;
        GLuint framebuffer = 0;
        if ((usage & D3DUSAGE_RENDERTARGET) && level == 0) {
            // Binds the new framebuffer: the device binds its render target again.
            framebuffer = CreateTargetFramebuffer(t->m_texture, depthBuffer);
            if (!framebuffer) {
                t->Release();
                return nullptr;
            }
        }
        t->m_levels.emplace_back(new Surface(device, t, desc, t->m_texture, static_cast<GLint>(level), framebuffer));
    }
    if (glGetError() != GL_NO_ERROR) {
        t->Release();
        return nullptr;
    }
    return t;
}

Texture::~Texture()
{
    m_levels.clear();
    ReleaseGlObjects();
}

void Texture::ReleaseGlObjects()
{
    if (m_texture)
        glDeleteTextures(1, &m_texture);
    m_texture = 0;
}

HRESULT WINAPI Texture::GetLevelDesc(UINT Level, D3DSURFACE_DESC* pDesc)
{
    if (!pDesc || Level >= m_levels.size())
        return D3DERR_INVALIDCALL;
    *pDesc = m_levels[Level]->Desc();
    return D3D_OK;
}

HRESULT WINAPI Texture::GetSurfaceLevel(UINT Level, IDirect3DSurface9** ppSurfaceLevel)
{
    if (!ppSurfaceLevel || Level >= m_levels.size())
        return D3DERR_INVALIDCALL;
    *ppSurfaceLevel = m_levels[Level].get();
    AddRef();
    return D3D_OK;
}

bool Texture::UploadTopLevelAndMipmaps(const unsigned char* bgra, UINT width, UINT height)
{
    if (!m_texture || !m_device || m_levels.empty() || m_levels[0]->Desc().Width != width ||
        m_levels[0]->Desc().Height != height)
        return false;
    // GL takes R, G, B, A bytes; X8R8G8B8's unused byte becomes an opaque alpha, as
    // Direct3D reads it.
    const bool opaque = m_levels[0]->Desc().Format == D3DFMT_X8R8G8B8;
    const size_t bytes = static_cast<size_t>(width) * height * 4;
    std::vector<unsigned char> rgba(bgra, bgra + bytes);
    for (size_t i = 0; i < bytes; i += 4) {
        std::swap(rgba[i], rgba[i + 2]);
        if (opaque)
            rgba[i + 3] = 0xFF;
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glBindTexture(GL_TEXTURE_2D, m_texture);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, static_cast<GLsizei>(width), static_cast<GLsizei>(height), GL_RGBA,
                    GL_UNSIGNED_BYTE, rgba.data());
    if (m_levels.size() > 1)
        glGenerateMipmap(GL_TEXTURE_2D);
    return glGetError() == GL_NO_ERROR;
}

GLuint CreateTargetFramebuffer(GLuint texture, GLuint depthBuffer)
{
    GLuint framebuffer = 0;
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
    if (depthBuffer)
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthBuffer);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        glDeleteFramebuffers(1, &framebuffer);
        return 0;
    }
    return framebuffer;
}

Texture* AsTexture(IDirect3DBaseTexture9* texture)
{
    // Every texture the layer hands out is a Texture.
    return static_cast<Texture*>(static_cast<IDirect3DTexture9*>(texture));
}
