#include "Device.h"

#include "Surface.h"
#include "DeviceContext.h"

#include <algorithm>
#include <utility>

HRESULT WINAPI Device::Present(const RECT*, const RECT*, HWND, const RGNDATA*)
{
    if (m_inScene)
        return D3DERR_INVALIDCALL;
    int windowWidth = 0, windowHeight = 0;
    GetShownWindowSize(m_window, windowWidth, windowHeight);
    const int width = static_cast<int>(m_parameters.BackBufferWidth);
    const int height = static_cast<int>(m_parameters.BackBufferHeight);
    // Scaled to the window with its aspect kept, centred between black bars.
    const double scale = std::min(static_cast<double>(windowWidth) / width, static_cast<double>(windowHeight) / height);
    const int w = static_cast<int>(width * scale + 0.5);
    const int h = static_cast<int>(height * scale + 0.5);
    const int x = (windowWidth - w) / 2;
    const int y = (windowHeight - h) / 2;
    const float black[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    m_renderStatesDirty = true;
    glBindFramebuffer(GL_FRAMEBUFFER, WindowFramebuffer());
    // The bars only show when the picture leaves some of the window uncovered.
    if (w != windowWidth || h != windowHeight)
        glClearBufferfv(GL_COLOR, 0, black);
    m_fenceGuard.SceneEnds();
    // The back buffer's first row is its top; the window's first row is its bottom.
    glBindFramebuffer(GL_READ_FRAMEBUFFER, m_backBufferFramebuffer);
    glBlitFramebuffer(0, 0, width, height, x, y + h, x + w, y, GL_COLOR_BUFFER_BIT,
                      w == width && h == height ? GL_NEAREST : GL_LINEAR);
    m_fenceGuard.SceneEnds();
    ShowWindowFramebuffer(m_window);
    BindRenderTarget();
    return D3D_OK;
}

HRESULT WINAPI Device::GetBackBuffer(UINT iSwapChain, UINT iBackBuffer, D3DBACKBUFFER_TYPE Type,
                                     IDirect3DSurface9** ppBackBuffer)
{
    if (!ppBackBuffer)
        return D3DERR_INVALIDCALL;
    *ppBackBuffer = nullptr;
    if (iSwapChain != 0 || iBackBuffer != 0 || Type != D3DBACKBUFFER_TYPE_MONO)
        return D3DERR_INVALIDCALL;
    m_backBuffer->AddRef();
    *ppBackBuffer = m_backBuffer;
    return D3D_OK;
}

HRESULT WINAPI Device::CreateOffscreenPlainSurface(UINT Width, UINT Height, D3DFORMAT Format, D3DPOOL Pool,
                                                   IDirect3DSurface9** ppSurface, HANDLE* pSharedHandle)
{
    if (!ppSurface)
        return D3DERR_INVALIDCALL;
    *ppSurface = nullptr;
    if (pSharedHandle || Width == 0 || Height == 0 || Width > 16384 || Height > 16384 || Pool == D3DPOOL_MANAGED ||
        (Format != D3DFMT_A8R8G8B8 && Format != D3DFMT_X8R8G8B8))
        return D3DERR_INVALIDCALL;
    D3DSURFACE_DESC desc = {};
    desc.Format = Format;
    desc.Type = D3DRTYPE_SURFACE;
    desc.Pool = Pool;
    desc.Width = Width;
    desc.Height = Height;
    *ppSurface = new Surface(this, desc, 0, 0);
    return D3D_OK;
}

HRESULT WINAPI Device::GetRenderTargetData(IDirect3DSurface9* pRenderTarget, IDirect3DSurface9* pDestSurface)
{
    Surface* source = static_cast<Surface*>(pRenderTarget);
    Surface* destination = static_cast<Surface*>(pDestSurface);
    if (!source || !destination || !source->Framebuffer() || !destination->Memory() ||
        source->Desc().Width != destination->Desc().Width || source->Desc().Height != destination->Desc().Height)
        return D3DERR_INVALIDCALL;
    const D3DSURFACE_DESC& d = destination->Desc();
    const size_t bytes = static_cast<size_t>(d.Width) * d.Height * 4;
    m_fenceGuard.SceneEnds();
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    // Both keep the top row first, so rows copy in order; GL gives R, G, B, A bytes, and
    // A8R8G8B8 keeps B, G, R, A.
    glBindFramebuffer(GL_READ_FRAMEBUFFER, source->Framebuffer());
    unsigned char* pixels = destination->Memory();
    glReadPixels(0, 0, static_cast<GLsizei>(d.Width), static_cast<GLsizei>(d.Height), GL_RGBA, GL_UNSIGNED_BYTE,
                 pixels);
    BindRenderTarget();
    for (size_t i = 0; i < bytes; i += 4)
        std::swap(pixels[i], pixels[i + 2]);
    return glGetError() == GL_NO_ERROR ? D3D_OK : D3DERR_INVALIDCALL;
}
