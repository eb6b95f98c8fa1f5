#pragma once

// Drawing with the three-pass techniques of the scene and text effects the way the intro's
// renderers do: the three scene targets bound in turn before passes 0, 1 and 2.
#include "CMatrix.h"
#include "CPostProcess.h"
#include "GraphicsDevice.h"

#include <cmath>

inline CMatrix Translation(float x, float y, float z)
{
    CMatrix m;
    m.Identity();
    m.SetTranslation(CVector3(x, y, z));
    return m;
}

inline CMatrix Product(const CMatrix& a, const CMatrix& b)
{
    CMatrix m = a;
    m.Multiply(b);
    return m;
}

// (x, y, z, w) x m, as the shaders multiply.
inline CVector4 Transform(const CVector4& p, const CMatrix& m)
{
    float out[4];
    for (int c = 0; c < 4; ++c)
        out[c] = p.x * m.m[0][c] + p.y * m.m[1][c] + p.z * m.m[2][c] + p.w * m.m[3][c];
    return CVector4(out[0], out[1], out[2], out[3]);
}

// The screen position of a view-space point under the projection: Direct3D's viewport
// over the 1024 x 768 target, pixel centres at whole numbers.
inline void ProjectToScreen(const CVector3& view, const CMatrix& projection, float& x, float& y)
{
    const CVector4 clip = Transform(CVector4(view.x, view.y, view.z, 1.0f), projection);
    x = (clip.x / clip.w + 1.0f) * 0.5f * SCREEN_WIDTH;
    y = (1.0f - clip.y / clip.w) * 0.5f * SCREEN_HEIGHT;
}

// Clears the scene targets, then runs every pass of the effect's "RenderSceneThreePasses"
// with scene target i bound for pass i, drawing the strip once per pass.
inline void DrawThreePasses(ID3DXEffect* effect, IDirect3DVertexDeclaration9* decl, const void* vertices, UINT stride,
                            D3DCOLOR clear)
{
    IDirect3DDevice9* device = CGfxD3D::GetDevice();
    CPostProcess::BeginSceneTargets(clear);
    effect->SetTechnique("RenderSceneThreePasses");
    device->SetVertexDeclaration(decl);
    UINT passes = 0;
    EXPECT_EQ(effect->Begin(&passes, 0), D3D_OK);
    EXPECT_EQ(passes, 3u);
    for (UINT pass = 0; pass < passes; ++pass) {
        CPostProcess::SetSceneTarget(static_cast<int>(pass));
        ASSERT_TRUE(CGfxD3D::BeginScene());
        effect->BeginPass(pass);
        EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, vertices, stride), D3D_OK);
        effect->EndPass();
        CGfxD3D::EndScene();
    }
    effect->End();
    CPostProcess::EndSceneTargets();
}
