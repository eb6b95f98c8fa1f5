// The D3DX matrix functions the intro calls, on the intro's own arguments and on a spread of
// others, every result float written exactly.
#include "Sections.h"

#include <cstdint>

namespace {

// A repeatable spread of magnitudes and signs, from 1e-3 to 1e3.
float Spread(uint32_t& state)
{
    state = state * 1664525u + 1013904223u;
    const float unit = static_cast<float>(state >> 8) / 16777216.0f;  // [0, 1)
    static const float SCALES[] = {0.001f, 0.1f, 1.0f, 7.0f, 300.0f};
    return (unit - 0.5f) * 2.0f * SCALES[(state >> 4) % 5];
}

}  // namespace

void AddMatrixFigures(FigureSheet& sheet)
{
    struct Box {
        float l, r, b, t, zn, zf;
    };
    // The first is the intro's screen matrix.
    const Box BOXES[] = {{0.0f, 1024.0f, 768.0f, 0.0f, 0.0f, 10000.0f},     {-1.0f, 1.0f, -1.0f, 1.0f, 0.1f, 100.0f},
                         {-512.0f, 512.0f, 384.0f, -384.0f, 1.0f, 2000.0f}, {3.3f, 7.7f, -2.2f, 5.5f, -10.0f, 10.0f},
                         {0.0f, 640.0f, 480.0f, 0.0f, -1.0f, 1.0f},         {0.25f, 0.75f, 0.1f, 0.9f, 0.3f, 0.7f}};
    int n = 0;
    for (const Box& b : BOXES) {
        D3DXMATRIX m;
        D3DXMatrixOrthoOffCenterRH(&m, b.l, b.r, b.b, b.t, b.zn, b.zf);
        sheet.AddFloats("matrix.ortho_off_center_rh." + std::to_string(n++), &m.m[0][0], 16);
    }

    uint32_t state = 12345;
    for (int i = 0; i < 24; ++i) {
        D3DXMATRIX a, b, out;
        for (int k = 0; k < 16; ++k) {
            a.m[k / 4][k % 4] = Spread(state);
            b.m[k / 4][k % 4] = Spread(state);
        }
        D3DXMatrixMultiply(&out, &a, &b);
        sheet.AddFloats("matrix.multiply." + std::to_string(i), &out.m[0][0], 16);
        // In place, the result written over the first operand.
        D3DXMatrixMultiply(&a, &a, &b);
        sheet.AddFloats("matrix.multiply_in_place." + std::to_string(i), &a.m[0][0], 16);
    }
}
