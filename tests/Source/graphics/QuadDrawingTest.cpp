// CGfxD3D::DrawQuad and DrawTexturedQuad, and the arithmetic of the 2D effect: pixels
// against the CPU's account of the strip, its corner colours, the texture and the blend.
#include "CTexture.h"
#include "GfxVertices.h"
#include "GraphicsDevice.h"

#include <string>

namespace {

using QuadDrawing = GraphicsTest;

// The test texture of resource 902 as its generator wrote it.
Image TestTexels()
{
    Image image(4, 4);
    for (uint32_t y = 0; y < 4; ++y)
        for (uint32_t x = 0; x < 4; ++x)
            image.At(x, y) = 0xFF000000u | ((20 + 60 * x) << 16) | ((20 + 60 * y) << 8) | (235 - 30 * (x + y));
    return image;
}

CTexture* TestTexture()
{
    static CTexture* s_pTexture = CTexture::Load(ID_TEST_TEXELS_4X4);
    return s_pTexture;
}

struct StripVertex {
    float x, y;
    uint32_t color;
};

// The frame after a rectangle [left, left + w) x [top, top + h) drawn as a strip of four
// vertices (triangles 0-1-2 and 1-2-3): Direct3D's top-left rule puts the pixels whose
// centres lie on the left and top edges inside, those on the right and bottom edges
// outside. Each pixel takes the colour interpolated in its triangle, times the texture
// (when given) stretched over the rectangle, blended over the frame by source alpha.
ColorImage StripReference(const Image& frame, float left, float top, float w, float h, const StripVertex strip[4],
                          const Image* texture)
{
    ColorImage out = ToColorImage(frame);
    ScreenVertex v[4];
    for (int i = 0; i < 4; ++i)
        v[i] = {strip[i].x, strip[i].y, ToColor(strip[i].color)};
    for (int y = 0; y < frame.height; ++y) {
        for (int x = 0; x < frame.width; ++x) {
            if (x < left || x >= left + w || y < top || y >= top + h)
                continue;
            Color4 color;
            if (!InterpolateInTriangle(v[0], v[1], v[2], x, y, color) &&
                !InterpolateInTriangle(v[1], v[2], v[3], x, y, color))
                continue;
            Color4 source = color;
            if (texture) {
                const Color4 t = SampleBilinear(*texture, (x - left) / w, (y - top) / h, Address::Wrap);
                for (int c = 0; c < 4; ++c)
                    source[c] = t[c] * color[c];
            }
            const Color4 dest = out.At(x, y);
            const float a = std::min(1.0f, std::max(0.0f, source.a));
            out.At(x, y) = Saturate(source) * a + dest * (1.0f - a);
        }
    }
    return out;
}

void FlatStrip(StripVertex strip[4], float x, float y, float w, float h, const uint32_t c[4])
{
    strip[0] = {x, y, c[0]};
    strip[1] = {x + w, y, c[1]};
    strip[2] = {x, y + h, c[2]};
    strip[3] = {x + w, y + h, c[3]};
}

void TexturedStrip(StripVertex strip[4], float x, float y, float w, float h, const uint32_t c[4])
{
    strip[0] = {x, y + h, c[0]};
    strip[1] = {x, y, c[1]};
    strip[2] = {x + w, y + h, c[2]};
    strip[3] = {x + w, y, c[3]};
}

DWORD State(D3DRENDERSTATETYPE state)
{
    DWORD value = 0;
    CGfxD3D::GetDevice()->GetRenderState(state, &value);
    return value;
}

const uint32_t CORNERS[4] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};

// Draws a strip through a technique of the 2D effect (a second instance of resource 114),
// with blending and depth off, so that the shader's own output lands in the target.
void DrawWith2DEffect(const char* technique, const D3DVERTEXELEMENT9* elements, const void* vertices, UINT stride,
                      IDirect3DTexture9* texture, float brightness)
{
    IDirect3DDevice9* device = CGfxD3D::GetDevice();
    ID3DXEffect* effect = nullptr;
    {
        static ID3DXEffect* s_pEffect = CGfxD3D::CreateEffect(ID_2D_FX, "Data\\2d.fx");
        effect = s_pEffect;
    }
    ASSERT_NE(effect, nullptr);
    IDirect3DVertexDeclaration9* decl = nullptr;
    ASSERT_EQ(device->CreateVertexDeclaration(elements, &decl), D3D_OK);
    device->SetVertexDeclaration(decl);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    effect->SetTechnique(technique);
    effect->SetTexture("g_Texture", texture);
    effect->SetFloat("g_fBrightness", brightness);
    effect->SetMatrix("g_OrthogonalMatrix", CGfxD3D::GetOrthoMatrix().AsD3DX());
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    UINT passes = 0;
    effect->Begin(&passes, 0);
    EXPECT_EQ(passes, 1u);
    for (UINT p = 0; p < passes; ++p) {
        effect->BeginPass(p);
        EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, vertices, stride), D3D_OK);
        effect->EndPass();
    }
    effect->End();
    device->EndScene();
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    decl->Release();
}

}  // namespace

