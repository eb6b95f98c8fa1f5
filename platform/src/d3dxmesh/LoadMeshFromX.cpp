#include "Mesh.h"
#include "XFileParser.h"

#include <d3dx9.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

namespace {

D3DMATERIAL9 ToD3DMaterial(const XMaterial& m)
{
    // The file has no ambient colour: it is opaque black. Specular and emissive come as RGB and
    // are opaque too.
    D3DMATERIAL9 d = {};
    d.Diffuse = {m.diffuse[0], m.diffuse[1], m.diffuse[2], m.diffuse[3]};
    d.Ambient = {0.0f, 0.0f, 0.0f, 1.0f};
    d.Specular = {m.specular[0], m.specular[1], m.specular[2], 1.0f};
    d.Emissive = {m.emissive[0], m.emissive[1], m.emissive[2], 1.0f};
    d.Power = m.power;
    return d;
}

HRESULT BuildMesh(const XMeshData& data, DWORD options, IDirect3DDevice9* device, ID3DXMesh** mesh)
{
    const DWORD fvf = D3DFVF_XYZ | (data.hasNormals ? D3DFVF_NORMAL : 0) | (data.hasTexCoords ? D3DFVF_TEX1 : 0);
    const DWORD stride = MeshVertexSize(fvf);
    std::vector<float> vertices;
    vertices.reserve(data.vertices.size() * (stride / sizeof(float)));
    for (const XMeshVertex& v : data.vertices) {
        vertices.insert(vertices.end(), v.position, v.position + 3);
        if (data.hasNormals)
            vertices.insert(vertices.end(), v.normal, v.normal + 3);
        if (data.hasTexCoords)
            vertices.insert(vertices.end(), v.texCoord, v.texCoord + 2);
    }
    // The faces of each material together, in file order within it, so that every subset
    // draws as one range.
    const size_t faceCount = data.attributes.size();
    std::vector<uint32_t> order(faceCount);
    for (size_t f = 0; f < faceCount; ++f)
        order[f] = static_cast<uint32_t>(f);
    std::stable_sort(order.begin(), order.end(),
                     [&](uint32_t a, uint32_t b) { return data.attributes[a] < data.attributes[b]; });
    std::vector<uint32_t> indices(faceCount * 3);
    std::vector<DWORD> attributes(faceCount);
    for (size_t f = 0; f < faceCount; ++f) {
        std::memcpy(&indices[f * 3], &data.indices[size_t(order[f]) * 3], 3 * sizeof(uint32_t));
        attributes[f] = data.attributes[order[f]];
    }
    return CreateMeshFromData(device, options, fvf, vertices.data(), static_cast<DWORD>(data.vertices.size()),
                              indices.data(), static_cast<DWORD>(faceCount), attributes.data(), mesh);
}

}  // namespace

HRESULT WINAPI D3DXLoadMeshFromXInMemory(LPCVOID Memory, DWORD SizeOfMemory, DWORD Options,
                                         struct IDirect3DDevice9* pD3DDevice, LPD3DXBUFFER* ppAdjacency,
                                         LPD3DXBUFFER* ppMaterials, LPD3DXBUFFER* ppEffectInstances,
                                         DWORD* pNumMaterials, LPD3DXMESH* ppMesh)
{
    if (ppMesh)
        *ppMesh = nullptr;
    if (ppAdjacency)
        *ppAdjacency = nullptr;
    if (ppMaterials)
        *ppMaterials = nullptr;
    if (ppEffectInstances)
        *ppEffectInstances = nullptr;
    if (pNumMaterials)
        *pNumMaterials = 0;
    if (!Memory || !SizeOfMemory || !pD3DDevice || !ppMesh)
        return D3DERR_INVALIDCALL;

    XMeshData data;
    try {
        if (!ParseXFile(Memory, SizeOfMemory, &data))
            return D3DXERR_INVALIDDATA;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }

    ID3DXMesh* mesh = nullptr;
    HRESULT hr = BuildMesh(data, Options, pD3DDevice, &mesh);
    if (FAILED(hr))
        return hr;

    const DWORD materialCount = static_cast<DWORD>(data.materials.size());
    ID3DXBuffer* materials = nullptr;
    ID3DXBuffer* effects = nullptr;
    ID3DXBuffer* adjacency = nullptr;
    if (ppMaterials) {
        hr = D3DXCreateBuffer(materialCount * sizeof(D3DXMATERIAL), &materials);
        if (SUCCEEDED(hr)) {
            auto* entries = static_cast<D3DXMATERIAL*>(materials->GetBufferPointer());
            for (DWORD i = 0; i < materialCount; ++i) {
                entries[i].MatD3D = ToD3DMaterial(data.materials[i]);
                entries[i].pTextureFilename = nullptr;  // texture names are not kept
            }
        }
    }
    if (SUCCEEDED(hr) && ppEffectInstances) {
        // No effect is named by the files read here: every material's entry is empty.
        hr = D3DXCreateBuffer(materialCount * sizeof(D3DXEFFECTINSTANCE), &effects);
        if (SUCCEEDED(hr))
            std::memset(effects->GetBufferPointer(), 0, materialCount * sizeof(D3DXEFFECTINSTANCE));
    }
    if (SUCCEEDED(hr) && ppAdjacency) {
        void* vertices = nullptr;
        void* indexData = nullptr;
        mesh->LockVertexBuffer(0, &vertices);
        mesh->LockIndexBuffer(0, &indexData);
        std::vector<uint32_t> indices(size_t(mesh->GetNumFaces()) * 3);
        for (size_t i = 0; i < indices.size(); ++i)
            indices[i] = (Options & D3DXMESH_32BIT) ? static_cast<const uint32_t*>(indexData)[i]
                                                    : static_cast<const uint16_t*>(indexData)[i];
        hr = CreateAdjacencyBuffer(vertices, mesh->GetNumBytesPerVertex(), indices.data(), mesh->GetNumFaces(),
                                   &adjacency);
        mesh->UnlockIndexBuffer();
        mesh->UnlockVertexBuffer();
    }
    if (FAILED(hr)) {
        for (ID3DXBuffer* b : {materials, effects, adjacency})
            if (b)
                b->Release();
        mesh->Release();
        return hr;
    }
    if (ppMaterials)
        *ppMaterials = materials;
    if (ppEffectInstances)
        *ppEffectInstances = effects;
    if (ppAdjacency)
        *ppAdjacency = adjacency;
    if (pNumMaterials)
        *pNumMaterials = materialCount;
    *ppMesh = mesh;
    return D3D_OK;
}
