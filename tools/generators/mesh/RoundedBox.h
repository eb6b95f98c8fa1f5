#pragma once

#include <cstdint>
#include <vector>

struct MeshVertex {
    double position[3];
    double normal[3];
    double uv[2];
};

// A triangle list: three indices per triangle, counter-clockwise seen from
// outside, so that the cross product of its edges points outwards.
struct TriangleMesh {
    std::vector<MeshVertex> vertices;
    std::vector<uint32_t> indices;
};

// Shape of a box whose edges and corners are rounded with one radius.
struct RoundedBoxShape {
    double halfExtent; // half the size along each axis, rounding included
    double radius;     // radius of the rounded edges and corners
    int flatSegments;  // grid segments across the flat middle of each face
    int bandSegments;  // grid segments over each rounded band of a face (45 degrees)
};

// Builds the box as six face patches, each a grid that runs over the flat
// middle and on to the middle of the rounded edges around it, where it meets
// the neighbouring face's patch on the same points. Each patch has its own
// vertices (and texture coordinates 0..1 over the face); normals are the
// exact normals of the rounded surface, so the seams do not show.
// Returns an empty mesh for a shape that cannot be built.
TriangleMesh BuildRoundedBox(const RoundedBoxShape& shape);
