#include "Mesh.h"

#include "d3d/StaticMesh.h"
#include "d3d/RefCounted.h"

#include <cstring>
#include <map>
#include <new>
#include <set>
#include <tuple>
#include <vector>

namespace {

class Mesh final : public RefCounted<ID3DXMesh> {
public:
    Mesh(IDirect3DDevice9* device, DWORD options, DWORD fvf, DWORD stride)
        : m_device(device), m_options(options), m_fvf(fvf), m_stride(stride)
    {
        if (m_device)
            m_device->AddRef();
    }

    HRESULT WINAPI DrawSubset(DWORD AttribId) override;
    DWORD WINAPI GetNumFaces() override { return static_cast<DWORD>(m_attributes.size()); }
    DWORD WINAPI GetNumVertices() override { return static_cast<DWORD>(m_vertices.size() / m_stride); }
    DWORD WINAPI GetFVF() override { return m_fvf; }
    DWORD WINAPI GetNumBytesPerVertex() override { return m_stride; }
    DWORD WINAPI GetOptions() override { return m_options; }

    HRESULT WINAPI LockVertexBuffer(DWORD, LPVOID* ppData) override
    {
        return Lend<LPVOID>(m_vertices.data(), ppData, m_deviceCopyStale);
    }
    HRESULT WINAPI UnlockVertexBuffer() override { return D3D_OK; }
    HRESULT WINAPI LockIndexBuffer(DWORD, LPVOID* ppData) override
    {
        return Lend<LPVOID>(m_indices.data(), ppData, m_deviceCopyStale);
    }
    HRESULT WINAPI UnlockIndexBuffer() override { return D3D_OK; }
    HRESULT WINAPI LockAttributeBuffer(DWORD, DWORD** ppData) override
    {
        return Lend(m_attributes.data(), ppData, m_runsStale);
    }
    HRESULT WINAPI UnlockAttributeBuffer() override { return D3D_OK; }
    HRESULT WINAPI GetAttributeTable(D3DXATTRIBUTERANGE* pAttribTable, DWORD* pAttribTableSize) override;

    // A lock lends the caller the buffer itself; what was derived from it
    // (stale) is rebuilt before it is next used.
    template <typename Pointer>
    static HRESULT Lend(Pointer data, Pointer* ppData, bool& stale)
    {
        if (!ppData)
            return D3DERR_INVALIDCALL;
        *ppData = data;
        stale = true;
        return D3D_OK;
    }

    bool Allocate(DWORD vertexCount, DWORD faceCount)
    {
        m_vertices.assign(size_t(vertexCount) * m_stride, 0);
        m_indices.assign(size_t(faceCount) * 3 * IndexSize(), 0);
        m_attributes.assign(faceCount, 0);
        return true;
    }
    uint32_t Index(size_t i) const
    {
        if (Uses32BitIndices()) {
            uint32_t v;
            std::memcpy(&v, &m_indices[i * 4], 4);
            return v;
        }
        uint16_t v;
        std::memcpy(&v, &m_indices[i * 2], 2);
        return v;
    }
    void SetIndex(size_t i, uint32_t value)
    {
        if (Uses32BitIndices()) {
            std::memcpy(&m_indices[i * 4], &value, 4);
        } else {
            const uint16_t v = static_cast<uint16_t>(value);
            std::memcpy(&m_indices[i * 2], &v, 2);
        }
    }
    // The device's copy, made again after any lock; true when it is current.
    bool UpdateDeviceCopy();
    bool Uses32BitIndices() const { return (m_options & D3DXMESH_32BIT) != 0; }
    size_t IndexSize() const { return Uses32BitIndices() ? 4 : 2; }
    unsigned char* Vertices() { return m_vertices.data(); }
    DWORD* Attributes() { return m_attributes.data(); }

private:
    // Faces of one attribute that follow each other.
    struct Run {
        DWORD attribute;
        DWORD firstFace;
        DWORD faceCount;
    };

