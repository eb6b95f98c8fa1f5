// Direct3D 9's conventions on the GL device, each proved by drawing and reading back.
#include "DeviceEffects.h"
#include "DeviceFixture.h"

#include <epoxy/gl.h>

#include <cmath>
#include <cstdlib>
#include <string>

namespace {

void Quad(PosColVertex v[4], float x0, float y0, float x1, float y1, DWORD color, float z = 0.0f)
{
    // Strip order: top-left, top-right, bottom-left, bottom-right.
    v[0] = {x0, y0, z, 1.0f, color};
    v[1] = {x1, y0, z, 1.0f, color};
    v[2] = {x0, y1, z, 1.0f, color};
    v[3] = {x1, y1, z, 1.0f, color};
}

D3DXMATRIX Identity()
{
    D3DXMATRIX m = {};
    for (int i = 0; i < 4; ++i)
        m.m[i][i] = 1.0f;
    return m;
}

bool Near(uint32_t a, uint32_t b, int tolerance)
{
    for (int shift = 0; shift < 32; shift += 8)
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > tolerance)
            return false;
    return true;
}

}  // namespace

TEST_F(DeviceTest, CreatesTheIntrosFullScreenDevice)
{
    REQUIRE_DISPLAY();
    EXPECT_EQ(Direct3DCreate9(31), nullptr) << "another SDK version is refused";
    ASSERT_TRUE(CreateDevice(true, 1024, 768));
    IDirect3DSurface9* back = nullptr;
    ASSERT_EQ(m_device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back), D3D_OK);
    D3DSURFACE_DESC desc;
    back->GetDesc(&desc);
    EXPECT_EQ(desc.Width, 1024u);
    EXPECT_EQ(desc.Height, 768u);
    EXPECT_EQ(desc.Format, D3DFMT_A8R8G8B8);
    IDirect3DSurface9* target = nullptr;
    ASSERT_EQ(m_device->GetRenderTarget(0, &target), D3D_OK);
    EXPECT_EQ(target, back) << "render target 0 starts as the back buffer";
    target->Release();
    back->Release();
    EXPECT_EQ(m_device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF102030, 0.0f, 0), D3D_OK);
    EXPECT_EQ(m_device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    EXPECT_EQ(Pixel(ReadBackBuffer(), 1023, 767), 0xFF102030u);
}

TEST_F(DeviceTest, DrawsThroughAnOpenGlEs3ContextThatRefusesDesktopGl)
{
    REQUIRE_DISPLAY();
    ASSERT_TRUE(CreateDevice(false, 64, 64));
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(std::string(version).rfind("OpenGL ES 3.", 0), 0u) << version;
    EXPECT_FALSE(epoxy_is_desktop_gl());
    // The driver itself keeps the device to the subset: desktop GLSL does not compile.
    const GLuint shader = glCreateShader(GL_VERTEX_SHADER);
    const char* desktop = "#version 450\nvoid main() { gl_Position = vec4(0.0); }\n";
    glShaderSource(shader, 1, &desktop, nullptr);
    glCompileShader(shader);
    GLint compiled = GL_TRUE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    glDeleteShader(shader);
    EXPECT_EQ(compiled, GL_FALSE);
}

