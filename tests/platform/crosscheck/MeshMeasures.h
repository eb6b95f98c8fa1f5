#pragma once

// Measures of a triangle mesh that do not depend on the order or the sharing of its
// vertices and faces, so that two builders' meshes of the same shape can be compared.
#include <cstdint>
#include <vector>

struct MeshMeasures {
    float min[3] = {0, 0, 0};
    float max[3] = {0, 0, 0};
    double positionSum[3] = {0, 0, 0};
    double normalSum[3] = {0, 0, 0};
    // Extruded shapes: the faces lying in the nearest plane (greatest z, the front), in the
    // farthest (least z, the back), and the rest (the walls). Areas are positive; windings
    // are the signed areas as seen from +z, so their signs tell the faces' turning sense.
    double frontArea = 0, backArea = 0, wallArea = 0;
    double frontWinding = 0, backWinding = 0;
    // Mean z of the normals at the front and back faces' corners.
    double frontNormalZ = 0, backNormalZ = 0;
};

// positions: stride bytes apart, three floats each, the normal (when hasNormals) right after.
MeshMeasures MeasureMesh(const void* vertices, uint32_t vertexCount, uint32_t stride, bool hasNormals,
                         const std::vector<uint32_t>& indices);
