#include "Demo.h"

#include "CCamera.h"
#include "CGfxD3D.h"
#include "CMesh.h"
#include "CPostProcess.h"
#include "CTexture.h"
#include "DemoTimeline.h"
#include "FrameClock.h"
#include "Music.h"
#include "ReportError.h"
#include "ResourceIds.h"
#include "TextScroller.h"

#include <new>

namespace {

struct EffectSlot {
    WORD resourceId;
    const char* fileName;
};

// In the order they are created. The normal-pass slots are further instances
// of the down-filter; none of them runs.
// kept: every slot is compiled at start-up, also those no pass draws.
const EffectSlot POST_EFFECT_SLOTS[] = {
    {RESOURCE_PP_COLOR_BLUR_H, "Data\\PP_ColorBlurH.fx"},
    {RESOURCE_PP_COLOR_BLUR_V, "Data\\PP_ColorBlurV.fx"},
    {RESOURCE_PP_COLOR_BLOOM_H, "Data\\PP_ColorBloomH.fx"},
    {RESOURCE_PP_COLOR_BLOOM_V, "Data\\PP_ColorBloomV.fx"},
    {RESOURCE_PP_COLOR_BRIGHT_PASS, "Data\\PP_ColorBrightPass.fx"},
    {RESOURCE_PP_DOF_COMBINE, "Data\\PP_DofCombine.fx"},
    {RESOURCE_PP_COLOR_COMBINE, "Data\\pp_colorcombine.fx"},
    {RESOURCE_PP_COLOR_COMBINE4, "Data\\PP_ColorCombine4.fx"},
    {RESOURCE_PP_COLOR_UP_FILTER4, "Data\\PP_ColorUpFilter4.fx"},
    {RESOURCE_PP_COLOR_DOWN_FILTER4, "Data\\PP_ColorDownFilter4.fx"},
    {RESOURCE_PP_COLOR_DOWN_FILTER4, "Data\\PP_NormalBlurH.fx"},
    {RESOURCE_PP_COLOR_DOWN_FILTER4, "Data\\PP_NormalBlurV.fx"},
    {RESOURCE_PP_COLOR_DOWN_FILTER4, "Data\\PP_CombineNormals.fx"},
};

const D3DVERTEXELEMENT9 DECL_POS_COLOR[] = {{0, 0, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT,
                                             D3DDECLUSAGE_POSITION, 0},
                                            {0, 12, D3DDECLTYPE_D3DCOLOR, D3DDECLMETHOD_DEFAULT,
                                             D3DDECLUSAGE_COLOR, 0},
                                            D3DDECL_END()};

const CVector2 SCREEN_ORIGIN(0.0f, 0.0f);
const CVector2 SCREEN_SIZE(1024.0f, 768.0f);
const CVector2 LOGO_POSITION(219.0f, 32.0f);
const CVector2 LOGO_SIZE(586.0f, 192.0f);
const D3DCOLOR OPAQUE_WHITE = 0xFFFFFFFF;

}  // namespace

Demo::Demo()
    : m_FadeLevel(0), m_pMusic(NULL), m_pCamera(NULL), m_pLogo(NULL), m_pBackground(NULL),
      m_pTitle(NULL), m_pCubeMesh(NULL), m_pSceneEffect(NULL), m_pVertexDecl(NULL),
      m_pScroller(NULL), m_CubeRampTime(0.0f), m_DemoTime(0.0f)
{
    static_assert(sizeof POST_EFFECT_SLOTS / sizeof POST_EFFECT_SLOTS[0] == POST_EFFECT_COUNT,
                  "one slot per post effect");

    // The music starts first, so it runs ahead of the picture by the loading time.
    m_pMusic = LoadMusic(RESOURCE_MUSIC);
    if (m_pMusic)
        StartMusic(m_pMusic);

    m_pCamera = new CCamera();
    m_pCamera->SetClipPlanes(0.1f, 200.0f);

    m_pLogo = CTexture::Load(RESOURCE_LOGO);
    m_pTitle = CTexture::Load(RESOURCE_TITLE);
    m_pBackground = CTexture::Load(RESOURCE_BACKGROUND);
    m_pCubeMesh = CMesh::Load(RESOURCE_CUBE_MESH);

    m_pSceneEffect = CGfxD3D::CreateEffect(RESOURCE_SCENE_EFFECT, "Data\\Scene.fx");
    for (int i = 0; i < POST_EFFECT_COUNT; ++i)
        m_pPostEffects[i] = CGfxD3D::CreateEffect(POST_EFFECT_SLOTS[i].resourceId,
                                                  POST_EFFECT_SLOTS[i].fileName);

    if (FAILED(CGfxD3D::GetDevice()->CreateVertexDeclaration(DECL_POS_COLOR, &m_pVertexDecl))) {
        m_pVertexDecl = NULL;
        ReportError("Failed to create vertex decl");
    }

    m_pScroller = new (std::nothrow) TextScroller();
}

void Demo::Frame()
{
    m_DemoTime += GetFrameTime();
    if (m_DemoTime < TITLE_CARD_SECONDS)
        DrawTitleCard();
    else
        DrawMainPart();
}

void Demo::DrawTitleCard()
{
    CGfxD3D::ClearColor(OPAQUE_WHITE);
    CGfxD3D::DrawTexturedQuad(m_pTitle, SCREEN_ORIGIN, SCREEN_SIZE, TitleCardColor(m_DemoTime));
}

void Demo::DrawMainPart()
{
    m_FadeLevel = NextFadeLevel(m_FadeLevel);
    CGfxD3D::SetFadeLevel(static_cast<BYTE>(m_FadeLevel));

    if (m_pScroller)
        m_pScroller->Update();

    m_pCamera->SetPosition(CVector3(0.0f, 0.0f, 180.0f));
    m_pCamera->SetTarget(CVector3(0.0f, 0.0f, 0.0f));
    CCamera::SetCurrent(m_pCamera);

    CPostProcess::BeginSceneTargets(OPAQUE_WHITE);
    CGfxD3D::DrawTexturedQuad(m_pBackground, SCREEN_ORIGIN, SCREEN_SIZE, OPAQUE_WHITE);
    CGfxD3D::ClearDepth(1.0f);
    DrawScene();
    if (m_pScroller)
        m_pScroller->Draw();
    CPostProcess::EndSceneTargets();

    CPostProcess::BeginChain();
    CPostProcess::RunPass(m_pPostEffects[DOWN_FILTER4]);
    CPostProcess::RunPass(m_pPostEffects[COLOR_BLUR_H]);
    CPostProcess::RunPass(m_pPostEffects[COLOR_BLUR_V]);
    CPostProcess::RunPass(m_pPostEffects[COLOR_BLUR_H]);
    CPostProcess::RunPass(m_pPostEffects[COLOR_BLUR_V]);
    CPostProcess::RunPass(m_pPostEffects[UP_FILTER4]);
    CPostProcess::RunPass(m_pPostEffects[DOF_COMBINE]);
    CPostProcess::Composite();

    CGfxD3D::DrawTexturedQuad(m_pLogo, LOGO_POSITION, LOGO_SIZE, OPAQUE_WHITE);
}
