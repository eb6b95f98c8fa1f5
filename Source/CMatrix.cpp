#include "CMatrix.h"

#include <cmath>
#include <type_traits>

static_assert(sizeof(CVector2) == sizeof(D3DXVECTOR2), "CVector2 must match D3DXVECTOR2");
static_assert(sizeof(CVector3) == sizeof(D3DXVECTOR3), "CVector3 must match D3DXVECTOR3");
static_assert(sizeof(CVector4) == sizeof(D3DXVECTOR4), "CVector4 must match D3DXVECTOR4");
static_assert(sizeof(CMatrix) == sizeof(D3DXMATRIX), "CMatrix must match D3DXMATRIX");
static_assert(std::is_standard_layout<CMatrix>::value, "CMatrix is handed to D3DX as is");

namespace {
const float DEGREES_TO_RADIANS = 0.0174532924f;
const float SINGULAR_DETERMINANT = 0.00001f;
}

const CMatrix CMatrix::IDENTITY(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);

CMatrix::CMatrix(float m00, float m01, float m02, float m03, float m10, float m11, float m12,
                 float m13, float m20, float m21, float m22, float m23, float m30, float m31,
                 float m32, float m33)
{
    m[0][0] = m00;
    m[0][1] = m01;
    m[0][2] = m02;
    m[0][3] = m03;
    m[1][0] = m10;
    m[1][1] = m11;
    m[1][2] = m12;
    m[1][3] = m13;
    m[2][0] = m20;
    m[2][1] = m21;
    m[2][2] = m22;
    m[2][3] = m23;
    m[3][0] = m30;
    m[3][1] = m31;
    m[3][2] = m32;
    m[3][3] = m33;
}

CMatrix& CMatrix::Identity()
{
    return *this = IDENTITY;
}

CMatrix& CMatrix::Scaling(float sx, float sy, float sz)
{
    *this = CMatrix(sx, 0, 0, 0, 0, sy, 0, 0, 0, 0, sz, 0, 0, 0, 0, 1);
    return *this;
}

CMatrix& CMatrix::RotationX(float angle)
{
    Identity();
    SetXAxis(RotateX(CVector3::AXIS_X, angle));
    SetYAxis(RotateX(CVector3::AXIS_Y, angle));
    SetZAxis(RotateX(CVector3::AXIS_Z, angle));
    return *this;
}

CMatrix& CMatrix::RotationY(float angle)
{
    Identity();
    SetXAxis(RotateY(CVector3::AXIS_X, angle));
    SetYAxis(RotateY(CVector3::AXIS_Y, angle));
    SetZAxis(RotateY(CVector3::AXIS_Z, angle));
    return *this;
}

static void SetRow(float* row, const CVector3& v, float w)
{
    row[0] = v.x;
    row[1] = v.y;
    row[2] = v.z;
    row[3] = w;
}

CMatrix& CMatrix::SetXAxis(const CVector3& v)
{
    SetRow(m[0], v, 0.0f);
    return *this;
}

CMatrix& CMatrix::SetYAxis(const CVector3& v)
{
    SetRow(m[1], v, 0.0f);
    return *this;
}

CMatrix& CMatrix::SetZAxis(const CVector3& v)
{
    SetRow(m[2], v, 0.0f);
    return *this;
}

CMatrix& CMatrix::SetTranslation(const CVector3& v)
{
    SetRow(m[3], v, 1.0f);
    return *this;
}

CMatrix& CMatrix::Multiply(const CMatrix& b)
{
    CMatrix result;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k)
                sum += m[i][k] * b.m[k][j];
            result.m[i][j] = sum;
        }
    return *this = result;
}

CMatrix& CMatrix::Inverse3x3(CMatrix& out, float* pDeterminant) const
{
    const float m00 = m[0][0], m01 = m[0][1], m02 = m[0][2];
    const float m10 = m[1][0], m11 = m[1][1], m12 = m[1][2];
    const float m20 = m[2][0], m21 = m[2][1], m22 = m[2][2];

    out = CMatrix(m11 * m22 - m12 * m21, m02 * m21 - m01 * m22, m01 * m12 - m02 * m11, 0,
                  m12 * m20 - m10 * m22, m00 * m22 - m02 * m20, m02 * m10 - m00 * m12, 0,
                  m10 * m21 - m11 * m20, m01 * m20 - m00 * m21, m00 * m11 - m01 * m10, 0, 0, 0, 0,
                  1);

    const float det = m00 * out.m[0][0] + m01 * out.m[1][0] + m02 * out.m[2][0];
    if (std::fabs(det) > SINGULAR_DETERMINANT) {
        const float scale = 1.0f / det;
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                out.m[i][j] *= scale;
    }
    if (pDeterminant)
        *pDeterminant = det;
    return out;
}

CMatrix& CMatrix::Perspective(float fovDegrees, float aspect, float nearDistance, float farDistance)
{
    Identity();
    const float half = fovDegrees * 0.5f * DEGREES_TO_RADIANS;
    const float f0 = std::cos(half) / std::sin(half);
    m[0][0] = f0 / aspect;
    m[1][1] = f0;
    m[2][2] = (nearDistance + farDistance) / (nearDistance - farDistance);
    m[3][2] = 2.0f * nearDistance * farDistance / (nearDistance - farDistance);
    m[2][3] = -1.0f;
    m[3][3] = 0.0f;
    return *this;
}

CVector3 CMatrix::TransformPoint(const CVector3& p) const
{
    return CVector3(p.x * m[0][0] + p.y * m[1][0] + p.z * m[2][0] + m[3][0],
                    p.x * m[0][1] + p.y * m[1][1] + p.z * m[2][1] + m[3][1],
                    p.x * m[0][2] + p.y * m[1][2] + p.z * m[2][2] + m[3][2]);
}
