#include "Mesh.h"
#include "TextMesh.h"

#include <d3dx9.h>

#include <new>
#include <vector>

HRESULT WINAPI D3DXCreateTextA(struct IDirect3DDevice9* pDevice, HDC hDC, LPCSTR pText, FLOAT Deviation,
                               FLOAT Extrusion, LPD3DXMESH* ppMesh, LPD3DXBUFFER* ppAdjacency,
                               LPGLYPHMETRICSFLOAT pGlyphMetrics)
{
    if (ppMesh)
        *ppMesh = nullptr;
    if (ppAdjacency)
        *ppAdjacency = nullptr;
    if (!pDevice || !hDC || !pText || !ppMesh)
        return D3DERR_INVALIDCALL;

    TextMesh text;
    try {
        switch (BuildTextMesh(hDC, pText, Deviation, Extrusion, &text, pGlyphMetrics)) {
        case TextMeshStatus::Ok: break;
        case TextMeshStatus::NoGlyphs: return E_FAIL;
        default: return D3DERR_INVALIDCALL;
        }
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }

    static_assert(sizeof(TextVertex) == 24, "position and normal, as D3DFVF_XYZ | D3DFVF_NORMAL");
    const DWORD faceCount = static_cast<DWORD>(text.indices.size() / 3);
    ID3DXMesh* mesh = nullptr;
    HRESULT hr = CreateMeshFromData(pDevice, D3DXMESH_MANAGED, D3DFVF_XYZ | D3DFVF_NORMAL, text.vertices.data(),
                                    static_cast<DWORD>(text.vertices.size()), text.indices.data(), faceCount, nullptr,
                                    &mesh);
    if (FAILED(hr))
        return hr;
    if (ppAdjacency) {
        hr = CreateAdjacencyBuffer(text.vertices.data(), sizeof(TextVertex), text.indices.data(), faceCount,
                                   ppAdjacency);
        if (FAILED(hr)) {
            mesh->Release();
            return hr;
        }
    }
    *ppMesh = mesh;
    return D3D_OK;
}
