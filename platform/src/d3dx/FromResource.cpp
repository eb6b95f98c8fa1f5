// The D3DX loaders that read an RCDATA resource of the executable.
#include <d3dx9.h>

// The resource functions come with the embedded-resource table of the shell's part of the
// layer; until they are there, these loaders are left out.
#ifdef RT_RCDATA

namespace {

bool FindRcData(HMODULE module, LPCSTR name, LPCVOID& data, UINT& size)
{
    HRSRC resource = FindResourceA(module, name, RT_RCDATA);
    HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
    data = loaded ? LockResource(loaded) : nullptr;
    size = resource ? SizeofResource(module, resource) : 0;
    return data && size > 0;
}

}  // namespace

HRESULT WINAPI D3DXCreateEffectFromResourceA(LPDIRECT3DDEVICE9 pDevice, HMODULE hSrcModule, LPCSTR pSrcResource,
                                             const D3DXMACRO* pDefines, LPD3DXINCLUDE pInclude, DWORD Flags,
                                             LPD3DXEFFECTPOOL pPool, LPD3DXEFFECT* ppEffect,
                                             LPD3DXBUFFER* ppCompilationErrors)
{
    LPCVOID data = nullptr;
    UINT size = 0;
    if (!FindRcData(hSrcModule, pSrcResource, data, size)) {
        if (ppEffect)
            *ppEffect = nullptr;
        if (ppCompilationErrors)
            *ppCompilationErrors = nullptr;
        return D3DXERR_INVALIDDATA;
    }
    return D3DXCreateEffect(pDevice, data, size, pDefines, pInclude, Flags, pPool, ppEffect, ppCompilationErrors);
}

HRESULT WINAPI D3DXCreateTextureFromResourceA(LPDIRECT3DDEVICE9 pDevice, HMODULE hSrcModule, LPCSTR pSrcResource,
                                              LPDIRECT3DTEXTURE9* ppTexture)
{
    LPCVOID data = nullptr;
    UINT size = 0;
    if (!FindRcData(hSrcModule, pSrcResource, data, size)) {
        if (ppTexture)
            *ppTexture = nullptr;
        return D3DXERR_INVALIDDATA;
    }
    return D3DXCreateTextureFromFileInMemory(pDevice, data, size, ppTexture);
}

#endif
