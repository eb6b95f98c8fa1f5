#pragma once

#include <d3d9.h>
#include <d3dx9.h>

// A mesh from a DirectX .x file in the resources, with one material per subset.
class CMesh {
public:
    // Null (reported every time) when the mesh cannot be loaded.
    static CMesh* Load(WORD resourceId);

    ID3DXMesh* m_pMesh;
    DWORD m_NumMaterials;
    D3DMATERIAL9* m_pMaterials;

private:
    CMesh() : m_pMesh(NULL), m_NumMaterials(0), m_pMaterials(NULL) {}
};
