// CGfxD3D: the device as Init leaves it, scenes, clears, render textures and the white
// overlay of EndFrame.
#include "CPostProcess.h"
#include "GraphicsDevice.h"
#include "MessageBoxSpy.h"

#include <SDL.h>

namespace {

using DeviceFrame = GraphicsTest;

ULONG References(IUnknown* object)
{
    object->AddRef();
    return object->Release();
}

IDirect3DSurface9* CurrentTarget()
{
    IDirect3DSurface9* target = nullptr;
    CGfxD3D::GetDevice()->GetRenderTarget(0, &target);
    target->Release();
    return target;
}

// The frame after the overlay: white at alpha a = (255 - level) / 255 blended over it with
// source alpha and inverse source alpha, on all four channels.
ColorImage Overlaid(const Image& frame, int level)
{
    const float a = (255 - level) / 255.0f;
    ColorImage out = ToColorImage(frame);
    for (Color4& c : out.pixels) {
        const Color4 white(1.0f, 1.0f, 1.0f, a);
        c = white * a + c * (1.0f - a);
    }
    return out;
}

}  // namespace

TEST_F(DeviceFrame, InitMakesTheIntrosDevice)
{
    ASSERT_NE(Device(), nullptr);
    D3DSURFACE_DESC desc;
    ASSERT_EQ(BackBuffer()->GetDesc(&desc), D3D_OK);
    EXPECT_EQ(desc.Width, 1024u);
    EXPECT_EQ(desc.Height, 768u);
    EXPECT_EQ(desc.Format, D3DFMT_A8R8G8B8);

    EXPECT_EQ(StateAfterInit().cullMode, static_cast<DWORD>(D3DCULL_CW));
    EXPECT_EQ(StateAfterInit().lighting, static_cast<DWORD>(FALSE));
    EXPECT_EQ(StateAfterInit().zEnable, static_cast<DWORD>(D3DZB_TRUE));
    EXPECT_EQ(StateAfterInit().cursorShown, SDL_DISABLE) << "the mouse cursor is hidden";

    EXPECT_EQ(CGfxD3D::GetPixelRatio()->x, 0.0009765625f);
    EXPECT_EQ(CGfxD3D::GetPixelRatio()->y, 1.0f / 768.0f);
    EXPECT_EQ(CGfxD3D::GetFadeLevel(), 255) << "no overlay until the Demo sets one";
}

TEST_F(DeviceFrame, OrthographicMatrixMapsScreenPixelsToClipSpace)
{
    // Right-handed, off centre: left 0, right 1024, bottom 768, top 0, near 0, far 10000.
    const float expected[4][4] = {
        {2.0f / 1024.0f, 0, 0, 0},
        {0, -2.0f / 768.0f, 0, 0},
        {0, 0, -1.0f / 10000.0f, 0},
        {-1.0f, 1.0f, 0, 1.0f},
    };
    const D3DXMATRIX* m = CGfxD3D::GetOrthoMatrix().AsD3DX();
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_FLOAT_EQ(m->m[r][c], expected[r][c]) << r << ", " << c;
}

TEST_F(DeviceFrame, BeginSceneTellsWhetherItSucceeded)
{
    ASSERT_TRUE(CGfxD3D::BeginScene());
    EXPECT_FALSE(CGfxD3D::BeginScene()) << "a scene is already open";
    CGfxD3D::EndScene();
    EXPECT_TRUE(CGfxD3D::BeginScene());
    CGfxD3D::EndScene();
}

TEST_F(DeviceFrame, ClearColorFillsOnlyTheBoundTarget)
{
    FillBackBuffer(Uniform(SCREEN_WIDTH, SCREEN_HEIGHT, 0xFF000000));
    CGfxD3D::ClearDepth(0.5f);
    CGfxD3D::SetRenderTexture(CPostProcess::GetChainTarget(0));
    CGfxD3D::ClearColor(0x80C0FFEE);
    EXPECT_TRUE(ImagesEqual(ReadRenderTarget(), Uniform(SCREEN_WIDTH, SCREEN_HEIGHT, 0x80C0FFEE)));
    EXPECT_TRUE(ImagesEqual(ReadBackBuffer(), Uniform(SCREEN_WIDTH, SCREEN_HEIGHT, 0xFF000000)));
    // Depth stays at 0.5: a probe at 0.6 is hidden, one at 0.4 shows.
    DrawProbeQuad(0, 0, 512, 768, 0.6f, 0xFF0000FF);
    DrawProbeQuad(512, 0, 512, 768, 0.4f, 0xFF00FF00);
    const Image after = ReadRenderTarget();
    EXPECT_EQ(after.At(100, 100), 0x80C0FFEEu);
    EXPECT_EQ(after.At(900, 100), 0xFF00FF00u);
}

