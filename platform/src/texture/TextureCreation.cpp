#include "d3d/Device.h"
#include "d3d/Texture.h"
#include "texture/image/DdsImage.h"

#include <d3dx9tex.h>

HRESULT WINAPI D3DXCreateTextureFromFileInMemory(LPDIRECT3DDEVICE9 pDevice, LPCVOID pSrcData, UINT SrcDataSize,
                                                 LPDIRECT3DTEXTURE9* ppTexture)
{
    if (!ppTexture)
        return D3DERR_INVALIDCALL;
    *ppTexture = nullptr;
    if (!pDevice || !pSrcData || SrcDataSize == 0 || !AsDevice(pDevice)->IsCurrent())
        return D3DERR_INVALIDCALL;
    DecodedImage image;
    if (!DecodeDds(pSrcData, SrcDataSize, image) || !ScaleToPowersOfTwo(image))
        return D3DXERR_INVALIDDATA;
    IDirect3DTexture9* texture = nullptr;
    const HRESULT hr =
        pDevice->CreateTexture(image.width, image.height, 0, 0, image.format, D3DPOOL_MANAGED, &texture, nullptr);
    if (FAILED(hr))
        return hr;
    if (!AsTexture(texture)->UploadTopLevelAndMipmaps(image.bgra.data(), image.width, image.height)) {
        texture->Release();
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    *ppTexture = texture;
    return D3D_OK;
}