TEST_F(DeviceTest, ClearFillsTheTargetWhateverTheWriteStates)
{
    REQUIRE_DISPLAY();
    ASSERT_TRUE(CreateDevice(false));
    m_device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    m_device->SetRenderState(D3DRS_COLORWRITEENABLE, 0);
    EXPECT_EQ(m_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0x80FF4000, 1.0f, 0), D3D_OK);
    const std::vector<uint32_t> pixels = ReadBackBuffer();
    ASSERT_EQ(pixels.size(), 64u * 64u);
    EXPECT_EQ(Pixel(pixels, 0, 0), 0x80FF4000u);
    EXPECT_EQ(Pixel(pixels, 63, 63), 0x80FF4000u);
    EXPECT_NE(m_device->Clear(0, nullptr, D3DCLEAR_STENCIL, 0, 1.0f, 0), D3D_OK) << "D16 has no stencil";

    const D3DRECT rect = {4, 2, 8, 6};
    EXPECT_EQ(m_device->Clear(1, &rect, D3DCLEAR_TARGET, 0xFF00FF00, 0.0f, 0), D3D_OK);
    const std::vector<uint32_t> after = ReadBackBuffer();
    EXPECT_EQ(Pixel(after, 4, 2), 0xFF00FF00u) << "rectangles are in pixels from the top left";
    EXPECT_EQ(Pixel(after, 7, 5), 0xFF00FF00u);
    EXPECT_EQ(Pixel(after, 8, 5), 0x80FF4000u);
    EXPECT_EQ(Pixel(after, 4, 6), 0x80FF4000u);
}

TEST_F(DeviceTest, PreTransformedVerticesLandOnThePixelsTheyCarry)
{
    REQUIRE_DISPLAY();
    ASSERT_TRUE(CreateDevice(false));
    ID3DXEffect* effect = MakeEffect(DEVICE_TEST_EFFECT);
    ASSERT_NE(effect, nullptr);
    m_device->SetVertexDeclaration(PosColDeclaration());
    m_device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 0.0f, 0);
    m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    effect->SetTechnique("Flat");
    PosColVertex v[4];
    Quad(v, 10.0f, 20.0f, 30.0f, 40.0f, 0xFFFF0000);
    DrawWithEffect(effect, D3DPT_TRIANGLESTRIP, 2, v, sizeof(PosColVertex));
    const std::vector<uint32_t> pixels = ReadBackBuffer();
    for (UINT y = 18; y < 43; ++y) {
        for (UINT x = 8; x < 33; ++x) {
            const bool inside = x >= 10 && x < 30 && y >= 20 && y < 40;
            EXPECT_EQ(Pixel(pixels, x, y), inside ? 0xFFFF0000u : 0xFF000000u) << x << ", " << y;
        }
    }
}

TEST_F(DeviceTest, HalfPixelShiftedQuadCopiesATextureTexelForTexel)
{
    REQUIRE_DISPLAY();
    ASSERT_TRUE(CreateDevice(false));
    std::vector<uint32_t> texels(16 * 16);
    for (UINT i = 0; i < texels.size(); ++i)
        texels[i] = 0xFF000000u | (i * 0x0103F1u & 0xFFFFFF);
    const std::vector<unsigned char> dds = MakeDds(16, 16, D3DFMT_A8R8G8B8, texels);
    IDirect3DTexture9* texture = LoadTexture(dds);
    ASSERT_NE(texture, nullptr);
    ID3DXEffect* effect = DeviceEffect("TexLinear");
    ASSERT_NE(effect, nullptr);
    DrawTexture(effect, texture, 16, 16);
    const std::vector<uint32_t> pixels = ReadBackBuffer();
    int wrong = 0;
    for (UINT y = 0; y < 16; ++y)
        for (UINT x = 0; x < 16; ++x)
            wrong += !Near(Pixel(pixels, x, y), texels[y * 16 + x], 1);
    EXPECT_EQ(wrong, 0) << "a linear filter at texel centres returns the texels themselves";
}

