// Linux stand-in for <d3dx9mesh.h>: meshes and their materials, loaded from DirectX .x files.
#pragma once

#include "windows.h"
#include "d3d9.h"
#include "d3dx9core.h"

struct IDirect3DDevice9;
struct ID3DXMesh;

enum _D3DXMESH {
    D3DXMESH_32BIT = 0x001,
    D3DXMESH_DONOTCLIP = 0x002,
    D3DXMESH_POINTS = 0x004,
    D3DXMESH_RTPATCHES = 0x008,
    D3DXMESH_NPATCHES = 0x4000,
    D3DXMESH_VB_SYSTEMMEM = 0x010,
    D3DXMESH_VB_MANAGED = 0x020,
    D3DXMESH_VB_WRITEONLY = 0x040,
    D3DXMESH_VB_DYNAMIC = 0x080,
    D3DXMESH_VB_SOFTWAREPROCESSING = 0x8000,
    D3DXMESH_IB_SYSTEMMEM = 0x100,
    D3DXMESH_IB_MANAGED = 0x200,
    D3DXMESH_IB_WRITEONLY = 0x400,
    D3DXMESH_IB_DYNAMIC = 0x800,
    D3DXMESH_IB_SOFTWAREPROCESSING = 0x10000,
    D3DXMESH_VB_SHARE = 0x1000,
    D3DXMESH_USEHWONLY = 0x2000,
    D3DXMESH_SYSTEMMEM = 0x110,
    D3DXMESH_MANAGED = 0x220,
    D3DXMESH_WRITEONLY = 0x440,
    D3DXMESH_DYNAMIC = 0x880,
    D3DXMESH_SOFTWAREPROCESSING = 0x18000
};

typedef struct _D3DXATTRIBUTERANGE {
    DWORD AttribId;
    DWORD FaceStart;
    DWORD FaceCount;
    DWORD VertexStart;
    DWORD VertexCount;
} D3DXATTRIBUTERANGE, *LPD3DXATTRIBUTERANGE;

// One entry of the material buffer a mesh loader hands out. Index the buffer through this
// type: its size depends on the pointer size.
typedef struct _D3DXMATERIAL {
    D3DMATERIAL9 MatD3D;
    char* pTextureFilename;
} D3DXMATERIAL, *LPD3DXMATERIAL;

typedef enum _D3DXEFFECTDEFAULTTYPE {
    D3DXEDT_STRING = 1,
    D3DXEDT_FLOATS = 2,
    D3DXEDT_DWORD = 3,
    D3DXEDT_FORCEDWORD = 0x7fffffff
} D3DXEFFECTDEFAULTTYPE;

typedef struct _D3DXEFFECTDEFAULT {
    char* pParamName;
    D3DXEFFECTDEFAULTTYPE Type;
    DWORD NumBytes;
    void* pValue;
} D3DXEFFECTDEFAULT, *LPD3DXEFFECTDEFAULT;

// One entry per material of the effect-instance buffer a mesh loader hands out.
typedef struct _D3DXEFFECTINSTANCE {
    char* pEffectFilename;
    DWORD NumDefaults;
    LPD3DXEFFECTDEFAULT pDefaults;
} D3DXEFFECTINSTANCE, *LPD3DXEFFECTINSTANCE;

struct ID3DXBaseMesh : IUnknown {
    // Draws the faces of one attribute (material) with the device's current states and
    // effect pass; a subset the mesh does not have draws nothing.
    virtual HRESULT WINAPI DrawSubset(DWORD AttribId) = 0;
    virtual DWORD WINAPI GetNumFaces() = 0;
    virtual DWORD WINAPI GetNumVertices() = 0;
    virtual DWORD WINAPI GetFVF() = 0;
    virtual DWORD WINAPI GetNumBytesPerVertex() = 0;
    virtual DWORD WINAPI GetOptions() = 0;
    // The vertices, laid out by the FVF; changes reach the device at the next draw after
    // the matching unlock.
    virtual HRESULT WINAPI LockVertexBuffer(DWORD Flags, LPVOID* ppData) = 0;
    virtual HRESULT WINAPI UnlockVertexBuffer() = 0;
    // Three indices per face, 16-bit unless the mesh was made with D3DXMESH_32BIT.
    virtual HRESULT WINAPI LockIndexBuffer(DWORD Flags, LPVOID* ppData) = 0;
    virtual HRESULT WINAPI UnlockIndexBuffer() = 0;
    virtual HRESULT WINAPI GetAttributeTable(D3DXATTRIBUTERANGE* pAttribTable,
                                             DWORD* pAttribTableSize) = 0;
};

struct ID3DXMesh : ID3DXBaseMesh {
    // One attribute (subset number) per face.
    virtual HRESULT WINAPI LockAttributeBuffer(DWORD Flags, DWORD** ppData) = 0;
    virtual HRESULT WINAPI UnlockAttributeBuffer() = 0;
};
typedef ID3DXMesh* LPD3DXMESH;

// Loads every mesh of a text-format .x file, merged into one with its frames' transforms
// applied; the faces of each material form one subset. The material buffer holds
// *pNumMaterials D3DXMATERIAL entries (texture names are not kept: the name pointers are
// null), the effect-instance buffer as many empty D3DXEFFECTINSTANCE entries (no file read
// here names an effect), the adjacency buffer three face numbers per face (0xffffffff where
// no face shares the edge). A file that is not a readable text .x gives D3DXERR_INVALIDDATA.
HRESULT WINAPI D3DXLoadMeshFromXInMemory(LPCVOID Memory, DWORD SizeOfMemory, DWORD Options,
                                         struct IDirect3DDevice9* pD3DDevice,
                                         LPD3DXBUFFER* ppAdjacency, LPD3DXBUFFER* ppMaterials,
                                         LPD3DXBUFFER* ppEffectInstances, DWORD* pNumMaterials,
                                         LPD3DXMESH* ppMesh);
HRESULT WINAPI D3DXLoadMeshFromXResource(HMODULE Module, LPCSTR Name, LPCSTR Type, DWORD Options,
                                         struct IDirect3DDevice9* pD3DDevice,
                                         LPD3DXBUFFER* ppAdjacency, LPD3DXBUFFER* ppMaterials,
                                         LPD3DXBUFFER* ppEffectInstances, DWORD* pNumMaterials,
                                         LPD3DXMESH* ppMesh);
