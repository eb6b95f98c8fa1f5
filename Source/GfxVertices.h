#pragma once

#include <d3d9.h>

// Screen-space vertices: x, y in pixels (origin top-left), z, and 1/w. The
// declarations mark them pre-transformed, so they land on the pixel they carry.
struct PosColVertex {
    float x, y, z, rhw;
    D3DCOLOR color;
};

struct PosColTexVertex {
    float x, y, z, rhw;
    D3DCOLOR color;
    float u, v;
};

static_assert(sizeof(PosColVertex) == 20, "PosColVertex is drawn with stride 20");
static_assert(sizeof(PosColTexVertex) == 28, "PosColTexVertex is drawn with stride 28");
