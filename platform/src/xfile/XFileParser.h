#pragma once

// Reads the text form of a DirectX .x file ("xof 0302txt " or "xof 0303txt ", 32- or 64-bit
// floats) into one merged mesh. Templates are skipped; Frame (with FrameTransformMatrix),
// Mesh, MeshNormals, MeshTextureCoords, MeshMaterialList and Material are read; every
// other data object is skipped whole. Anything malformed, truncated, out of range or
// empty gives false and leaves *mesh empty.
#include "XMeshData.h"

#include <cstddef>

bool ParseXFile(const void* data, size_t size, XMeshData* mesh);
