#include "CGfxD3D.h"

#include "Intro.h"
#include "ReportError.h"
#include "ResourceIds.h"

#include <cstring>
#include <string>

IDirect3D9* CGfxD3D::m_pD3D = NULL;
IDirect3DDevice9* CGfxD3D::m_pDevice = NULL;
ID3DXFont* CGfxD3D::m_pDebugFont = NULL;
ID3DXEffect* CGfxD3D::m_p2DEffect = NULL;
IDirect3DVertexDeclaration9* CGfxD3D::m_pDeclPosCol = NULL;
IDirect3DVertexDeclaration9* CGfxD3D::m_pDeclPosColTex = NULL;
CMatrix CGfxD3D::m_OrthoMatrix = CMatrix::IDENTITY;
CVector2 CGfxD3D::m_PixelRatio(1.0f / 1024.0f, 1.0f / 768.0f);
BYTE CGfxD3D::m_FadeLevel = 255;
bool CGfxD3D::m_bEffectAssertIgnored = false;

namespace {

const UINT SCREEN_WIDTH = 1024;
const UINT SCREEN_HEIGHT = 768;

const D3DVERTEXELEMENT9 DECL_POS_COL[] = {{0, 0, D3DDECLTYPE_FLOAT4, D3DDECLMETHOD_DEFAULT,
                                           D3DDECLUSAGE_POSITIONT, 0},
                                          {0, 16, D3DDECLTYPE_D3DCOLOR, D3DDECLMETHOD_DEFAULT,
                                           D3DDECLUSAGE_COLOR, 0},
                                          D3DDECL_END()};

const D3DVERTEXELEMENT9 DECL_POS_COL_TEX[] =
    {{0, 0, D3DDECLTYPE_FLOAT4, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITIONT, 0},
     {0, 16, D3DDECLTYPE_D3DCOLOR, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_COLOR, 0},
     {0, 20, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 0},
     D3DDECL_END()};

template <typename T>
void ReleaseAndClear(T*& p)
{
    if (p) {
        p->Release();
        p = NULL;
    }
}

}  // namespace

bool CGfxD3D::Init()
{
    m_pD3D = Direct3DCreate9(D3D_SDK_VERSION);
    if (!m_pD3D)
        return false;

    D3DPRESENT_PARAMETERS params;
    ZeroMemory(&params, sizeof params);
    params.BackBufferWidth = SCREEN_WIDTH;
    params.BackBufferHeight = SCREEN_HEIGHT;
    params.BackBufferFormat = D3DFMT_A8R8G8B8;
    params.BackBufferCount = 0;
    params.MultiSampleType = D3DMULTISAMPLE_NONE;
    params.MultiSampleQuality = 0;
    params.SwapEffect = D3DSWAPEFFECT_DISCARD;
    params.hDeviceWindow = NULL;
    params.Windowed = FALSE;
    params.EnableAutoDepthStencil = TRUE;
    params.AutoDepthStencilFormat = D3DFMT_D16;
    params.Flags = 0;
    params.FullScreen_RefreshRateInHz = 60;
    params.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;

    if (FAILED(m_pD3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, GetMainWindow(),
                                    D3DCREATE_HARDWARE_VERTEXPROCESSING, &params, &m_pDevice))) {
        m_pDevice = NULL;
        return false;
    }

    // kept: nothing draws with the debug font, but creating it stays part of start-up.
    if (FAILED(D3DXCreateFontA(m_pDevice, 32, 0, FW_BOLD, 1, FALSE, DEFAULT_CHARSET, 0, 0, 0,
                               "Arial", &m_pDebugFont)))
        ReportError("Failed to create debug font");

    m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    m_pDevice->SetRenderState(D3DRS_LIGHTING, FALSE);
    m_pDevice->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);

    m_p2DEffect = CreateEffect(RESOURCE_2D_EFFECT, "Data\\2d.fx");

    if (FAILED(m_pDevice->CreateVertexDeclaration(DECL_POS_COL, &m_pDeclPosCol)))
        ReportError("Failed to create vertex decl");
    if (FAILED(m_pDevice->CreateVertexDeclaration(DECL_POS_COL_TEX, &m_pDeclPosColTex)))
        ReportError("Failed to create vertex decl");

    D3DXMatrixOrthoOffCenterRH(m_OrthoMatrix.AsD3DX(), 0.0f, 1024.0f, 768.0f, 0.0f, 0.0f, 10000.0f);

    ShowCursor(FALSE);
    return true;
}

void CGfxD3D::Shutdown()
{
    ReleaseAndClear(m_pDeclPosColTex);
    ReleaseAndClear(m_pDeclPosCol);
    // The 2D effect and the debug font belong to the device; release them with
    // it so nothing outlives the device.
    ReleaseAndClear(m_p2DEffect);
    ReleaseAndClear(m_pDebugFont);
    ReleaseAndClear(m_pDevice);
    ReleaseAndClear(m_pD3D);
}

bool CGfxD3D::BeginScene()
{
    return SUCCEEDED(m_pDevice->BeginScene());
}

void CGfxD3D::EndScene()
{
    m_pDevice->EndScene();
}

void CGfxD3D::ClearColor(D3DCOLOR color)
{
    m_pDevice->Clear(0, NULL, D3DCLEAR_TARGET, color, 0.0f, 0);
}

void CGfxD3D::ClearDepth(float depth)
{
    m_pDevice->Clear(0, NULL, D3DCLEAR_ZBUFFER, 0, depth, 0);
}

void CGfxD3D::SetRenderTexture(IDirect3DTexture9* pTexture)
{
    IDirect3DSurface9* pSurface = NULL;
    if (!pTexture || FAILED(pTexture->GetSurfaceLevel(0, &pSurface))) {
        ReportError("GetSurfaceLevel");
        return;
    }
    m_pDevice->SetRenderTarget(0, pSurface);
    pSurface->Release();
}

void CGfxD3D::EndFrame()
{
    DrawFadeOverlay();
    Present();
}

void CGfxD3D::DrawFadeOverlay()
{
    const D3DCOLOR overlay = (static_cast<D3DCOLOR>(255 - m_FadeLevel) << 24) | 0x00FFFFFF;
    DrawQuad(CVector2(0.0f, 0.0f), CVector2(1024.0f, 768.0f), overlay);
}

void CGfxD3D::Present()
{
    m_pDevice->Present(NULL, NULL, NULL, NULL);
}

ID3DXEffect* CGfxD3D::CreateEffect(WORD resourceId, const char* /*fileName*/)
{
    ID3DXEffect* p_effect = NULL;
    ID3DXBuffer* pErrors = NULL;
    D3DXCreateEffectFromResourceA(m_pDevice, NULL, MAKEINTRESOURCEA(resourceId), NULL, NULL,
                                  D3DXSHADER_NO_PRESHADER | D3DXFX_NOT_CLONEABLE, NULL, &p_effect,
                                  &pErrors);
    if (!p_effect && !m_bEffectAssertIgnored) {
        // The compiler's messages, bounded by the buffer in case it is not terminated.
        std::string messages;
        if (pErrors && pErrors->GetBufferPointer()) {
            const char* text = static_cast<const char*>(pErrors->GetBufferPointer());
            messages.assign(text, strnlen(text, pErrors->GetBufferSize()));
        }
        // kept: the box names the assertion site by the fixed line and file it has always shown.
        m_bEffectAssertIgnored = ReportError("ASSERT: %s, %s - line: %d file: %s",
                                             "p_effect != NULL", messages.c_str(), 258,
                                             ".\\Source\\CGfxD3D");
    }
    if (pErrors)
        pErrors->Release();
    return p_effect;
}
