#pragma once

// A mesh as read from a DirectX .x file: every mesh of the file merged into one, frame
// transforms applied, polygons split into triangles, one material index per triangle.
#include <cstdint>
#include <string>
#include <vector>

struct XMaterial {
    float diffuse[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    float power = 0.0f;
    float specular[3] = {0.0f, 0.0f, 0.0f};
    float emissive[3] = {0.0f, 0.0f, 0.0f};
    std::string textureFile;  // as the file names it; empty when there is none
};

struct XMeshVertex {
    float position[3] = {0.0f, 0.0f, 0.0f};
    float normal[3] = {0.0f, 0.0f, 0.0f};
    float texCoord[2] = {0.0f, 0.0f};
};

struct XMeshData {
    std::vector<XMeshVertex> vertices;
    std::vector<uint32_t> indices;     // three per triangle, in the file's winding
    std::vector<uint32_t> attributes;  // one per triangle: index into materials
    std::vector<XMaterial> materials;  // never empty: without a material list, one grey default
    bool hasNormals = false;
    bool hasTexCoords = false;
};
