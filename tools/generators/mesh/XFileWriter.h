#pragma once

#include "RoundedBox.h"

#include <string>

// One material as a DirectX .x file stores it.
struct XMaterial {
    double diffuse[4]; // red, green, blue, alpha
    double power;
    double specular[3];
    double emissive[3];
};

// The mesh in DirectX text format ("xof 0303txt 0032"): one Mesh with
// MeshNormals (one normal per vertex, faces as the mesh's),
// MeshTextureCoords and a MeshMaterialList that gives every face the one
// material. The standard templates are not repeated; loaders know them.
std::string WriteXFileText(const TriangleMesh& mesh, const char* meshName,
                           const XMaterial& material);