TEST_F(QuadDrawing, FlatQuadCornersRunTopLeftTopRightBottomLeftBottomRight)
{
    const Image frame = Uniform(SCREEN_WIDTH, SCREEN_HEIGHT, 0xFF000000);
    FillBackBuffer(frame);
    CGfxD3D::DrawQuad(CVector2(100, 50), CVector2(256, 128), CORNERS[0], CORNERS[1], CORNERS[2], CORNERS[3]);
    const Image out = ReadBackBuffer();
    StripVertex strip[4];
    FlatStrip(strip, 100, 50, 256, 128, CORNERS);
    EXPECT_TRUE(ImagesNear(out, StripReference(frame, 100, 50, 256, 128, strip, nullptr), 2));
    TexturedStrip(strip, 100, 50, 256, 128, CORNERS);
    EXPECT_FALSE(ImagesNear(out, StripReference(frame, 100, 50, 256, 128, strip, nullptr), 8))
        << "the textured quad's corner order is another";
    // No half-pixel shift: the pixels whose centres lie on the left and top edges are in.
    EXPECT_NE(out.At(100, 50), 0xFF000000u);
    EXPECT_EQ(out.At(99, 50), 0xFF000000u);
    EXPECT_EQ(out.At(100, 49), 0xFF000000u);
    EXPECT_NE(out.At(355, 177), 0xFF000000u);
    EXPECT_EQ(out.At(356, 177), 0xFF000000u);
    EXPECT_EQ(out.At(355, 178), 0xFF000000u);
}

TEST_F(QuadDrawing, TexturedQuadCornersRunBottomLeftTopLeftBottomRightTopRight)
{
    ASSERT_NE(TestTexture()->m_pHandle, nullptr);
    const Image frame = Uniform(SCREEN_WIDTH, SCREEN_HEIGHT, 0xFF000000);
    FillBackBuffer(frame);
    CGfxD3D::DrawTexturedQuad(TestTexture(), CVector2(300, 200), CVector2(128, 64), CORNERS[0], CORNERS[1], CORNERS[2],
                              CORNERS[3]);
    const Image out = ReadBackBuffer();
    const Image texels = TestTexels();
    StripVertex strip[4];
    TexturedStrip(strip, 300, 200, 128, 64, CORNERS);
    EXPECT_TRUE(ImagesNear(out, StripReference(frame, 300, 200, 128, 64, strip, &texels), 2));
    FlatStrip(strip, 300, 200, 128, 64, CORNERS);
    EXPECT_FALSE(ImagesNear(out, StripReference(frame, 300, 200, 128, 64, strip, &texels), 8))
        << "the flat quad's corner order is another";
}

TEST_F(QuadDrawing, TexturedQuadInOpaqueWhiteShowsTheTextureUnchanged)
{
    const Image frame = RandomImage(SCREEN_WIDTH, SCREEN_HEIGHT, 3);
    FillBackBuffer(frame);
    CGfxD3D::DrawTexturedQuad(TestTexture(), CVector2(64, 32), CVector2(512, 384), 0xFFFFFFFF);
    const Image texels = TestTexels();
    const uint32_t white[4] = {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF};
    StripVertex strip[4];
    TexturedStrip(strip, 64, 32, 512, 384, white);
    // The whole texture over the rectangle, v = 0 at the top, filtered linearly with wrap.
    EXPECT_TRUE(ImagesNear(ReadBackBuffer(), StripReference(frame, 64, 32, 512, 384, strip, &texels), 2));
}

TEST_F(QuadDrawing, TexturedQuadAtHalfAlphaBlendsAboutHalfOverTheFrame)
{
    const Image frame = RandomImage(SCREEN_WIDTH, SCREEN_HEIGHT, 4);
    FillBackBuffer(frame);
    CGfxD3D::DrawTexturedQuad(TestTexture(), CVector2(0, 0), CVector2(1024, 768), 0x80FFFFFF);
    const Image texels = TestTexels();
    const uint32_t half[4] = {0x80FFFFFF, 0x80FFFFFF, 0x80FFFFFF, 0x80FFFFFF};
    StripVertex strip[4];
    TexturedStrip(strip, 0, 0, 1024, 768, half);
    EXPECT_TRUE(ImagesNear(ReadBackBuffer(), StripReference(frame, 0, 0, 1024, 768, strip, &texels), 2));
}

