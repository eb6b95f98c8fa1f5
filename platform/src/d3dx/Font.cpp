#include "d3d/RefCounted.h"

#include <d3dx9.h>

#include <new>

namespace {

// Holds its device; the intro never draws text with it.
class Font final : public RefCounted<ID3DXFont> {
public:
    explicit Font(IDirect3DDevice9* device) : m_device(device) { m_device->AddRef(); }

    HRESULT WINAPI GetDevice(IDirect3DDevice9** ppDevice) override
    {
        if (!ppDevice)
            return D3DERR_INVALIDCALL;
        m_device->AddRef();
        *ppDevice = m_device;
        return D3D_OK;
    }

private:
    ~Font() override { m_device->Release(); }

    IDirect3DDevice9* m_device;
};

}  // namespace

HRESULT WINAPI D3DXCreateFontA(IDirect3DDevice9* pDevice, INT Height, UINT, UINT Weight, UINT, BOOL, DWORD, DWORD,
                               DWORD, DWORD, LPCSTR pFaceName, LPD3DXFONT* ppFont)
{
    if (!pDevice || !pFaceName || !ppFont || Weight > 1000 || Height == 0)
        return D3DERR_INVALIDCALL;
    *ppFont = new (std::nothrow) Font(pDevice);
    return *ppFont ? D3D_OK : E_OUTOFMEMORY;
}
