#pragma once
#include <d3d9.h>
#include <cstdint>
// GPU copy of a mesh: interleaved vertices laid out by an FVF
// (D3DFVF_XYZ | D3DFVF_NORMAL [| D3DFVF_TEX1]) and 32-bit triangle-list indices.
struct StaticMeshBuffers;
StaticMeshBuffers* CreateStaticMeshBuffers(IDirect3DDevice9* device, const void* vertices, UINT vertexCount,
                                           UINT stride, DWORD fvf, const uint32_t* indices, UINT indexCount);
// Draws the triangles of indices [firstIndex, firstIndex + indexCount) with the device's
// current states and the current effect pass, as DrawIndexedPrimitive would. Vertex
// attributes reach the shader by semantic: position POSITION0, normal NORMAL0, texture
// coordinate TEXCOORD0.
void DrawStaticMeshRange(IDirect3DDevice9* device, StaticMeshBuffers* buffers, UINT firstIndex, UINT indexCount);
void ReleaseStaticMeshBuffers(StaticMeshBuffers* buffers);
