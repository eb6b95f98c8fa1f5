#include "XMeshMath.h"

#include <cmath>

Matrix4 IdentityMatrix()
{
    Matrix4 r{};
    for (int i = 0; i < 4; ++i)
        r.m[i][i] = 1.0f;
    return r;
}

Vec3 TransformPoint(const Vec3& q, const Matrix4& t)
{
    Vec3 p;
    p.x = q.x * t.m[0][0] + q.y * t.m[1][0] + q.z * t.m[2][0] + t.m[3][0];
    p.y = q.x * t.m[0][1] + q.y * t.m[1][1] + q.z * t.m[2][1] + t.m[3][1];
    p.z = q.x * t.m[0][2] + q.y * t.m[1][2] + q.z * t.m[2][2] + t.m[3][2];
    return p;
}

NormalTransform NormalTransformOf(const Matrix4& t)
{
    // The cofactor matrix is the inverse transpose up to the determinant, which
    // renormalising (and its sign) takes care of.
    const float(*a)[4] = t.m;
    NormalTransform n;
    float(*c)[3] = n.c;
    c[0][0] = a[1][1] * a[2][2] - a[1][2] * a[2][1];
    c[0][1] = a[1][2] * a[2][0] - a[1][0] * a[2][2];
    c[0][2] = a[1][0] * a[2][1] - a[1][1] * a[2][0];
    c[1][0] = a[0][2] * a[2][1] - a[0][1] * a[2][2];
    c[1][1] = a[0][0] * a[2][2] - a[0][2] * a[2][0];
    c[1][2] = a[0][1] * a[2][0] - a[0][0] * a[2][1];
    c[2][0] = a[0][1] * a[1][2] - a[0][2] * a[1][1];
    c[2][1] = a[0][2] * a[1][0] - a[0][0] * a[1][2];
    c[2][2] = a[0][0] * a[1][1] - a[0][1] * a[1][0];
    const float det = a[0][0] * c[0][0] + a[0][1] * c[0][1] + a[0][2] * c[0][2];
    n.sign = det < 0.0f ? -1.0f : 1.0f;
    return n;
}

Vec3 TransformNormal(const Vec3& q, const NormalTransform& t)
{
    // n' = n * (M^-1)^T = n * C / det for row vectors, where C[i][j] is the cofactor of a[i][j].
    const float(*c)[3] = t.c;
    Vec3 r;
    r.x = t.sign * (q.x * c[0][0] + q.y * c[1][0] + q.z * c[2][0]);
    r.y = t.sign * (q.x * c[0][1] + q.y * c[1][1] + q.z * c[2][1]);
    r.z = t.sign * (q.x * c[0][2] + q.y * c[1][2] + q.z * c[2][2]);
    const float length = std::sqrt(r.x * r.x + r.y * r.y + r.z * r.z);
    if (length > 0.0f && std::isfinite(length)) {
        r.x /= length;
        r.y /= length;
        r.z /= length;
    }
    return r;
}
