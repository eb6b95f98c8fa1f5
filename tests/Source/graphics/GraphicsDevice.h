#pragma once

// The intro's own device for the graphics tests: brought up once per process through the
// entry's real start-up (RunIntro with steps that stop after CGfxD3D::Init), shared by
// every test and released when the tests end. Pixels are read back the Direct3D way
// (GetRenderTargetData into a system-memory surface) and images are put into targets
// with a point-sampled copy, so that tests start from exactly known pixels.
#include "CGfxD3D.h"
#include "CpuReference.h"
#include "Display.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Resource ids of the intro's effects and images, and of the tests' own assets.
enum : WORD {
    ID_LOGO = 101,
    ID_SCENE_FX = 106,
    ID_BLOOM_H_FX = 108,
    ID_BLOOM_V_FX = 109,
    ID_BRIGHT_PASS_FX = 110,
    ID_COMBINE4_FX = 111,
    ID_DOWN_FILTER_FX = 112,
    ID_UP_FILTER_FX = 113,
    ID_2D_FX = 114,
    ID_COMBINE_FX = 115,
    ID_CUBE_MESH = 116,
    ID_DOF_FX = 118,
    ID_BLUR_V_FX = 119,
    ID_BLUR_H_FX = 120,
    ID_TEXT_FX = 122,
    ID_BACKGROUND = 125,
    ID_TITLE = 126,
    ID_TEST_BROKEN_FX = 900,
    ID_TEST_THREE_MATERIALS = 901,
    ID_TEST_TEXELS_4X4 = 902,
    ID_TEST_ODD_6X3 = 903,
    ID_MISSING = 999,
};

const int SCREEN_WIDTH = 1024;
const int SCREEN_HEIGHT = 768;

// A vertex for the tests' own pre-transformed quads: position and two coordinates,
// the layout of the post-process quad.
struct TestQuadVertex {
    float x, y, z, rhw;
    float u0, v0;
    float u1, v1;
};

class GraphicsTest : public ::testing::Test {
public:
    // The device's state just after CGfxD3D::Init, before any test drew.
    struct InitialState {
        DWORD cullMode, lighting, zEnable;
        int cursorShown;
    };

protected:
    // Skips the test without a display; brings the shared device up on first use and puts
    // it back to a plain starting point: no open scene, render target 0 the back buffer,
    // depth 1.0, no overlay.
    void SetUp() override;

    static IDirect3DDevice9* Device() { return CGfxD3D::GetDevice(); }
    static const InitialState& StateAfterInit();

    // An effect of the intro's resources, created once with CGfxD3D::CreateEffect and kept.
    static ID3DXEffect* IntroEffect(WORD id);
    // An effect compiled from text in the test; kept until the tests end.
    static ID3DXEffect* TestEffect(const std::string& source);

    static Image ReadSurface(IDirect3DSurface9* surface);
    static Image ReadTexture(IDirect3DTexture9* texture);
    static Image ReadBackBuffer();
    static Image ReadRenderTarget();
    static IDirect3DSurface9* BackBuffer();  // not add-referenced: the device keeps it

    // A texture holding the image (power-of-two sizes), made as D3DX makes one from a DDS file.
    static IDirect3DTexture9* MakeTexture(const Image& image);
    // Puts the image into the top-left corner of a render-target texture (or the back
    // buffer when target is null), texel for pixel; the rest of the target is untouched.
    static void FillTarget(IDirect3DTexture9* target, const Image& image);
    static void FillBackBuffer(const Image& image) { FillTarget(nullptr, image); }

    // Draws pre-transformed vertices with a flat colour through the tests' probe effect,
    // with the device's depth test (less or equal) on, depth writes off, no blending.
    static void DrawProbeQuad(float x, float y, float w, float h, float z, D3DCOLOR color);

    // A post-process effect of the tests' own: technique "PostProcess" with one pass "p0"
    // (depth test off) carrying the annotations, whose pixel shader runs body with Tex and
    // Tex2 (the pass quad's two coordinates) and these inputs: g_txSrcColor through the
    // point sampler g_samSrcPoint, g_txImage through the point sampler g_samImage scaled
    // by g_vCoordScale, and the colour g_vColor.
    static ID3DXEffect* PassEffect(const std::string& annotations, const std::string& body);
    // Runs a pass that writes the image, texel for pixel, over the chain's working region
    // (the quad spans the image, its first coordinate 0...1); with quarter the pass shrinks
    // the working size to a quarter as the down-filter does.
    static void RunImagePass(const Image& image, bool quarter = false);
    // Runs a pass that writes one colour over the working region.
    static void RunColorPass(D3DCOLOR color);

    static void BindTarget(IDirect3DTexture9* target);
    static void BindBackBuffer();
};

// A full image compare: fails with the count of pixels off by more than tolerance in
// any channel and the first few of them.
::testing::AssertionResult ImagesNear(const Image& actual, const ColorImage& expected, int tolerance, int left = 0,
                                      int top = 0, int width = -1, int height = -1);
::testing::AssertionResult ImagesEqual(const Image& actual, const Image& expected, int left = 0, int top = 0,
                                       int width = -1, int height = -1);
::testing::AssertionResult ColorNear(uint32_t actual, uint32_t expected, int tolerance);

// An image of one colour.
inline Image Uniform(int width, int height, uint32_t color)
{
    return Image(width, height, color);
}
