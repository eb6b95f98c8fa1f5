#pragma once

// Inside the stand-in layer: the mesh object behind ID3DXMesh. The vertices, indices and
// face attributes live in memory (the managed pool's copy); the device gets its own copy
// at the first draw after a change.
#include <d3dx9.h>

#include <cstdint>

// Vertex size for the FVF bits a mesh may carry (position, normal, one 2D texture
// coordinate); 0 for anything else.
DWORD MeshVertexSize(DWORD fvf);

// A mesh over the given data. Indices are 32-bit here whatever the mesh keeps (16-bit unless
// options hold D3DXMESH_32BIT); attributes may be null (all faces in subset 0). Fails with
// D3DERR_INVALIDCALL on an empty mesh, an index past the vertices, an FVF the stand-in cannot
// lay out, or more vertices than 16-bit indices reach.
HRESULT CreateMeshFromData(IDirect3DDevice9* device, DWORD options, DWORD fvf, const void* vertices, DWORD vertexCount,
                           const uint32_t* indices, DWORD faceCount, const DWORD* attributes, ID3DXMesh** mesh);

// Faces that share an edge (three entries per face, 0xffffffff for none), edges matched by
// vertex position, as D3DX's adjacency with an epsilon of 0.
HRESULT CreateAdjacencyBuffer(const void* vertices, DWORD stride, const uint32_t* indices, DWORD faceCount,
                              ID3DXBuffer** adjacency);
