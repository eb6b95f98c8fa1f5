#include "TextScroller.h"

#include "CCamera.h"
#include "CGfxD3D.h"
#include "CPostProcess.h"
#include "FrameClock.h"
#include "ReportError.h"
#include "ResourceIds.h"
#include "ScrollText.h"

#include <cstring>

namespace {

const float LINE_DEPTH = 100.0f;

const D3DVERTEXELEMENT9 DECL_POS_NORMAL[] = {{0, 0, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT,
                                              D3DDECLUSAGE_POSITION, 0},
                                             {0, 12, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT,
                                              D3DDECLUSAGE_NORMAL, 0},
                                             D3DDECL_END()};

}  // namespace

TextScroller::TextScroller()
    : m_pVertexDecl(NULL), m_pTextEffect(NULL), m_hTextDC(NULL), m_hTextFont(NULL),
      m_TextPosition(0), m_TextLength(SCROLL_TEXT_LENGTH), m_ScrollOffset(0.0f),
      m_pText(SCROLL_TEXT)
{
    IDirect3DDevice9* pDevice = CGfxD3D::GetDevice();
    if (FAILED(pDevice->CreateVertexDeclaration(DECL_POS_NORMAL, &m_pVertexDecl))) {
        m_pVertexDecl = NULL;
        ReportError("Failed to create vertex decl");
    }

    // Neither the context nor the font is released: the meshes are built from
    // them once, and both live as long as the intro.
    HDC hdc = CreateCompatibleDC(NULL);
    HFONT font = CreateGlyphFont();
    SelectObject(hdc, font);
    m_hTextDC = hdc;
    m_hTextFont = font;

    // One record shared by every glyph: a glyph that fails to build repeats the
    // advance of the one before it.
    GLYPHMETRICSFLOAT metrics;
    std::memset(&metrics, 0, sizeof metrics);
    for (int i = 0; i < GLYPH_COUNT; ++i) {
        char text[2];
        GetGlyphText(i, text);
        m_pGlyphMeshes[i] = NULL;
        if (FAILED(D3DXCreateTextA(pDevice, hdc, text, GLYPH_DEVIATION, GLYPH_EXTRUSION,
                                   &m_pGlyphMeshes[i], NULL, &metrics)))
            m_pGlyphMeshes[i] = NULL;
        m_GlyphAdvances[i] = metrics.gmfCellIncX;
    }
    // The terminator shows nothing, whatever the builder made of the empty string.
    if (m_pGlyphMeshes[TERMINATOR_GLYPH]) {
        m_pGlyphMeshes[TERMINATOR_GLYPH]->Release();
        m_pGlyphMeshes[TERMINATOR_GLYPH] = NULL;
    }

    m_pTextEffect = CGfxD3D::CreateEffect(RESOURCE_TEXT_EFFECT, "Data\\Text.fx");
    BuildCharacterMap();
}

void TextScroller::Draw()
{
    CCamera* pCamera = CCamera::GetCurrent();
    IDirect3DDevice9* pDevice = CGfxD3D::GetDevice();
    if (!pCamera || !m_pTextEffect)
        return;

    pDevice->SetTexture(0, NULL);
    m_pTextEffect->SetFloat("g_fFocalPlaneLength", pCamera->GetDepthRange());
    m_pTextEffect->SetMatrix("g_mProj", pCamera->GetProjection().AsD3DX());
    m_pTextEffect->SetMatrix("g_mView", pCamera->GetView().AsD3DX());
    m_pTextEffect->SetTechnique("RenderSceneThreePasses");
    pDevice->SetVertexDeclaration(m_pVertexDecl);

    UINT passes = 0;
    if (FAILED(m_pTextEffect->Begin(&passes, 0)))
        return;

    const float x0 = -m_ScrollOffset * GLYPH_SCALE;
    for (UINT pass = 0; pass < passes; ++pass) {
        CPostProcess::SetSceneTarget(static_cast<int>(pass));
        if (!CGfxD3D::BeginScene())
            continue;
        LayOutLine([&](int glyph, float x) {
            CMatrix model;
            model.Scaling(GLYPH_SCALE, GLYPH_SCALE, GLYPH_SCALE);
            model.SetTranslation(CVector3(x0 + x, 0.0f, LINE_DEPTH));
            CMatrix modelView = model;
            modelView.Multiply(pCamera->GetView());
            m_pTextEffect->SetMatrix("g_mModel", model.AsD3DX());
            m_pTextEffect->SetMatrix("g_mModelView", modelView.AsD3DX());
            m_pTextEffect->BeginPass(pass);
            if (m_pGlyphMeshes[glyph])
                m_pGlyphMeshes[glyph]->DrawSubset(0);
            m_pTextEffect->EndPass();
        });
        CGfxD3D::EndScene();
    }
    m_pTextEffect->End();
}
