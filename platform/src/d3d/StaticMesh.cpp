#include "StaticMesh.h"

#include "Device.h"
#include "DeviceChild.h"
#include "effect/front/ShaderInterface.h"

#include "Gl.h"

// The GPU copy of a mesh; a device child, so that a device released first frees it.
struct StaticMeshBuffers final : DeviceChild {
    explicit StaticMeshBuffers(Device* device) : DeviceChild(device) {}
    ~StaticMeshBuffers() override { ReleaseGlObjects(); }

    void ReleaseGlObjects() override
    {
        if (vertexArray)
            glDeleteVertexArrays(1, &vertexArray);
        if (buffers[0])
            glDeleteBuffers(2, buffers);
        vertexArray = 0;
        buffers[0] = buffers[1] = 0;
    }

    GLuint vertexArray = 0;
    GLuint buffers[2] = {0, 0};  // vertices, indices
    UINT indexCount = 0;
};

StaticMeshBuffers* CreateStaticMeshBuffers(IDirect3DDevice9* device, const void* vertices, UINT vertexCount,
                                           UINT stride, DWORD fvf, const uint32_t* indices, UINT indexCount)
{
    const DWORD position = fvf & D3DFVF_POSITION_MASK;
    const UINT texCoords = (fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
    const DWORD known = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEXCOUNT_MASK;
    UINT needed = 12 + ((fvf & D3DFVF_NORMAL) ? 12 : 0) + texCoords * 8;
    if (!device || !vertices || !indices || vertexCount == 0 || indexCount == 0 || indexCount % 3 != 0 ||
        position != D3DFVF_XYZ || (fvf & ~known) != 0 || texCoords > 1 || stride < needed)
        return nullptr;
    for (UINT i = 0; i < indexCount; ++i)
        if (indices[i] >= vertexCount)
            return nullptr;

    StaticMeshBuffers* mesh = new StaticMeshBuffers(AsDevice(device));
    mesh->indexCount = indexCount;
    glGenBuffers(2, mesh->buffers);
    glGenVertexArrays(1, &mesh->vertexArray);
    glBindVertexArray(mesh->vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, mesh->buffers[0]);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertexCount) * stride, vertices, GL_STATIC_DRAW);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, mesh->buffers[1]);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indexCount) * sizeof(uint32_t), indices,
                 GL_STATIC_DRAW);
    uintptr_t offset = 0;
    auto attribute = [&](int usage, GLint size) {
        const GLuint location = static_cast<GLuint>(AttributeLocation(usage, 0));
        glEnableVertexAttribArray(location);
        glVertexAttribPointer(location, size, GL_FLOAT, GL_FALSE, static_cast<GLsizei>(stride),
                              reinterpret_cast<const void*>(offset));
        offset += static_cast<uintptr_t>(size) * 4;
    };
    attribute(D3DDECLUSAGE_POSITION, 3);
    if (fvf & D3DFVF_NORMAL)
        attribute(D3DDECLUSAGE_NORMAL, 3);
    if (texCoords == 1)
        attribute(D3DDECLUSAGE_TEXCOORD, 2);
    // The vertex array keeps its index buffer: no later binding may land in it.
    glBindVertexArray(0);
    if (glGetError() != GL_NO_ERROR) {
        delete mesh;
        return nullptr;
    }
    return mesh;
}

void DrawStaticMeshRange(IDirect3DDevice9* device, StaticMeshBuffers* buffers, UINT firstIndex, UINT indexCount)
{
    if (!device || !buffers || !buffers->GetOwner() || firstIndex > buffers->indexCount ||
        indexCount > buffers->indexCount - firstIndex)
        return;
    AsDevice(device)->DrawIndexedTriangles(buffers->vertexArray, firstIndex, indexCount);
}

void ReleaseStaticMeshBuffers(StaticMeshBuffers* buffers)
{
    delete buffers;
}
