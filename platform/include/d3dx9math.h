// Linux stand-in for the D3DX 9 math types the intro uses.
#pragma once

#include "windows.h"

struct D3DXVECTOR2 {
    FLOAT x, y;
};

struct D3DXVECTOR3 {
    FLOAT x, y, z;
};

struct D3DXVECTOR4 {
    FLOAT x, y, z, w;
};

struct D3DXMATRIX {
    union {
        struct {
            FLOAT _11, _12, _13, _14;
            FLOAT _21, _22, _23, _24;
            FLOAT _31, _32, _33, _34;
            FLOAT _41, _42, _43, _44;
        };
        FLOAT m[4][4];
    };
};
