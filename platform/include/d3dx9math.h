// Linux stand-in for the D3DX 9 math types and matrix functions the intro uses.
#pragma once

#include "windows.h"
#include "d3d9types.h"

struct D3DXVECTOR2 {
    FLOAT x, y;
};

struct D3DXVECTOR3 : D3DVECTOR {};

struct D3DXVECTOR4 {
    FLOAT x, y, z, w;
};

// Row-major, used with row vectors (p' = p x M), as in the SDK.
struct D3DXMATRIX : D3DMATRIX {};

typedef D3DXMATRIX* LPD3DXMATRIX;

// out = m1 x m2; out may be either operand.
D3DXMATRIX* WINAPI D3DXMatrixMultiply(D3DXMATRIX* pOut, const D3DXMATRIX* pM1,
                                      const D3DXMATRIX* pM2);
// Right-handed orthographic projection of the box [l, r] x [b, t] x [-zn, -zf] onto
// x, y in [-1, 1] and depth in [0, 1].
D3DXMATRIX* WINAPI D3DXMatrixOrthoOffCenterRH(D3DXMATRIX* pOut, FLOAT l, FLOAT r, FLOAT b, FLOAT t,
                                              FLOAT zn, FLOAT zf);
