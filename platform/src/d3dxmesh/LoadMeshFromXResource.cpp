#include <d3dx9.h>

// The resource calls as the Windows SDK declares them (kernel32); the shell's part of the
// layer defines them.
struct HRSRC__;
typedef HRSRC__* HRSRC;
typedef void* HGLOBAL;
HRSRC WINAPI FindResourceA(HMODULE module, LPCSTR name, LPCSTR type);
HGLOBAL WINAPI LoadResource(HMODULE module, HRSRC resource);
DWORD WINAPI SizeofResource(HMODULE module, HRSRC resource);
LPVOID WINAPI LockResource(HGLOBAL resourceData);

HRESULT WINAPI D3DXLoadMeshFromXResource(HMODULE Module, LPCSTR Name, LPCSTR Type, DWORD Options,
                                         struct IDirect3DDevice9* pD3DDevice, LPD3DXBUFFER* ppAdjacency,
                                         LPD3DXBUFFER* ppMaterials, LPD3DXBUFFER* ppEffectInstances,
                                         DWORD* pNumMaterials, LPD3DXMESH* ppMesh)
{
    HRSRC resource = FindResourceA(Module, Name, Type);
    HGLOBAL loaded = resource ? LoadResource(Module, resource) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    const DWORD size = resource ? SizeofResource(Module, resource) : 0;
    if (!bytes || size == 0) {
        // Nothing to read: the outputs are cleared as for any failed load.
        D3DXLoadMeshFromXInMemory(nullptr, 0, Options, pD3DDevice, ppAdjacency, ppMaterials, ppEffectInstances,
                                  pNumMaterials, ppMesh);
        return D3DXERR_INVALIDDATA;
    }
    return D3DXLoadMeshFromXInMemory(bytes, size, Options, pD3DDevice, ppAdjacency, ppMaterials, ppEffectInstances,
                                     pNumMaterials, ppMesh);
}