    ~Mesh() override
    {
        if (m_deviceCopy)
            ReleaseStaticMeshBuffers(m_deviceCopy);
        if (m_device)
            m_device->Release();
    }

    void UpdateRuns();

    IDirect3DDevice9* m_device;
    DWORD m_options;
    DWORD m_fvf;
    DWORD m_stride;
    std::vector<unsigned char> m_vertices;
    std::vector<unsigned char> m_indices;
    std::vector<DWORD> m_attributes;

    bool m_runsStale = true;
    std::vector<Run> m_runs;
    bool m_deviceCopyStale = true;
    StaticMeshBuffers* m_deviceCopy = nullptr;
    std::vector<uint32_t> m_wideIndices;  // for the upload; kept to avoid reallocating
};

void Mesh::UpdateRuns()
{
    m_runs.clear();
    for (DWORD f = 0; f < m_attributes.size(); ++f) {
        if (!m_runs.empty() && m_runs.back().attribute == m_attributes[f])
            ++m_runs.back().faceCount;
        else
            m_runs.push_back({m_attributes[f], f, 1});
    }
    m_runsStale = false;
}

bool Mesh::UpdateDeviceCopy()
{
    if (m_deviceCopy && !m_deviceCopyStale)
        return true;
    const size_t indexCount = m_attributes.size() * 3;
    const size_t vertexCount = m_vertices.size() / m_stride;
    m_wideIndices.resize(indexCount);
    for (size_t i = 0; i < indexCount; ++i) {
        // An index written past the vertices through a lock must not reach the device.
        const uint32_t index = Index(i);
        m_wideIndices[i] = index < vertexCount ? index : 0;
    }
    StaticMeshBuffers* copy = CreateStaticMeshBuffers(m_device, m_vertices.data(), static_cast<UINT>(vertexCount),
                                                      m_stride, m_fvf, m_wideIndices.data(),
                                                      static_cast<UINT>(indexCount));
    if (!copy)
        return false;
    if (m_deviceCopy)
        ReleaseStaticMeshBuffers(m_deviceCopy);
    m_deviceCopy = copy;
    m_deviceCopyStale = false;
    return true;
}

HRESULT WINAPI Mesh::DrawSubset(DWORD AttribId)
{
    if (!m_device)
        return D3DERR_INVALIDCALL;
    if (m_runsStale)
        UpdateRuns();
    if (!UpdateDeviceCopy())
        return D3DERR_INVALIDCALL;
    for (const Run& run : m_runs)
        if (run.attribute == AttribId)
            DrawStaticMeshRange(m_device, m_deviceCopy, run.firstFace * 3, run.faceCount * 3);
    return D3D_OK;
}

HRESULT WINAPI Mesh::GetAttributeTable(D3DXATTRIBUTERANGE* pAttribTable, DWORD* pAttribTableSize)
{
    if (m_runsStale)
        UpdateRuns();
    // A table exists only while every attribute's faces lie together, as after D3DX sorts
    // them; otherwise it is empty.
    std::vector<D3DXATTRIBUTERANGE> table;
    std::set<DWORD> seen;
    bool together = true;
    for (const Run& run : m_runs)
        together = together && seen.insert(run.attribute).second;
    for (size_t r = 0; together && r < m_runs.size(); ++r) {
        const Run& run = m_runs[r];
        uint32_t low = 0xffffffffu, high = 0;
        for (size_t i = size_t(run.firstFace) * 3; i < size_t(run.firstFace + run.faceCount) * 3; ++i) {
            const uint32_t index = Index(i);
            low = index < low ? index : low;
            high = index > high ? index : high;
        }
        table.push_back({run.attribute, run.firstFace, run.faceCount, low, high - low + 1});
    }
    if (!pAttribTableSize)
        return D3DERR_INVALIDCALL;
    if (pAttribTable) {
        if (*pAttribTableSize < table.size())
            return D3DERR_INVALIDCALL;
        for (size_t i = 0; i < table.size(); ++i)
            pAttribTable[i] = table[i];
    }
    *pAttribTableSize = static_cast<DWORD>(table.size());
    return D3D_OK;
}

}  // namespace

