#pragma once

// The little vector and matrix arithmetic the .x reader needs to place a frame's meshes:
// row vectors times row-major 4 x 4 matrices, as Direct3D and the file store them.

struct Vec3 {
    float x, y, z;
};

struct Matrix4 {
    float m[4][4];
};

Matrix4 IdentityMatrix();

// p x M, the point's w taken as 1.
Vec3 TransformPoint(const Vec3& p, const Matrix4& t);

// What a matrix does to normals: the inverse transpose of its upper 3 x 3, up to a
// positive factor. It exists even where the matrix cannot be inverted.
struct NormalTransform {
    float c[3][3];
    float sign;
};
NormalTransform NormalTransformOf(const Matrix4& t);
// The normal through the transform, made unit length again (a zero normal stays zero).
Vec3 TransformNormal(const Vec3& n, const NormalTransform& t);
