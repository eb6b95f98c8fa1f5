#include "CMesh.h"

#include "CGfxD3D.h"
#include "ReportError.h"

#include <new>

CMesh* CMesh::Load(WORD resourceId)
{
    ID3DXMesh* pMesh = NULL;
    ID3DXBuffer* pMaterialBuffer = NULL;
    DWORD numMaterials = 0;
    const HRESULT result = D3DXLoadMeshFromXResource(NULL, MAKEINTRESOURCEA(resourceId),
                                                     MAKEINTRESOURCEA(10), D3DXMESH_MANAGED,
                                                     CGfxD3D::GetDevice(), NULL, &pMaterialBuffer,
                                                     NULL, &numMaterials, &pMesh);
    if (FAILED(result) || !pMesh) {
        if (pMaterialBuffer)
            pMaterialBuffer->Release();
        ReportError("Failed to load mesh");
        return NULL;
    }

    CMesh* pResult = new (std::nothrow) CMesh();
    D3DMATERIAL9* pMaterials = numMaterials ? new (std::nothrow) D3DMATERIAL9[numMaterials] : NULL;
    if (!pResult || (numMaterials && !pMaterials)) {
        delete pResult;
        delete[] pMaterials;
        if (pMaterialBuffer)
            pMaterialBuffer->Release();
        pMesh->Release();
        ReportError("Failed to load mesh");
        return NULL;
    }

    // Index the buffer through D3DXMATERIAL: its size differs between 32- and
    // 64-bit builds (it ends with a texture-name pointer).
    const D3DXMATERIAL* pFileMaterials = pMaterialBuffer ? static_cast<const D3DXMATERIAL*>(
                                                               pMaterialBuffer->GetBufferPointer())
                                                         : NULL;
    for (DWORD i = 0; i < numMaterials; ++i) {
        if (pFileMaterials) {
            pMaterials[i] = pFileMaterials[i].MatD3D;
        } else {
            ZeroMemory(&pMaterials[i], sizeof pMaterials[i]);
        }
        pMaterials[i].Ambient = pMaterials[i].Diffuse;
    }
    if (pMaterialBuffer)
        pMaterialBuffer->Release();

    pResult->m_pMesh = pMesh;
    pResult->m_NumMaterials = numMaterials;
    pResult->m_pMaterials = pMaterials;
    return pResult;
}