TEST_F(DeviceTest, TopRowOfARenderTargetIsTextureRowZero)
{
    REQUIRE_DISPLAY();
    ASSERT_TRUE(CreateDevice(false));
    IDirect3DTexture9* target = nullptr;
    ASSERT_EQ(m_device->CreateTexture(64, 64, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &target,
                                      nullptr),
              D3D_OK);
    m_owned.push_back(target);
    IDirect3DSurface9* surface = nullptr;
    ASSERT_EQ(target->GetSurfaceLevel(0, &surface), D3D_OK);
    ASSERT_EQ(m_device->SetRenderTarget(0, surface), D3D_OK);
    surface->Release();
    m_device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF00FF00, 0.0f, 0);
    // A red band over the top eight rows, drawn with geometry, not with a clear.
    ID3DXEffect* effect = DeviceEffect("Flat");
    ASSERT_NE(effect, nullptr);
    m_device->SetVertexDeclaration(PosColDeclaration());
    PosColVertex v[4];
    Quad(v, 0.0f, 0.0f, 64.0f, 8.0f, 0xFFFF0000);
    m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    DrawWithEffect(effect, D3DPT_TRIANGLESTRIP, 2, v, sizeof(PosColVertex));

    ASSERT_EQ(target->GetSurfaceLevel(0, &surface), D3D_OK);
    const std::vector<uint32_t> rt = ReadPixels(surface);
    surface->Release();
    EXPECT_EQ(Pixel(rt, 5, 0), 0xFFFF0000u) << "row 0 read back is the top";
    EXPECT_EQ(Pixel(rt, 5, 20), 0xFF00FF00u);

    // Drawn onto the back buffer with texture coordinate v = 0 at the top.
    IDirect3DSurface9* back = nullptr;
    m_device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back);
    m_device->SetRenderTarget(0, back);
    back->Release();
    effect->SetTechnique("TexPoint");
    effect->SetTexture("g_tx", target);
    m_device->SetVertexDeclaration(PosColTexDeclaration());
    const PosColTexVertex q[4] = {{-0.5f, -0.5f, 0, 1, 0xFFFFFFFF, 0, 0},
                                  {63.5f, -0.5f, 0, 1, 0xFFFFFFFF, 1, 0},
                                  {-0.5f, 63.5f, 0, 1, 0xFFFFFFFF, 0, 1},
                                  {63.5f, 63.5f, 0, 1, 0xFFFFFFFF, 1, 1}};
    DrawWithEffect(effect, D3DPT_TRIANGLESTRIP, 2, q, sizeof(PosColTexVertex));
    const std::vector<uint32_t> pixels = ReadBackBuffer();
    EXPECT_EQ(Pixel(pixels, 5, 0), 0xFFFF0000u);
    EXPECT_EQ(Pixel(pixels, 5, 7), 0xFFFF0000u);
    EXPECT_EQ(Pixel(pixels, 5, 8), 0xFF00FF00u);
    EXPECT_EQ(Pixel(pixels, 5, 63), 0xFF00FF00u);
}

TEST_F(DeviceTest, ClockwiseCullingAsSeenOnScreen)
{
    REQUIRE_DISPLAY();
    ASSERT_TRUE(CreateDevice(false));
    ID3DXEffect* effect = DeviceEffect("Flat");
    ASSERT_NE(effect, nullptr);
    m_device->SetVertexDeclaration(PosColDeclaration());
    // On screen (y down): left triangle clockwise, right one counter-clockwise.
    const PosColVertex cw[3] = {{2, 2, 0, 1, 0xFFFF0000}, {30, 2, 0, 1, 0xFFFF0000}, {2, 30, 0, 1, 0xFFFF0000}};
    const PosColVertex ccw[3] = {{34, 2, 0, 1, 0xFF0000FF}, {34, 30, 0, 1, 0xFF0000FF}, {62, 2, 0, 1, 0xFF0000FF}};
    const struct {
        D3DCULL mode;
        bool cwDrawn, ccwDrawn;
    } cases[] = {{D3DCULL_CW, false, true}, {D3DCULL_CCW, true, false}, {D3DCULL_NONE, true, true}};
    for (const auto& c : cases) {
        m_device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 0.0f, 0);
        m_device->SetRenderState(D3DRS_CULLMODE, c.mode);
        DrawWithEffect(effect, D3DPT_TRIANGLELIST, 1, cw, sizeof(PosColVertex));
        DrawWithEffect(effect, D3DPT_TRIANGLELIST, 1, ccw, sizeof(PosColVertex));
        const std::vector<uint32_t> pixels = ReadBackBuffer();
        EXPECT_EQ(Pixel(pixels, 6, 6), c.cwDrawn ? 0xFFFF0000u : 0xFF000000u) << "cull mode " << c.mode;
        EXPECT_EQ(Pixel(pixels, 38, 6), c.ccwDrawn ? 0xFF0000FFu : 0xFF000000u) << "cull mode " << c.mode;
    }
}

