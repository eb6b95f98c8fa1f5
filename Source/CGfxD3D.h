#pragma once

#include "CMatrix.h"
#include "CVector.h"

#include <d3d9.h>
#include <d3dx9.h>

class CTexture;

// The one Direct3D 9 device of the process and what every drawing unit shares:
// the 2D effect, the quad declarations, the screen's orthographic matrix and
// the white overlay drawn at the end of each frame.
class CGfxD3D {
public:
    static bool Init();
    static void Shutdown();

    static IDirect3DDevice9* GetDevice() { return m_pDevice; }
    static IDirect3D9* GetDirect3D() { return m_pD3D; }
    static bool BeginScene();
    static void EndScene();
    static void ClearColor(D3DCOLOR color);
    static void ClearDepth(float depth);
    static void SetRenderTexture(IDirect3DTexture9* pTexture);
    static void SetFadeLevel(BYTE level) { m_FadeLevel = level; }
    static BYTE GetFadeLevel() { return m_FadeLevel; }
    // The white overlay, then Present.
    static void EndFrame();
    // EndFrame's two halves, for a caller that reads the finished frame before it
    // is presented (the back buffer's content is undefined after a discarding Present).
    static void DrawFadeOverlay();
    static void Present();
    static const CVector2* GetPixelRatio() { return &m_PixelRatio; }
    static const CMatrix& GetOrthoMatrix() { return m_OrthoMatrix; }

    // Compiles an effect from an RCDATA resource; null (reported once) on failure.
    static ID3DXEffect* CreateEffect(WORD resourceId, const char* fileName);

    static void DrawQuad(const CVector2& position, const CVector2& size, D3DCOLOR c0, D3DCOLOR c1,
                         D3DCOLOR c2, D3DCOLOR c3);
    static void DrawQuad(const CVector2& position, const CVector2& size, D3DCOLOR color);
    static void DrawTexturedQuad(const CTexture* pTexture, const CVector2& position,
                                 const CVector2& size, D3DCOLOR c0, D3DCOLOR c1, D3DCOLOR c2,
                                 D3DCOLOR c3);
    static void DrawTexturedQuad(const CTexture* pTexture, const CVector2& position,
                                 const CVector2& size, D3DCOLOR color);

private:
    static IDirect3D9* m_pD3D;
    static IDirect3DDevice9* m_pDevice;
    static ID3DXFont* m_pDebugFont;
    static ID3DXEffect* m_p2DEffect;
    static IDirect3DVertexDeclaration9* m_pDeclPosCol;
    static IDirect3DVertexDeclaration9* m_pDeclPosColTex;
    static CMatrix m_OrthoMatrix;
    static CVector2 m_PixelRatio;
    static BYTE m_FadeLevel;
    static bool m_bEffectAssertIgnored;
};
