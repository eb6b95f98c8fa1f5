// The cube mesh through the D3DX .x loader as the intro loads it: counts, vertex format,
// subsets, materials, and measures of the vertex and index buffers read back.
#include "MeshMeasures.h"
#include "Sections.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

const WORD RESOURCE_MESH = 116;

std::vector<uint32_t> ReadIndices(ID3DXMesh* mesh)
{
    std::vector<uint32_t> indices(static_cast<size_t>(mesh->GetNumFaces()) * 3);
    void* data = nullptr;
    if (FAILED(mesh->LockIndexBuffer(D3DLOCK_READONLY, &data)))
        return {};
    for (size_t i = 0; i < indices.size(); ++i)
        indices[i] = (mesh->GetOptions() & D3DXMESH_32BIT) ? static_cast<const uint32_t*>(data)[i]
                                                           : static_cast<const uint16_t*>(data)[i];
    mesh->UnlockIndexBuffer();
    return indices;
}

}  // namespace

void AddMeshMeasures(ID3DXMesh* mesh, FigureSheet& sheet, const std::string& key, bool withNormalSum)
{
    sheet.Add(key + ".counts", {double(mesh->GetNumVertices()), double(mesh->GetNumFaces())});
    void* vertices = nullptr;
    if (FAILED(mesh->LockVertexBuffer(D3DLOCK_READONLY, &vertices))) {
        sheet.Fail(key + ".vertices", "lock");
        return;
    }
    const MeshMeasures m = MeasureMesh(vertices, mesh->GetNumVertices(), mesh->GetNumBytesPerVertex(),
                                       (mesh->GetFVF() & D3DFVF_NORMAL) != 0, ReadIndices(mesh));
    mesh->UnlockVertexBuffer();
    sheet.Add(key + ".box", {m.min[0], m.min[1], m.min[2], m.max[0], m.max[1], m.max[2]});
    if (withNormalSum)
        sheet.Add(key + ".normal_sum", {m.normalSum[0], m.normalSum[1], m.normalSum[2]});
    sheet.Add(key + ".areas", {m.frontArea, m.backArea, m.wallArea});
    sheet.Add(key + ".windings", {m.frontWinding, m.backWinding});
    sheet.Add(key + ".cap_normals", {m.frontNormalZ, m.backNormalZ});
}

void AddMeshFigures(CrossCheckDevice& device, FigureSheet& sheet)
{
    ID3DXMesh* mesh = nullptr;
    ID3DXBuffer* materials = nullptr;
    DWORD materialCount = 0;
    const HRESULT hr = D3DXLoadMeshFromXResource(nullptr, MAKEINTRESOURCEA(RESOURCE_MESH), MAKEINTRESOURCEA(10),
                                                 D3DXMESH_MANAGED, device.Device(), nullptr, &materials, nullptr,
                                                 &materialCount, &mesh);
    if (FAILED(hr) || !mesh) {
        char code[16];
        std::snprintf(code, sizeof code, "0x%08lx", static_cast<unsigned long>(hr));
        sheet.Fail("mesh.load", code);
        if (materials)
            materials->Release();
        return;
    }
    sheet.Add("mesh.format", {double(mesh->GetFVF()), double(mesh->GetNumBytesPerVertex()),
                              double(mesh->GetOptions() & (D3DXMESH_MANAGED | D3DXMESH_32BIT))});
    AddMeshMeasures(mesh, sheet, "mesh", true);
    sheet.Add("mesh.position_sum", [&] {
        void* vertices = nullptr;
        std::vector<double> sum = {0, 0, 0};
        if (SUCCEEDED(mesh->LockVertexBuffer(D3DLOCK_READONLY, &vertices))) {
            const MeshMeasures m = MeasureMesh(vertices, mesh->GetNumVertices(), mesh->GetNumBytesPerVertex(), false,
                                               {});
            sum = {m.positionSum[0], m.positionSum[1], m.positionSum[2]};
            mesh->UnlockVertexBuffer();
        }
        return sum;
    }());

    // Subsets: the attribute table, and the faces of each attribute counted from the
    // attribute buffer (which does not depend on the faces' order).
    DWORD tableSize = 0;
    mesh->GetAttributeTable(nullptr, &tableSize);
    std::vector<D3DXATTRIBUTERANGE> table(tableSize);
    if (tableSize)
        mesh->GetAttributeTable(table.data(), &tableSize);
    std::vector<double> ranges;
    for (const D3DXATTRIBUTERANGE& r : table)
        for (DWORD v : {r.AttribId, r.FaceStart, r.FaceCount, r.VertexStart, r.VertexCount})
            ranges.push_back(v);
    sheet.Add("mesh.attribute_table", ranges);
    DWORD* attributes = nullptr;
    std::vector<double> facesPerAttribute(materialCount, 0.0);
    if (SUCCEEDED(mesh->LockAttributeBuffer(D3DLOCK_READONLY, &attributes))) {
        for (DWORD f = 0; f < mesh->GetNumFaces(); ++f)
            if (attributes[f] < materialCount)
                facesPerAttribute[attributes[f]] += 1;
        mesh->UnlockAttributeBuffer();
    }
    sheet.Add("mesh.faces_per_subset", facesPerAttribute);

    sheet.Add("mesh.materials", {double(materialCount)});
    const D3DXMATERIAL* entries = materials ? static_cast<const D3DXMATERIAL*>(materials->GetBufferPointer()) : nullptr;
    for (DWORD i = 0; entries && i < materialCount; ++i) {
        float values[17];
        std::memcpy(values, &entries[i].MatD3D, sizeof values);
        sheet.AddFloats("mesh.material." + std::to_string(i), values, 17);
        sheet.AddText("mesh.material." + std::to_string(i) + ".texture",
                      entries[i].pTextureFilename ? entries[i].pTextureFilename : "(none)");
    }
    if (materials)
        materials->Release();
    mesh->Release();
}