DWORD MeshVertexSize(DWORD fvf)
{
    const DWORD known = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1;
    if ((fvf & D3DFVF_XYZ) == 0 || (fvf & ~known) != 0)
        return 0;
    return 12 + ((fvf & D3DFVF_NORMAL) ? 12 : 0) + ((fvf & D3DFVF_TEX1) ? 8 : 0);
}

HRESULT CreateMeshFromData(IDirect3DDevice9* device, DWORD options, DWORD fvf, const void* vertices, DWORD vertexCount,
                           const uint32_t* indices, DWORD faceCount, const DWORD* attributes, ID3DXMesh** mesh)
{
    if (!mesh)
        return D3DERR_INVALIDCALL;
    *mesh = nullptr;
    const DWORD stride = MeshVertexSize(fvf);
    if (!stride || !vertices || !indices || vertexCount == 0 || faceCount == 0)
        return D3DERR_INVALIDCALL;
    if (!(options & D3DXMESH_32BIT) && vertexCount > 0x10000)
        return D3DERR_INVALIDCALL;
    for (size_t i = 0; i < size_t(faceCount) * 3; ++i)
        if (indices[i] >= vertexCount)
            return D3DERR_INVALIDCALL;

    Mesh* created = new (std::nothrow) Mesh(device, options, fvf, stride);
    if (!created)
        return E_OUTOFMEMORY;
    created->Allocate(vertexCount, faceCount);
    std::memcpy(created->Vertices(), vertices, size_t(vertexCount) * stride);
    for (size_t i = 0; i < size_t(faceCount) * 3; ++i)
        created->SetIndex(i, indices[i]);
    if (attributes)
        std::memcpy(created->Attributes(), attributes, size_t(faceCount) * sizeof(DWORD));
    // A managed mesh has its device copy from the start, so the first frame does no upload.
    if (device && !created->UpdateDeviceCopy()) {
        created->Release();
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    *mesh = created;
    return D3D_OK;
}

HRESULT CreateAdjacencyBuffer(const void* vertices, DWORD stride, const uint32_t* indices, DWORD faceCount,
                              ID3DXBuffer** adjacency)
{
    if (!adjacency)
        return D3DERR_INVALIDCALL;
    *adjacency = nullptr;
    const HRESULT hr = D3DXCreateBuffer(faceCount * 3 * sizeof(DWORD), adjacency);
    if (FAILED(hr))
        return hr;
    DWORD* out = static_cast<DWORD*>((*adjacency)->GetBufferPointer());
    using Position = std::tuple<float, float, float>;
    auto positionOf = [&](uint32_t index) {
        float p[3];
        std::memcpy(p, static_cast<const unsigned char*>(vertices) + size_t(index) * stride, sizeof p);
        return Position(p[0], p[1], p[2]);
    };
    // Each directed edge remembers its face; the face across is the one holding it reversed.
    std::map<std::pair<Position, Position>, DWORD> edges;
    for (DWORD f = 0; f < faceCount; ++f)
        for (int k = 0; k < 3; ++k)
            edges.emplace(std::make_pair(positionOf(indices[3 * f + k]), positionOf(indices[3 * f + (k + 1) % 3])), f);
    for (DWORD f = 0; f < faceCount; ++f)
        for (int k = 0; k < 3; ++k) {
            const auto across = edges.find(
                std::make_pair(positionOf(indices[3 * f + (k + 1) % 3]), positionOf(indices[3 * f + k])));
            out[3 * f + k] = across != edges.end() && across->second != f ? across->second : 0xffffffffu;
        }
    return D3D_OK;
}
