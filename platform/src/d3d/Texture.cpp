#include "Texture.h"

#include "Device.h"

Texture::Texture(Device* device) : DeviceChild(device) {}

Texture* Texture::Create(Device* device, UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                         D3DPOOL pool, GLuint depthBuffer)
{
    Texture* t = new Texture(device);
    glCreateTextures(GL_TEXTURE_2D, 1, &t->m_texture);
    glTextureStorage2D(t->m_texture, static_cast<GLsizei>(levels), GL_RGBA8, static_cast<GLsizei>(width),
                       static_cast<GLsizei>(height));
    if (format == D3DFMT_X8R8G8B8)
        glTextureParameteri(t->m_texture, GL_TEXTURE_SWIZZLE_A, GL_ONE);  // X8: alpha reads as 1
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
            glCreateFramebuffers(1, &framebuffer);
            glNamedFramebufferTexture(framebuffer, GL_COLOR_ATTACHMENT0, t->m_texture, 0);
            if (depthBuffer)
                glNamedFramebufferRenderbuffer(framebuffer, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthBuffer);
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

HRESULT WINAPI Texture::GetDevice(IDirect3DDevice9** ppDevice)
{
    if (!ppDevice || !m_device)
        return D3DERR_INVALIDCALL;
    m_device->AddRef();
    *ppDevice = m_device;
    return D3D_OK;
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
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glTextureSubImage2D(m_texture, 0, 0, 0, static_cast<GLsizei>(width), static_cast<GLsizei>(height), GL_BGRA,
                        GL_UNSIGNED_BYTE, bgra);
    if (m_levels.size() > 1)
        glGenerateTextureMipmap(m_texture);
    return glGetError() == GL_NO_ERROR;
}

Texture* AsTexture(IDirect3DBaseTexture9* texture)
{
    // Every texture the layer hands out is a Texture.
    return static_cast<Texture*>(static_cast<IDirect3DTexture9*>(texture));
}
