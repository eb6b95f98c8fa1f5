#include "d3d/Device.h"
#include "d3d/Texture.h"
#include "texture/image/DdsImage.h"

#include <d3dx9tex.h>

namespace {

UINT FullChain(UINT width, UINT height)
{
    UINT levels = 1;
    while ((width >> levels) > 0 || (height >> levels) > 0)
        ++levels;
    return levels;
}

// A size argument of the loader: the default (0 too) is the next power of two.
UINT ResolveSide(UINT requested, UINT fromFile)
{
    if (requested == 0 || requested == D3DX_DEFAULT)
        return NextPowerOfTwo(fromFile);
    if (requested == D3DX_DEFAULT_NONPOW2 || requested == D3DX_FROM_FILE)
        return fromFile;
    return requested;
}

bool Supported(DWORD usage, D3DFORMAT format, DWORD filter, D3DCOLOR colorKey)
{
    const DWORD kind = filter == D3DX_DEFAULT ? D3DX_FILTER_TRIANGLE : (filter & 0xFF);
    const bool formatOk = format == D3DFMT_UNKNOWN || format == static_cast<D3DFORMAT>(D3DX_DEFAULT) ||
                          format == D3DFMT_FROM_FILE || format == D3DFMT_A8R8G8B8 || format == D3DFMT_X8R8G8B8;
    const bool filterOk = filter == D3DX_DEFAULT || ((filter & ~(0xFFu | D3DX_FILTER_DITHER)) == 0 &&
                                                     (kind == D3DX_FILTER_NONE || kind == D3DX_FILTER_TRIANGLE));
    return usage == 0 && formatOk && filterOk && colorKey == 0;
}

}  // namespace

HRESULT WINAPI D3DXCreateTextureFromFileInMemoryEx(LPDIRECT3DDEVICE9 pDevice, LPCVOID pSrcData, UINT SrcDataSize,
                                                   UINT Width, UINT Height, UINT MipLevels, DWORD Usage,
                                                   D3DFORMAT Format, D3DPOOL Pool, DWORD Filter, DWORD,
                                                   D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo, PALETTEENTRY*,
                                                   LPDIRECT3DTEXTURE9* ppTexture)
{
    if (!ppTexture)
        return D3DERR_INVALIDCALL;
    *ppTexture = nullptr;
    if (!pDevice || !pSrcData || SrcDataSize == 0 || !AsDevice(pDevice)->IsCurrent())
        return D3DERR_INVALIDCALL;
    if (!Supported(Usage, Format, Filter, ColorKey))
        return D3DERR_NOTAVAILABLE;
    DecodedImage image;
    if (!DecodeDds(pSrcData, SrcDataSize, image))
        return D3DXERR_INVALIDDATA;
    if (pSrcInfo) {
        *pSrcInfo = D3DXIMAGE_INFO();
        pSrcInfo->Width = image.width;
        pSrcInfo->Height = image.height;
        pSrcInfo->Depth = 1;
        pSrcInfo->MipLevels = 1;
        pSrcInfo->Format = image.format;
        pSrcInfo->ResourceType = D3DRTYPE_TEXTURE;
        pSrcInfo->ImageFileFormat = D3DXIFF_DDS;
    }

    const UINT width = ResolveSide(Width, image.width);
    const UINT height = ResolveSide(Height, image.height);
    if (Filter != D3DX_DEFAULT && (Filter & 0xFF) == D3DX_FILTER_NONE)
        PlaceImage(image, width, height);
    else if (!ScaleImage(image, width, height))
        return D3DXERR_INVALIDDATA;
    const UINT fullChain = FullChain(width, height);
    UINT levels = MipLevels == 0 || MipLevels == D3DX_DEFAULT ? fullChain : MipLevels == D3DX_FROM_FILE ? 1 : MipLevels;
    levels = levels > fullChain ? fullChain : levels;
    const bool fileFormat = Format == D3DFMT_UNKNOWN || Format == static_cast<D3DFORMAT>(D3DX_DEFAULT) ||
                            Format == D3DFMT_FROM_FILE;

    IDirect3DTexture9* texture = nullptr;
    const HRESULT hr = pDevice->CreateTexture(width, height, levels, 0, fileFormat ? image.format : Format, Pool,
                                              &texture, nullptr);
    if (FAILED(hr))
        return hr;
    if (!AsTexture(texture)->UploadTopLevelAndMipmaps(image.bgra.data(), image.width, image.height)) {
        texture->Release();
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    *ppTexture = texture;
    return D3D_OK;
}

HRESULT WINAPI D3DXCreateTextureFromFileInMemory(LPDIRECT3DDEVICE9 pDevice, LPCVOID pSrcData, UINT SrcDataSize,
                                                 LPDIRECT3DTEXTURE9* ppTexture)
{
    return D3DXCreateTextureFromFileInMemoryEx(pDevice, pSrcData, SrcDataSize, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT,
                                               0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0,
                                               nullptr, nullptr, ppTexture);
}
