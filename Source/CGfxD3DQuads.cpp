#include "CGfxD3D.h"
#include "CTexture.h"
#include "EffectQuad.h"
#include "GfxVertices.h"

// Each quad is a complete scene of its own and leaves culling off and
// source-alpha blending on; later drawing relies on those leftovers.

void CGfxD3D::DrawQuad(const CVector2& position, const CVector2& size, D3DCOLOR c0, D3DCOLOR c1,
                       D3DCOLOR c2, D3DCOLOR c3)
{
    if (BeginScene()) {
        const float x = position.x, y = position.y, w = size.x, h = size.y;
        const PosColVertex vertices[4] = {
            {x, y, 0.0f, 1.0f, c0},
            {x + w, y, 0.0f, 1.0f, c1},
            {x, y + h, 0.0f, 1.0f, c2},
            {x + w, y + h, 0.0f, 1.0f, c3},
        };
        m_pDevice->SetVertexDeclaration(m_pDeclPosCol);
        m_pDevice->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
        m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        m_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        m_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);

        if (m_p2DEffect) {
            m_p2DEffect->SetTechnique("PosCol2D");
            m_p2DEffect->SetMatrix("g_OrthogonalMatrix", m_OrthoMatrix.AsD3DX());
            DrawQuadWithEveryPass(m_pDevice, m_p2DEffect, vertices);
        }
        EndScene();
    }
    m_pDevice->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
}

void CGfxD3D::DrawQuad(const CVector2& position, const CVector2& size, D3DCOLOR color)
{
    DrawQuad(position, size, color, color, color, color);
}

void CGfxD3D::DrawTexturedQuad(const CTexture* pTexture, const CVector2& position,
                               const CVector2& size, D3DCOLOR c0, D3DCOLOR c1, D3DCOLOR c2,
                               D3DCOLOR c3)
{
    if (!BeginScene())
        return;

    // Corner order differs from the flat quad: bottom-left, top-left,
    // bottom-right, top-right, with the whole texture stretched over the rectangle.
    const float x = position.x, y = position.y, w = size.x, h = size.y;
    const PosColTexVertex vertices[4] = {
        {x, y + h, 0.0f, 1.0f, c0, 0.0f, 1.0f},
        {x, y, 0.0f, 1.0f, c1, 0.0f, 0.0f},
        {x + w, y + h, 0.0f, 1.0f, c2, 1.0f, 1.0f},
        {x + w, y, 0.0f, 1.0f, c3, 1.0f, 0.0f},
    };
    m_pDevice->SetVertexDeclaration(m_pDeclPosColTex);
    m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    m_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);

    if (m_p2DEffect) {
        m_p2DEffect->SetTechnique("PosColTex2D");
        m_p2DEffect->SetTexture("g_Texture", pTexture ? pTexture->m_pHandle : NULL);
        m_p2DEffect->SetMatrix("g_OrthogonalMatrix", m_OrthoMatrix.AsD3DX());
        DrawQuadWithEveryPass(m_pDevice, m_p2DEffect, vertices);
    }
    EndScene();
}

void CGfxD3D::DrawTexturedQuad(const CTexture* pTexture, const CVector2& position,
                               const CVector2& size, D3DCOLOR color)
{
    DrawTexturedQuad(pTexture, position, size, color, color, color, color);
}