TEST_F(DeviceTest, MatricesAreRowVectorsSetRowByRow)
{
    REQUIRE_DISPLAY();
    ASSERT_TRUE(CreateDevice(false));
    ID3DXEffect* effect = DeviceEffect("Transform");
    ASSERT_NE(effect, nullptr);
    // Not symmetric: x' = x + 0.5 y + 0.5, y' = y. Transposed it would put the shift in w.
    D3DXMATRIX m = Identity();
    m.m[1][0] = 0.5f;
    m.m[3][0] = 0.5f;
    effect->SetMatrix("g_mTransform", &m);
    m_device->SetVertexDeclaration(PosDeclaration());
    m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    m_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    // A small square round the origin of clip space, at y = 0.5 (upper half on screen).
    const PosVertex v[4] = {{-0.1f, 0.4f, 0.5f}, {0.1f, 0.4f, 0.5f}, {-0.1f, 0.6f, 0.5f}, {0.1f, 0.6f, 0.5f}};
    DrawWithEffect(effect, D3DPT_TRIANGLESTRIP, 2, v, sizeof(PosVertex));
    const std::vector<uint32_t> pixels = ReadBackBuffer();
    // x' = 0 + 0.25 + 0.5 = 0.75 -> pixel 56; y = 0.5 -> pixel 16 (y up in clip space).
    EXPECT_EQ(Pixel(pixels, 56, 16), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(pixels, 32, 16), 0xFF000000u);
    EXPECT_EQ(Pixel(pixels, 56, 48), 0xFF000000u);
}

TEST_F(DeviceTest, ClipDepthRunsFromZeroToWWithNearClippingAtZero)
{
    REQUIRE_DISPLAY();
    ASSERT_TRUE(CreateDevice(false));
    ID3DXEffect* effect = DeviceEffect("Clip");
    ASSERT_NE(effect, nullptr);
    m_device->SetVertexDeclaration(PosDeclaration());
    m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    m_device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    // A full-screen quad with w = 2; its depth is g_fDepth x w.
    const PosVertex v[4] = {{-1, 1, 2}, {1, 1, 2}, {-1, -1, 2}, {1, -1, 2}};
    const struct {
        float depth;
        bool drawn;
    } cases[] = {{-0.01f, false}, {0.0f, true}, {0.5f, true}, {1.0f, true}, {1.01f, false}};
    for (const auto& c : cases) {
        m_device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 0.0f, 0);
        effect->SetFloat("g_fDepth", c.depth);
        DrawWithEffect(effect, D3DPT_TRIANGLESTRIP, 2, v, sizeof(PosVertex));
        EXPECT_EQ(Pixel(ReadBackBuffer(), 32, 32), c.drawn ? 0xFFFFFFFFu : 0xFF000000u) << "depth " << c.depth;
    }
}

TEST_F(DeviceTest, DepthTestsAndWritesAsSet)
{
    REQUIRE_DISPLAY();
    ASSERT_TRUE(CreateDevice(false));
    ID3DXEffect* effect = DeviceEffect("Flat");
    ASSERT_NE(effect, nullptr);
    m_device->SetVertexDeclaration(PosColDeclaration());
    m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    PosColVertex near[4], far[4], middle[4];
    Quad(near, 0, 0, 64, 64, 0xFF00FF00, 0.2f);
    Quad(far, 0, 0, 64, 64, 0xFFFF0000, 0.8f);
    Quad(middle, 0, 0, 64, 64, 0xFF0000FF, 0.5f);

    m_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    DrawWithEffect(effect, D3DPT_TRIANGLESTRIP, 2, far, sizeof(PosColVertex));
    DrawWithEffect(effect, D3DPT_TRIANGLESTRIP, 2, near, sizeof(PosColVertex));
    DrawWithEffect(effect, D3DPT_TRIANGLESTRIP, 2, middle, sizeof(PosColVertex));
    EXPECT_EQ(Pixel(ReadBackBuffer(), 10, 10), 0xFF00FF00u) << "the nearest wins";

    m_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    m_device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    DrawWithEffect(effect, D3DPT_TRIANGLESTRIP, 2, near, sizeof(PosColVertex));
    m_device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    DrawWithEffect(effect, D3DPT_TRIANGLESTRIP, 2, middle, sizeof(PosColVertex));
    EXPECT_EQ(Pixel(ReadBackBuffer(), 10, 10), 0xFF0000FFu) << "without depth writes the near quad left no depth";

    m_device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    DrawWithEffect(effect, D3DPT_TRIANGLESTRIP, 2, far, sizeof(PosColVertex));
    EXPECT_EQ(Pixel(ReadBackBuffer(), 10, 10), 0xFFFF0000u) << "depth test off";
}