TEST_F(QuadDrawing, FullScreenFlatQuadCoversEveryPixel)
{
    const Image frame = RandomImage(SCREEN_WIDTH, SCREEN_HEIGHT, 6);
    FillBackBuffer(frame);
    CGfxD3D::DrawQuad(CVector2(0, 0), CVector2(1024, 768), 0x00FFFFFF);
    EXPECT_TRUE(ImagesEqual(ReadBackBuffer(), frame)) << "alpha 0 leaves the frame";
    CGfxD3D::DrawQuad(CVector2(0, 0), CVector2(1024, 768), 0xFFFFFFFF);
    EXPECT_TRUE(ImagesEqual(ReadBackBuffer(), Uniform(SCREEN_WIDTH, SCREEN_HEIGHT, 0xFFFFFFFF)))
        << "opaque white: every pixel, the edges included";
}

TEST_F(QuadDrawing, FlatQuadLeavesTheDepthBufferAndTurnsDepthWritesOn)
{
    Device()->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    CGfxD3D::ClearDepth(0.5f);
    CGfxD3D::DrawQuad(CVector2(0, 0), CVector2(1024, 768), 0xFF202020);
    EXPECT_EQ(State(D3DRS_ZWRITEENABLE), static_cast<DWORD>(TRUE));
    DrawProbeQuad(0, 0, 1024, 768, 0.75f, 0xFFFF0000);
    DrawProbeQuad(0, 0, 1024, 768, 0.25f, 0xFF00FF00);
    EXPECT_TRUE(ImagesEqual(ReadBackBuffer(), Uniform(SCREEN_WIDTH, SCREEN_HEIGHT, 0xFF00FF00)))
        << "depth still 0.5 everywhere";
}

TEST_F(QuadDrawing, TexturedQuadWritesDepthZeroWhenDepthWritesAreOn)
{
    Device()->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    CGfxD3D::ClearDepth(0.5f);
    CGfxD3D::DrawTexturedQuad(TestTexture(), CVector2(200, 100), CVector2(300, 200), 0xFFFFFFFF);
    EXPECT_EQ(State(D3DRS_ZWRITEENABLE), static_cast<DWORD>(TRUE)) << "left as it was";
    FillBackBuffer(Uniform(SCREEN_WIDTH, SCREEN_HEIGHT, 0xFF000000));
    DrawProbeQuad(0, 0, 1024, 768, 0.01f, 0xFFFF0000);
    Image out = ReadBackBuffer();
    EXPECT_EQ(out.At(200, 100), 0xFF000000u) << "depth 0 hides a probe at 0.01";
    EXPECT_EQ(out.At(499, 299), 0xFF000000u);
    EXPECT_EQ(out.At(500, 299), 0xFFFF0000u) << "outside the quad depth is still 0.5";
    EXPECT_EQ(out.At(199, 100), 0xFFFF0000u);
    DrawProbeQuad(0, 0, 1024, 768, 0.0f, 0xFF00FF00);
    out = ReadBackBuffer();
    EXPECT_EQ(out.At(350, 200), 0xFF00FF00u) << "a probe at exactly 0 passes less-or-equal";

    Device()->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    CGfxD3D::ClearDepth(0.5f);
    CGfxD3D::DrawTexturedQuad(TestTexture(), CVector2(200, 100), CVector2(300, 200), 0xFFFFFFFF);
    DrawProbeQuad(0, 0, 1024, 768, 0.25f, 0xFF0000FF);
    EXPECT_EQ(ReadBackBuffer().At(350, 200), 0xFF0000FFu) << "with depth writes off depth stays";
    Device()->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
}

