#pragma once

#include <d3d9.h>
#include <d3dx9.h>

// Draws a screen quad, given as a four-vertex triangle strip, once with every
// pass of the effect's current technique. A scene must be open; the caller
// has set the vertex declaration and the effect's parameters.
template <typename Vertex>
void DrawQuadWithEveryPass(IDirect3DDevice9* pDevice, ID3DXEffect* pEffect, const Vertex (&quad)[4])
{
    UINT passes = 0;
    if (FAILED(pEffect->Begin(&passes, 0)))
        return;
    for (UINT pass = 0; pass < passes; ++pass) {
        pEffect->BeginPass(pass);
        pDevice->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(Vertex));
        pEffect->EndPass();
    }
    pEffect->End();
}
