#include "CVector.h"

#include <cmath>

namespace {
const float SMALLEST_NORMAL_FLOAT = 1.1754944e-38f;
}

const CVector3 CVector3::ZERO(0.0f, 0.0f, 0.0f);
const CVector3 CVector3::WORLD_UP(0.0f, 1.0f, 0.0f);
const CVector3 CVector3::AXIS_X(1.0f, 0.0f, 0.0f);
const CVector3 CVector3::AXIS_Y(0.0f, 1.0f, 0.0f);
const CVector3 CVector3::AXIS_Z(0.0f, 0.0f, 1.0f);

float CVector3::Length() const
{
    return std::sqrt(LengthSq());
}

float CVector3::Normalize()
{
    const float length = Length();
    if (length > SMALLEST_NORMAL_FLOAT) {
        *this *= 1.0f / length;
        return length;
    }
    return 0.0f;
}

CVector3 CVector3::Normalized() const
{
    CVector3 copy = *this;
    copy.Normalize();
    return copy;
}

CVector3 CVector3::Cross(const CVector3& a, const CVector3& b)
{
    return CVector3(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}

CVector3 CVector3::CrossNormalized(const CVector3& a, const CVector3& b)
{
    return Cross(a, b).Normalized();
}

CVector3 RotateX(const CVector3& v, float angle)
{
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    return CVector3(v.x, c * v.y + s * v.z, c * v.z - s * v.y);
}

CVector3 RotateY(const CVector3& v, float angle)
{
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    return CVector3(c * v.x - s * v.z, v.y, c * v.z + s * v.x);
}