TEST_F(QuadDrawing, QuadsLeaveCullingOffAndSourceAlphaBlendingOn)
{
    Device()->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    Device()->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    Device()->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    Device()->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ZERO);
    CGfxD3D::DrawTexturedQuad(TestTexture(), CVector2(0, 0), CVector2(16, 16), 0xFFFFFFFF);
    EXPECT_EQ(State(D3DRS_CULLMODE), static_cast<DWORD>(D3DCULL_NONE));
    EXPECT_EQ(State(D3DRS_ALPHABLENDENABLE), static_cast<DWORD>(TRUE));
    EXPECT_EQ(State(D3DRS_SRCBLEND), static_cast<DWORD>(D3DBLEND_SRCALPHA));
    EXPECT_EQ(State(D3DRS_DESTBLEND), static_cast<DWORD>(D3DBLEND_INVSRCALPHA));

    Device()->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    Device()->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    Device()->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    Device()->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ZERO);
    Device()->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    CGfxD3D::DrawQuad(CVector2(0, 0), CVector2(16, 16), 0xFFFFFFFF);
    EXPECT_EQ(State(D3DRS_CULLMODE), static_cast<DWORD>(D3DCULL_NONE));
    EXPECT_EQ(State(D3DRS_ALPHABLENDENABLE), static_cast<DWORD>(TRUE));
    EXPECT_EQ(State(D3DRS_SRCBLEND), static_cast<DWORD>(D3DBLEND_SRCALPHA));
    EXPECT_EQ(State(D3DRS_DESTBLEND), static_cast<DWORD>(D3DBLEND_INVSRCALPHA));
    EXPECT_EQ(State(D3DRS_ZWRITEENABLE), static_cast<DWORD>(TRUE));
}

TEST_F(QuadDrawing, TwoDEffectAddsBrightnessToTheTexturedOutput)
{
    const D3DVERTEXELEMENT9 elements[] = {{0, 0, D3DDECLTYPE_FLOAT4, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITIONT, 0},
                                          {0, 16, D3DDECLTYPE_D3DCOLOR, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_COLOR, 0},
                                          {0, 20, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 0},
                                          D3DDECL_END()};
    const D3DCOLOR colour = 0x80C08040;
    const PosColTexVertex quad[4] = {{0, 0, 0, 1, colour, 0, 0},
                                     {256, 0, 0, 1, colour, 1, 0},
                                     {0, 256, 0, 1, colour, 0, 1},
                                     {256, 256, 0, 1, colour, 1, 1}};
    const Image texels = TestTexels();
    const Color4 c = ToColor(colour);
    for (const char* technique : {"PosColTex2D", "PosColTex2DAlpha"}) {
        FillBackBuffer(Uniform(SCREEN_WIDTH, SCREEN_HEIGHT, 0xFF000000));
        const bool alpha = std::string(technique) == "PosColTex2DAlpha";
        DrawWith2DEffect(technique, elements, quad, sizeof quad[0], TestTexture()->m_pHandle, 0.25f);
        ColorImage expected = ToColorImage(Uniform(SCREEN_WIDTH, SCREEN_HEIGHT, 0xFF000000));
        for (int y = 0; y < 256; ++y) {
            for (int x = 0; x < 256; ++x) {
                const Color4 t = SampleBilinear(texels, x / 256.0f, y / 256.0f, Address::Wrap);
                Color4 product(t.r * c.r, t.g * c.g, t.b * c.b, t.a * c.a);
                if (alpha)
                    product.a = c.a * (product.r + product.g + product.b) / 3.0f;  // no brightness here
                else
                    product = product + Color4(0.25f, 0.25f, 0.25f, 0.25f);
                expected.At(x, y) = product;
            }
        }
        EXPECT_TRUE(ImagesNear(ReadBackBuffer(), expected, 2)) << technique;
    }
}

TEST_F(QuadDrawing, TwoDEffectTransformsUntransformedPositionsByTheOrthographicMatrix)
{
    struct Vertex {
        float x, y, z, w;
        D3DCOLOR color;
    };
    const D3DVERTEXELEMENT9 elements[] = {{0, 0, D3DDECLTYPE_FLOAT4, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0},
                                          {0, 16, D3DDECLTYPE_D3DCOLOR, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_COLOR, 0},
                                          D3DDECL_END()};
    const Vertex quad[4] = {{100, 50, 0, 1, 0xFF00FF00},
                            {164, 50, 0, 1, 0xFF00FF00},
                            {100, 82, 0, 1, 0xFF00FF00},
                            {164, 82, 0, 1, 0xFF00FF00}};
    FillBackBuffer(Uniform(SCREEN_WIDTH, SCREEN_HEIGHT, 0xFF000000));
    DrawWith2DEffect("PosCol2D", elements, quad, sizeof quad[0], nullptr, 0.0f);
    Image expected = Uniform(SCREEN_WIDTH, SCREEN_HEIGHT, 0xFF000000);
    for (int y = 50; y < 82; ++y)
        for (int x = 100; x < 164; ++x)
            expected.At(x, y) = 0xFF00FF00;
    EXPECT_TRUE(ImagesEqual(ReadBackBuffer(), expected)) << "pixel positions land on the same pixels";
}
