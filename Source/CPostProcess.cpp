#include "CPostProcess.h"

#include "CGfxD3D.h"
#include "EffectQuad.h"
#include "ReportError.h"
#include "ResourceIds.h"

IDirect3DTexture9* CPostProcess::m_pSceneTargets[3] = {NULL, NULL, NULL};
IDirect3DTexture9* CPostProcess::m_pChainTargets[2] = {NULL, NULL};
ID3DXEffect* CPostProcess::m_pCompositeEffect = NULL;
IDirect3DVertexDeclaration9* CPostProcess::m_pDeclPostQuad = NULL;
IDirect3DSurface9* CPostProcess::m_pSavedBackBuffer = NULL;
int CPostProcess::m_PassCount = 0;
bool CPostProcess::m_bFirstPass = false;
float CPostProcess::m_ScaleU = 1.0f;
float CPostProcess::m_ScaleV = 1.0f;
bool CPostProcess::m_bCompositeQuadFilled = false;

// The half-pixel shift puts texel centres on pixel centres.
PostQuadVertex CPostProcess::m_PassQuad[4] = {
    {-0.5f, -0.5f, 0.5f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f},
    {1023.5f, -0.5f, 0.5f, 1.0f, 1.0f, 0.0f, 1.0f, 0.0f},
    {-0.5f, 767.5f, 0.5f, 1.0f, 0.0f, 1.0f, 0.0f, 1.0f},
    {1023.5f, 767.5f, 0.5f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f},
};
PostQuadVertex CPostProcess::m_CompositeQuad[4] = {};

namespace {

const UINT TARGET_WIDTH = 1024;
const UINT TARGET_HEIGHT = 768;

const D3DVERTEXELEMENT9 DECL_POST_QUAD[] =
    {{0, 0, D3DDECLTYPE_FLOAT4, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITIONT, 0},
     {0, 16, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 0},
     {0, 24, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 1},
     D3DDECL_END()};

// The composite starts half a pixel inside the screen and reaches 8.5 pixels
// past the right and bottom edges, enlarging the image by 1032/1024 and 776/768.
const PostQuadVertex COMPOSITE_QUAD[4] = {
    {0.5f, 0.5f, 0.5f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f},
    {1032.5f, 0.5f, 0.5f, 1.0f, 1.0f, 0.0f, 1.0f, 0.0f},
    {0.5f, 776.5f, 0.5f, 1.0f, 0.0f, 1.0f, 0.0f, 1.0f},
    {1032.5f, 776.5f, 0.5f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f},
};

IDirect3DTexture9* CreateTarget()
{
    IDirect3DTexture9* pTexture = NULL;
    if (FAILED(CGfxD3D::GetDevice()->CreateTexture(TARGET_WIDTH, TARGET_HEIGHT, 1,
                                                   D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8,
                                                   D3DPOOL_DEFAULT, &pTexture, NULL))) {
        ReportError("Failed to create render target texture");
        return NULL;
    }
    return pTexture;
}

template <typename T>
void ReleaseAndClear(T*& p)
{
    if (p) {
        p->Release();
        p = NULL;
    }
}

float ReadScaleAnnotation(ID3DXEffect* pEffect, D3DXHANDLE pass, const char* name, float scale)
{
    D3DXHANDLE annotation = pEffect->GetAnnotationByName(pass, name);
    if (annotation) {
        FLOAT value = scale;
        if (SUCCEEDED(pEffect->GetFloat(annotation, &value)))
            return value;
    }
    return scale;
}

}  // namespace

void CPostProcess::Init()
{
    m_pCompositeEffect = CGfxD3D::CreateEffect(RESOURCE_SCENE_EFFECT, "Data\\Scene.fx");
    for (int i = 0; i < 3; ++i)
        m_pSceneTargets[i] = CreateTarget();
    for (int i = 0; i < 2; ++i)
        m_pChainTargets[i] = CreateTarget();
    if (FAILED(CGfxD3D::GetDevice()->CreateVertexDeclaration(DECL_POST_QUAD, &m_pDeclPostQuad))) {
        m_pDeclPostQuad = NULL;
        ReportError("Failed to create vertex decl");
    }
}

void CPostProcess::Shutdown()
{
    ReleaseAndClear(m_pCompositeEffect);
    ReleaseAndClear(m_pDeclPostQuad);
    ReleaseAndClear(m_pChainTargets[0]);
    ReleaseAndClear(m_pChainTargets[1]);
    ReleaseAndClear(m_pSceneTargets[0]);
    ReleaseAndClear(m_pSceneTargets[1]);
    ReleaseAndClear(m_pSceneTargets[2]);
    ReleaseAndClear(m_pSavedBackBuffer);
}

void CPostProcess::SetSceneTarget(int index)
{
    // An index past the three targets (an effect with more passes than targets) binds
    // nothing and is reported, rather than read past the array.
    CGfxD3D::SetRenderTexture(index >= 0 && index < 3 ? m_pSceneTargets[index] : NULL);
}

