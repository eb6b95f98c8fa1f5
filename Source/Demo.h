#pragma once

#include <d3d9.h>
#include <d3dx9.h>

class CCamera;
class CMesh;
class CTexture;
class TextScroller;
struct MusicHandle;

// The intro itself: loads every asset and starts the music when it is built,
// then draws one frame of the timeline per call: a title card for the first
// ten seconds, then the cubes and the scroller through the post-processing
// chain, under the logo, fading in from white.
class Demo {
public:
    Demo();

    void Frame();
    void DrawScene();

    float GetDemoTime() const { return m_DemoTime; }
    int GetFadeLevel() const { return m_FadeLevel; }
    float GetCubeRampTime() const { return m_CubeRampTime; }
    TextScroller* GetScroller() const { return m_pScroller; }

private:
    enum PostEffectSlot {
        COLOR_BLUR_H,
        COLOR_BLUR_V,
        BLOOM_H,
        BLOOM_V,
        BRIGHT_PASS,
        DOF_COMBINE,
        COLOR_COMBINE,
        COLOR_COMBINE4,
        UP_FILTER4,
        DOWN_FILTER4,
        NORMAL_BLUR_H,
        NORMAL_BLUR_V,
        COMBINE_NORMALS,
        POST_EFFECT_COUNT
    };

    void DrawTitleCard();
    void DrawMainPart();

    int m_FadeLevel;
    MusicHandle* m_pMusic;
    CCamera* m_pCamera;
    CTexture* m_pLogo;
    CTexture* m_pBackground;
    CTexture* m_pTitle;
    CMesh* m_pCubeMesh;
    ID3DXEffect* m_pSceneEffect;
    IDirect3DVertexDeclaration9* m_pVertexDecl;
    ID3DXEffect* m_pPostEffects[POST_EFFECT_COUNT];
    TextScroller* m_pScroller;
    float m_CubeRampTime;
    float m_DemoTime;
};
