#pragma once

#include <d3d9.h>
#include <d3dx9.h>

// A full-screen quad vertex of the post-process passes: pixel position, the
// source-region coordinate and the whole-screen coordinate.
struct PostQuadVertex {
    float x, y, z, rhw;
    float u0, v0;
    float u1, v1;
};
static_assert(sizeof(PostQuadVertex) == 32, "PostQuadVertex is drawn with stride 32");

// The off-screen targets of the frame and the pass runner over them: three
// scene targets (colour, normal, position), a ping-pong pair for the chain,
// and the composite that puts the last result on the back buffer.
class CPostProcess {
public:
    static void Init();
    static void Shutdown();

    static void SetSceneTarget(int index);
    static void BeginSceneTargets(D3DCOLOR clearColor);
    static void EndSceneTargets();
    static void BeginChain();
    static void RunPass(ID3DXEffect* pEffect);
    static void Composite();

    // Read access for the frame and for tests.
    static IDirect3DTexture9* GetSceneTarget(int index) { return m_pSceneTargets[index]; }
    static IDirect3DTexture9* GetChainTarget(int index) { return m_pChainTargets[index]; }
    static int GetPassCount() { return m_PassCount; }
    static float GetScaleU() { return m_ScaleU; }
    static float GetScaleV() { return m_ScaleV; }
    static const PostQuadVertex* GetPassQuad() { return m_PassQuad; }
    static const PostQuadVertex* GetCompositeQuad() { return m_CompositeQuad; }

private:
    static IDirect3DTexture9* m_pSceneTargets[3];
    static IDirect3DTexture9* m_pChainTargets[2];
    static ID3DXEffect* m_pCompositeEffect;
    static IDirect3DVertexDeclaration9* m_pDeclPostQuad;
    static IDirect3DSurface9* m_pSavedBackBuffer;
    static int m_PassCount;
    static bool m_bFirstPass;
    static float m_ScaleU;
    static float m_ScaleV;
    static PostQuadVertex m_PassQuad[4];
    static PostQuadVertex m_CompositeQuad[4];
    static bool m_bCompositeQuadFilled;
};