TEST_F(DeviceTest, SourceAlphaBlendingIsWithinOneStep)
{
    REQUIRE_DISPLAY();
    ASSERT_TRUE(CreateDevice(false));
    ID3DXEffect* effect = DeviceEffect("Flat");
    ASSERT_NE(effect, nullptr);
    m_device->SetVertexDeclaration(PosColDeclaration());
    m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    m_device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    m_device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    m_device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    for (int alpha : {0, 1, 64, 127, 128, 200, 254, 255}) {
        m_device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF2040FF, 0.0f, 0);
        PosColVertex v[4];
        Quad(v, 0, 0, 64, 64, static_cast<DWORD>(alpha) << 24 | 0x00FFC000u);
        DrawWithEffect(effect, D3DPT_TRIANGLESTRIP, 2, v, sizeof(PosColVertex));
        const uint32_t p = Pixel(ReadBackBuffer(), 20, 20);
        const double a = alpha / 255.0;
        EXPECT_NEAR(Red(p), 255 * a + 0x20 * (1 - a), 1.0) << "alpha " << alpha;
        EXPECT_NEAR(Green(p), 0xC0 * a + 0x40 * (1 - a), 1.0) << "alpha " << alpha;
        EXPECT_NEAR(Blue(p), 0 * a + 0xFF * (1 - a), 1.0) << "alpha " << alpha;
    }
}

TEST_F(DeviceTest, SamplerStatesComeFromSamplerState)
{
    REQUIRE_DISPLAY();
    ASSERT_TRUE(CreateDevice(false));
    // Two texels, black and white: point sampling picks one, linear blends them. Their
    // unused bytes are not 0xFF: X8R8G8B8 reads alpha 1 whatever they hold.
    const std::vector<unsigned char> dds = MakeDds(2, 1, D3DFMT_X8R8G8B8, {0x00000000, 0x10FFFFFF});
    IDirect3DTexture9* texture = LoadTexture(dds);
    ASSERT_NE(texture, nullptr);
    ID3DXEffect* effect = MakeEffect(DEVICE_TEST_EFFECT);
    ASSERT_NE(effect, nullptr);
    effect->SetTexture("g_tx", texture);
    m_device->SetVertexDeclaration(PosColTexDeclaration());
    m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    // One pixel sampling u = 0.5 (between the texels), one sampling u = 1.25.
    auto sample = [&](const char* technique, float u) {
        const PosColTexVertex v[4] = {{0, 0, 0, 1, 0xFFFFFFFF, u, 0.5f},
                                      {1, 0, 0, 1, 0xFFFFFFFF, u, 0.5f},
                                      {0, 1, 0, 1, 0xFFFFFFFF, u, 0.5f},
                                      {1, 1, 0, 1, 0xFFFFFFFF, u, 0.5f}};
        effect->SetTechnique(technique);
        DrawWithEffect(effect, D3DPT_TRIANGLESTRIP, 2, v, sizeof(PosColTexVertex));
        return Pixel(ReadBackBuffer(), 0, 0);
    };
    const uint32_t linear = sample("TexLinear", 0.5f);
    EXPECT_NEAR(Red(linear), 128, 1) << "linear filter";
    const uint32_t point = sample("TexPoint", 0.5f);
    EXPECT_TRUE(Red(point) == 0 || Red(point) == 255) << "point filter";
    EXPECT_EQ(Red(sample("TexPoint", 1.1f)), 0) << "wrap: 1.1 reads texel 0";
    EXPECT_EQ(Red(sample("TexLinear", 1.25f)), 255) << "clamp: past the edge reads the last texel";
    EXPECT_EQ(Alpha(linear), 255) << "X8R8G8B8 reads alpha 1";
}