void CPostProcess::BeginSceneTargets(D3DCOLOR clearColor)
{
    // A surface still held from an unfinished frame is let go before it is replaced.
    ReleaseAndClear(m_pSavedBackBuffer);
    CGfxD3D::GetDevice()->GetRenderTarget(0, &m_pSavedBackBuffer);
    for (int i = 0; i < 3; ++i) {
        SetSceneTarget(i);
        CGfxD3D::ClearColor(clearColor);
        CGfxD3D::ClearDepth(1.0f);
    }
    SetSceneTarget(0);
}

void CPostProcess::EndSceneTargets()
{
    CGfxD3D::GetDevice()->SetRenderTarget(0, m_pSavedBackBuffer);
    ReleaseAndClear(m_pSavedBackBuffer);
}

void CPostProcess::BeginChain()
{
    ReleaseAndClear(m_pSavedBackBuffer);
    CGfxD3D::GetDevice()->GetRenderTarget(0, &m_pSavedBackBuffer);
    m_ScaleU = 1.0f;
    m_PassCount = 0;
    m_ScaleV = 1.0f;
    m_bFirstPass = true;
    m_PassQuad[1].u0 = m_PassQuad[3].u0 = 1.0f;
    m_PassQuad[2].v0 = m_PassQuad[3].v0 = 1.0f;
    m_PassQuad[1].x = m_PassQuad[3].x = 1023.5f;
    m_PassQuad[2].y = m_PassQuad[3].y = 767.5f;
}

void CPostProcess::RunPass(ID3DXEffect* pEffect)
{
    if (pEffect && CGfxD3D::BeginScene()) {
        IDirect3DDevice9* pDevice = CGfxD3D::GetDevice();
        pDevice->SetVertexDeclaration(m_pDeclPostQuad);
        pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
        pEffect->SetTechnique("PostProcess");

        if (m_bFirstPass) {
            pEffect->SetTexture("g_txSrcColor", m_pSceneTargets[0]);
            m_bFirstPass = false;
        } else {
            pEffect->SetTexture("g_txSrcColor", m_pChainTargets[m_PassCount & 1]);
        }
        // Effects that do not declare one of these names just refuse it.
        pEffect->SetTexture("g_txSrcNormal", m_pSceneTargets[1]);
        pEffect->SetTexture("g_txSrcPosition", m_pSceneTargets[2]);
        pEffect->SetTexture("g_txSceneColor", m_pSceneTargets[0]);
        pEffect->SetFloatArray("g_PixelRatio", &CGfxD3D::GetPixelRatio()->x, 2);

        UINT passes = 0;
        if (SUCCEEDED(pEffect->Begin(&passes, 0))) {
            const D3DXHANDLE technique = "PostProcess";  // D3DX takes names where it takes handles
            for (UINT i = 0; i < passes; ++i) {
                // Read only the part of the source that holds the working image.
                if (m_PassQuad[1].u0 != m_ScaleU)
                    m_PassQuad[1].u0 = m_PassQuad[3].u0 = m_ScaleU;
                if (m_PassQuad[2].v0 != m_ScaleV)
                    m_PassQuad[2].v0 = m_PassQuad[3].v0 = m_ScaleV;

                D3DXHANDLE pass = pEffect->GetPass(technique, i);
                float scaleX = 1.0f, scaleY = 1.0f;
                if (pass) {
                    scaleX = ReadScaleAnnotation(pEffect, pass, "fScaleX", scaleX);
                    scaleY = ReadScaleAnnotation(pEffect, pass, "fScaleY", scaleY);
                }
                // Scale the quad's pixel size while keeping its half-pixel shift.
                if (scaleX != 1.0f)
                    m_PassQuad[1].x = m_PassQuad[3].x = scaleX * (m_PassQuad[1].x + 0.5f) - 0.5f;
                if (scaleY != 1.0f)
                    m_PassQuad[2].y = m_PassQuad[3].y = scaleY * (m_PassQuad[2].y + 0.5f) - 0.5f;
                m_ScaleU *= scaleX;
                m_ScaleV *= scaleY;

                CGfxD3D::SetRenderTexture(m_pChainTargets[(m_PassCount - 1) & 1]);
                pEffect->BeginPass(i);
                pDevice->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, m_PassQuad,
                                         sizeof(PostQuadVertex));
                pEffect->EndPass();
            }
            pEffect->End();
        }
        CGfxD3D::EndScene();
    }
    ++m_PassCount;
}

void CPostProcess::Composite()
{
    IDirect3DDevice9* pDevice = CGfxD3D::GetDevice();
    pDevice->SetRenderTarget(0, m_pSavedBackBuffer);
    ReleaseAndClear(m_pSavedBackBuffer);

    if (!CGfxD3D::BeginScene())
        return;
    if (!m_bCompositeQuadFilled) {
        for (int i = 0; i < 4; ++i)
            m_CompositeQuad[i] = COMPOSITE_QUAD[i];
        m_bCompositeQuadFilled = true;
    }
    pDevice->SetVertexDeclaration(m_pDeclPostQuad);
    pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);

    if (m_pCompositeEffect) {
        m_pCompositeEffect->SetTechnique("RenderNoLight");
        m_pCompositeEffect->SetTexture("g_txScene", m_pChainTargets[m_PassCount & 1]);
        DrawQuadWithEveryPass(pDevice, m_pCompositeEffect, m_CompositeQuad);
    }
    CGfxD3D::EndScene();
}
