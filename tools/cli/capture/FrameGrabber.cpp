#include "FrameGrabber.h"

#include <cstring>

bool FrameGrabber::Grab(IDirect3DDevice9* pDevice, std::vector<uint32_t>& pixels, UINT& width, UINT& height)
{
    if (!pDevice)
        return false;
    IDirect3DSurface9* pBack = nullptr;
    if (FAILED(pDevice->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &pBack)) || !pBack)
        return false;
    D3DSURFACE_DESC desc;
    bool ok = SUCCEEDED(pBack->GetDesc(&desc));
    if (ok && m_pCopy) {
        D3DSURFACE_DESC copyDesc;
        if (FAILED(m_pCopy->GetDesc(&copyDesc)) || copyDesc.Width != desc.Width || copyDesc.Height != desc.Height)
            Release();
    }
    if (ok && !m_pCopy)
        ok = SUCCEEDED(pDevice->CreateOffscreenPlainSurface(desc.Width, desc.Height, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM,
                                                            &m_pCopy, nullptr)) &&
             m_pCopy;
    ok = ok && SUCCEEDED(pDevice->GetRenderTargetData(pBack, m_pCopy));
    pBack->Release();
    D3DLOCKED_RECT locked;
    if (!ok || FAILED(m_pCopy->LockRect(&locked, nullptr, D3DLOCK_READONLY)))
        return false;
    width = desc.Width;
    height = desc.Height;
    pixels.resize(static_cast<size_t>(width) * height);
    for (UINT y = 0; y < height; ++y)
        std::memcpy(&pixels[static_cast<size_t>(y) * width],
                    static_cast<const unsigned char*>(locked.pBits) + static_cast<size_t>(y) * locked.Pitch,
                    static_cast<size_t>(width) * 4);
    m_pCopy->UnlockRect();
    return true;
}

void FrameGrabber::Release()
{
    if (m_pCopy) {
        m_pCopy->Release();
        m_pCopy = nullptr;
    }
}