TEST_F(DeviceTest, EveryDrawKeepsItsParametersWhenTheStreamFillsUp)
{
    REQUIRE_DISPLAY();
    ASSERT_TRUE(CreateDevice(false));
    ID3DXEffect* effect = DeviceEffect("Clip");
    ASSERT_NE(effect, nullptr);
    m_device->SetVertexDeclaration(PosDeclaration());
    m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    ASSERT_EQ(m_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0), D3D_OK);
    // Each draw fills a column and carries 1.5 MB of vertices that draw nothing (w = 0),
    // so that the stream's storage runs out, and is renewed, among them. The colour
    // changes every other column: the draws between keep the parameters they were given.
    const int COLUMNS = 16;
    std::vector<PosVertex> vertices(3 * 43690, PosVertex{0, 0, 0});
    auto colour = [](int i) {
        i -= i % 2;
        return 0xFF000000u | (i * 15u) << 16 | (255u - i * 15u) << 8 | (i * 37u % 256u);
    };
    ASSERT_EQ(m_device->BeginScene(), D3D_OK);
    UINT passes = 0;
    ASSERT_EQ(effect->Begin(&passes, 0), D3D_OK);
    ASSERT_EQ(effect->BeginPass(0), D3D_OK);
    for (int i = 0; i < COLUMNS; ++i) {
        const float x0 = -1.0f + 2.0f * i / COLUMNS, x1 = -1.0f + 2.0f * (i + 1) / COLUMNS;
        const PosVertex quad[6] = {{x0, -1, 1}, {x1, -1, 1}, {x0, 1, 1}, {x1, -1, 1}, {x1, 1, 1}, {x0, 1, 1}};
        std::copy(quad, quad + 6, vertices.begin());
        if (i % 2 == 0) {
            const uint32_t c = colour(i);
            const D3DXVECTOR4 rgba = {Red(c) / 255.0f, Green(c) / 255.0f, Blue(c) / 255.0f, 1.0f};
            effect->SetVector("g_vColor", &rgba);
            ASSERT_EQ(effect->CommitChanges(), D3D_OK);
        }
        ASSERT_EQ(m_device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, static_cast<UINT>(vertices.size() / 3), vertices.data(),
                                            sizeof(PosVertex)),
                  D3D_OK);
    }
    effect->EndPass();
    effect->End();
    ASSERT_EQ(m_device->EndScene(), D3D_OK);
    const std::vector<uint32_t> pixels = ReadBackBuffer();
    for (int i = 0; i < COLUMNS; ++i)
        EXPECT_TRUE(Near(Pixel(pixels, m_width * (2 * i + 1) / (2 * COLUMNS), m_height / 2), colour(i), 1))
            << "column " << i;
}

TEST_F(DeviceTest, DrawsOutsideAScenesAreRefused)
{
    REQUIRE_DISPLAY();
    ASSERT_TRUE(CreateDevice(false));
    m_device->SetVertexDeclaration(PosColDeclaration());
    PosColVertex v[4];
    Quad(v, 0, 0, 8, 8, 0xFFFFFFFF);
    EXPECT_EQ(m_device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, v, sizeof(PosColVertex)), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->EndScene(), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->BeginScene(), D3D_OK);
    EXPECT_EQ(m_device->BeginScene(), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->EndScene(), D3D_OK);
}
