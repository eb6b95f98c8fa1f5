#pragma once

#include "CVector.h"

#include <d3dx9.h>

// 4 x 4 single-precision matrix in the row-vector convention (p' = p x M,
// translation in row 3), laid out as D3DXMATRIX.
class CMatrix {
public:
    CMatrix() {}
    CMatrix(float m00, float m01, float m02, float m03, float m10, float m11, float m12, float m13,
            float m20, float m21, float m22, float m23, float m30, float m31, float m32, float m33);

    CMatrix& Identity();
    CMatrix& Scaling(float sx, float sy, float sz);
    CMatrix& RotationX(float angle);
    CMatrix& RotationY(float angle);
    CMatrix& SetXAxis(const CVector3& v);
    CMatrix& SetYAxis(const CVector3& v);
    CMatrix& SetZAxis(const CVector3& v);
    CMatrix& SetTranslation(const CVector3& v);
    // this = this x b
    CMatrix& Multiply(const CMatrix& b);
    // Inverse of the upper-left 3 x 3 (translation dropped). A near-singular
    // matrix (|det| <= 1e-5) leaves out as the unscaled adjugate.
    CMatrix& Inverse3x3(CMatrix& out, float* pDeterminant = nullptr) const;
    // Right-handed projection, depth -1 at near and +1 at far.
    CMatrix& Perspective(float fovDegrees, float aspect, float nearDistance, float farDistance);

    CVector3 TransformPoint(const CVector3& p) const;

    const D3DXMATRIX* AsD3DX() const { return reinterpret_cast<const D3DXMATRIX*>(this); }
    D3DXMATRIX* AsD3DX() { return reinterpret_cast<D3DXMATRIX*>(this); }

    static const CMatrix IDENTITY;

    float m[4][4];
};