TEST_F(DeviceFrame, ClearDepthLeavesTheColour)
{
    FillBackBuffer(Uniform(SCREEN_WIDTH, SCREEN_HEIGHT, 0xFF123456));
    CGfxD3D::ClearDepth(0.25f);
    EXPECT_TRUE(ImagesEqual(ReadBackBuffer(), Uniform(SCREEN_WIDTH, SCREEN_HEIGHT, 0xFF123456)));
    DrawProbeQuad(0, 0, 1024, 768, 0.3f, 0xFFFF0000);
    DrawProbeQuad(0, 0, 512, 768, 0.2f, 0xFF00FF00);
    const Image after = ReadBackBuffer();
    EXPECT_EQ(after.At(100, 700), 0xFF00FF00u);
    EXPECT_EQ(after.At(900, 700), 0xFF123456u) << "depth 0.25 hides a probe at 0.3";
}

TEST_F(DeviceFrame, SetRenderTextureBindsLevelZeroAndKeepsNoReference)
{
    IDirect3DTexture9* texture = CPostProcess::GetChainTarget(0);
    IDirect3DSurface9* level0 = nullptr;
    ASSERT_EQ(texture->GetSurfaceLevel(0, &level0), D3D_OK);
    level0->Release();
    const ULONG before = References(texture);
    CGfxD3D::SetRenderTexture(texture);
    EXPECT_EQ(CurrentTarget(), level0);
    EXPECT_EQ(References(texture), before + 1) << "only the device's own reference is added";
    BindBackBuffer();
    EXPECT_EQ(References(texture), before);
}

TEST_F(DeviceFrame, SetRenderTextureWithoutASurfaceReportsAndBindsNothing)
{
    MessageBoxSpy spy(IDIGNORE);
    CGfxD3D::SetRenderTexture(nullptr);
    ASSERT_EQ(spy.shown.size(), 1u);
    EXPECT_EQ(spy.shown[0].text, "GetSurfaceLevel");
    EXPECT_EQ(spy.shown[0].caption, "BREAK!");
    EXPECT_EQ(CurrentTarget(), BackBuffer());
}

TEST_F(DeviceFrame, EndFrameOverlaysWhiteByTheFadeLevel)
{
    const Image frame = RandomImage(SCREEN_WIDTH, SCREEN_HEIGHT, 5, false);
    for (int level : {255, 128, 0}) {
        FillBackBuffer(frame);
        CGfxD3D::SetFadeLevel(static_cast<BYTE>(level));
        CGfxD3D::EndFrame();
        const Image out = ReadBackBuffer();
        EXPECT_TRUE(ImagesNear(out, Overlaid(frame, level), 1)) << "fade level " << level;
        if (level == 255) {
            EXPECT_TRUE(ImagesEqual(out, frame)) << "alpha 0: the frame unchanged";
        } else if (level == 0) {
            EXPECT_TRUE(ImagesEqual(out, Uniform(SCREEN_WIDTH, SCREEN_HEIGHT, 0xFFFFFFFF))) << "all white";
        }
    }
    // 128: white at alpha 127 over the frame.
    FillBackBuffer(Uniform(SCREEN_WIDTH, SCREEN_HEIGHT, 0xFF000000));
    CGfxD3D::SetFadeLevel(128);
    CGfxD3D::EndFrame();
    EXPECT_TRUE(ColorNear(ReadBackBuffer().At(0, 0) & 0xFFFFFF, 0x7F7F7F, 0));
    EXPECT_EQ(CurrentTarget(), BackBuffer());
}

TEST_F(DeviceFrame, QuadInsideAnOpenSceneDrawsNothingButTurnsDepthWritesOn)
{
    FillBackBuffer(Uniform(SCREEN_WIDTH, SCREEN_HEIGHT, 0xFF000000));
    Device()->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    ASSERT_TRUE(CGfxD3D::BeginScene());
    CGfxD3D::DrawQuad(CVector2(0, 0), CVector2(1024, 768), 0xFFFFFFFF);
    CGfxD3D::EndScene();
    DWORD zWrite = FALSE;
    Device()->GetRenderState(D3DRS_ZWRITEENABLE, &zWrite);
    EXPECT_EQ(zWrite, static_cast<DWORD>(TRUE));
    EXPECT_TRUE(ImagesEqual(ReadBackBuffer(), Uniform(SCREEN_WIDTH, SCREEN_HEIGHT, 0xFF000000)));
}
