// The text effect (resource 122): small glyph squares laid out along the line, bent by the
// vertex shader onto the arch; where they land on screen, their depth fraction, normal and
// colour, against the CPU's bend and projection.
#include "SceneDrawing.h"

#include <cmath>

namespace {

struct TextVertex {
    float x, y, z;
    float nx, ny, nz;
};

const D3DVERTEXELEMENT9 TEXT_ELEMENTS[] = {{0, 0, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0},
                                           {0, 12, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_NORMAL, 0},
                                           D3DDECL_END()};

const float GLYPH_HALF = 4.0f;  // a glyph: a square 8 units across around its origin
const float FOCAL = 512.0f;
const D3DCOLOR CLEAR = 0xFF000000;

// The vertex shader's bend of a world-space point.
CVector3 Bend(const CVector3& world)
{
    const float t = world.x / 256.0f;
    CVector3 p = world;
    p.y = p.y + 8.0f * std::sin(world.x / 16.0f);
    p.z = p.z + 128.0f * std::sin(t * 3.141592f) - 128.0f;
    p.x = p.x - 128.0f;
    p.y = p.y - 40.0f;
    return p;
}

struct Coverage {
    int pixels = 0;
    float x = 0, y = 0;  // centroid
};

Coverage Measure(const Image& image)
{
    Coverage c;
    double sx = 0, sy = 0;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            if (image.At(x, y) != CLEAR) {
                ++c.pixels;
                sx += x;
                sy += y;
            }
        }
    }
    if (c.pixels) {
        c.x = static_cast<float>(sx / c.pixels);
        c.y = static_cast<float>(sy / c.pixels);
    }
    return c;
}

class TextShader : public GraphicsTest {
protected:
    void SetUp() override
    {
        GraphicsTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ASSERT_EQ(Device()->CreateVertexDeclaration(TEXT_ELEMENTS, &m_decl), D3D_OK);
        m_effect = IntroEffect(ID_TEXT_FX);
        ASSERT_NE(m_effect, nullptr);
        m_projection.Perspective(60.0f, 4.0f / 3.0f, 1.0f, 1000.0f);
        // The camera 300 units back from the line's middle, level with its lowered centre.
        m_view = Translation(0.0f, 40.0f, -300.0f);
        Device()->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    }

    void TearDown() override
    {
        if (m_decl)
            m_decl->Release();
    }

    // One glyph square with its origin at world (x, 0, 0). The normal matrix is given
    // separately, as the scroller gives model x view per glyph.
    void DrawGlyph(float worldX, const CVector3& normal, const CMatrix& modelView)
    {
        const TextVertex quad[4] = {
            {-GLYPH_HALF, GLYPH_HALF, 0, normal.x, normal.y, normal.z},
            {-GLYPH_HALF, -GLYPH_HALF, 0, normal.x, normal.y, normal.z},
            {GLYPH_HALF, GLYPH_HALF, 0, normal.x, normal.y, normal.z},
            {GLYPH_HALF, -GLYPH_HALF, 0, normal.x, normal.y, normal.z},
        };
        const CMatrix model = Translation(worldX, 0.0f, 0.0f);
        m_effect->SetMatrix("g_mProj", m_projection.AsD3DX());
        m_effect->SetMatrix("g_mView", m_view.AsD3DX());
        m_effect->SetMatrix("g_mModel", model.AsD3DX());
        m_effect->SetMatrix("g_mModelView", modelView.AsD3DX());
        m_effect->SetFloat("g_fFocalPlaneLength", FOCAL);
        DrawThreePasses(m_effect, m_decl, quad, sizeof quad[0], CLEAR);
    }

    // Where the CPU puts the same square: its four bent corners projected, and the pixel
    // centres inside the two triangles of the strip.
    Coverage Expected(float worldX, bool bend) const
    {
        ScreenVertex corners[4];
        const float offsets[4][2] = {{-1, 1}, {-1, -1}, {1, 1}, {1, -1}};
        for (int i = 0; i < 4; ++i) {
            const CVector3 world(worldX + offsets[i][0] * GLYPH_HALF, offsets[i][1] * GLYPH_HALF, 0.0f);
            const CVector3 p = bend ? Bend(world) : world;
            const CVector4 view = Transform(CVector4(p.x, p.y, p.z, 1.0f), m_view);
            ProjectToScreen(CVector3(view.x, view.y, view.z), m_projection, corners[i].x, corners[i].y);
        }
        Image mask(SCREEN_WIDTH, SCREEN_HEIGHT, CLEAR);
        for (int y = 0; y < SCREEN_HEIGHT; ++y) {
            for (int x = 0; x < SCREEN_WIDTH; ++x) {
                Color4 unused;
                if (InterpolateInTriangle(corners[0], corners[1], corners[2], x, y, unused) ||
                    InterpolateInTriangle(corners[1], corners[2], corners[3], x, y, unused))
                    mask.At(x, y) = 0xFFFFFFFF;
            }
        }
        return Measure(mask);
    }

    // The depth fraction the position pass stores at the glyph's origin.
    static float DepthFraction(float worldX, const CMatrix& view)
    {
        const CVector3 p = Bend(CVector3(worldX, 0, 0));
        const CVector4 v = Transform(CVector4(p.x, p.y, p.z, 1.0f), view);
        return v.z / -FOCAL;
    }

    IDirect3DVertexDeclaration9* m_decl = nullptr;
    ID3DXEffect* m_effect = nullptr;
    CMatrix m_projection;
    CMatrix m_view;
};

}  // namespace

TEST_F(TextShader, GlyphsLandOnTheArch)
{
    for (float worldX : {0.0f, 64.0f, 128.0f, 192.0f, 256.0f}) {
        SCOPED_TRACE(testing::Message() << "glyph at world x " << worldX);
        DrawGlyph(worldX, CVector3(0, 0, 1), Product(Translation(worldX, 0, 0), m_view));
        const Image colour = ReadTexture(CPostProcess::GetSceneTarget(0));
        const Coverage drawn = Measure(colour);
        const Coverage expected = Expected(worldX, true);
        ASSERT_GT(expected.pixels, 20);
        EXPECT_NEAR(drawn.pixels, expected.pixels, expected.pixels / 10 + 4);
        EXPECT_NEAR(drawn.x, expected.x, 0.5f);
        EXPECT_NEAR(drawn.y, expected.y, 0.5f);
        const Coverage straight = Expected(worldX, false);
        EXPECT_GT(std::fabs(drawn.x - straight.x) + std::fabs(drawn.y - straight.y), 20.0f)
            << "the bend moves every glyph";

        const int cx = static_cast<int>(std::lround(drawn.x)), cy = static_cast<int>(std::lround(drawn.y));
        // Orange-brown: ambient + diffuse x d with d = n . normalise(-0.25, 0.25, 0.5).
        const float d = 0.5f / std::sqrt(0.25f * 0.25f * 2 + 0.25f);
        EXPECT_TRUE(ColorNear(colour.At(cx, cy), ToArgb(Color4(0.5f + 0.25f * d, 0.215f + 0.1f * d, 0, 1)), 1));
        const Image normal = ReadTexture(CPostProcess::GetSceneTarget(1));
        EXPECT_EQ(normal.At(cx, cy), 0xFF0000FFu) << "the bend does not turn the normal";
        const Image position = ReadTexture(CPostProcess::GetSceneTarget(2));
        EXPECT_NEAR(static_cast<int>(position.At(cx, cy) & 0xFF), DepthFraction(worldX, m_view) * 255.0f, 2.0f);
    }
}

TEST_F(TextShader, EndsOfTheLineLieFurtherBackThanItsMiddle)
{
    // World x 0 and 256 land at -128 and +128, pushed 128 units back; 128 keeps its depth.
    EXPECT_NEAR(Bend(CVector3(0, 0, 0)).x, -128.0f, 1e-4f);
    EXPECT_NEAR(Bend(CVector3(256, 0, 0)).x, 128.0f, 1e-4f);
    const float ends[2] = {0.0f, 256.0f};
    int depths[3];
    for (int i = 0; i < 3; ++i) {
        const float worldX = i < 2 ? ends[i] : 128.0f;
        DrawGlyph(worldX, CVector3(0, 0, 1), Product(Translation(worldX, 0, 0), m_view));
        const Coverage drawn = Measure(ReadTexture(CPostProcess::GetSceneTarget(0)));
        ASSERT_GT(drawn.pixels, 0);
        const Image position = ReadTexture(CPostProcess::GetSceneTarget(2));
        depths[i] = static_cast<int>(
            position.At(static_cast<int>(std::lround(drawn.x)), static_cast<int>(std::lround(drawn.y))) & 0xFF);
    }
    // 300 and 428 units away at a focal length of 512.
    EXPECT_NEAR(depths[2], 300.0f / FOCAL * 255.0f, 2.0f);
    EXPECT_NEAR(depths[0], 428.0f / FOCAL * 255.0f, 2.0f);
    EXPECT_NEAR(depths[1], 428.0f / FOCAL * 255.0f, 2.0f);
}

TEST_F(TextShader, NormalsTakeTheModelViewMatrix)
{
    // Positions use the model and view matrices, normals the model-view's 3 x 3 part: a
    // quarter turn there turns (1, 0, 0) into (0, 1, 0) while the glyph stays in place.
    CMatrix turn;
    turn.Identity();
    turn.m[0][0] = 0.0f;
    turn.m[0][1] = 1.0f;
    turn.m[1][0] = -1.0f;
    turn.m[1][1] = 0.0f;
    DrawGlyph(128.0f, CVector3(1, 0, 0), Product(turn, m_view));
    const Coverage drawn = Measure(ReadTexture(CPostProcess::GetSceneTarget(0)));
    const Coverage expected = Expected(128.0f, true);
    EXPECT_NEAR(drawn.x, expected.x, 0.5f);
    EXPECT_NEAR(drawn.y, expected.y, 0.5f);
    const int cx = static_cast<int>(std::lround(drawn.x)), cy = static_cast<int>(std::lround(drawn.y));
    EXPECT_EQ(ReadTexture(CPostProcess::GetSceneTarget(1)).At(cx, cy), 0xFF00FF00u);
    // Lit by (0, 1, 0) . normalise(-0.25, 0.25, 0.5) = 0.408.
    const float d = 0.25f / std::sqrt(0.25f * 0.25f * 2 + 0.25f);
    EXPECT_TRUE(ColorNear(ReadTexture(CPostProcess::GetSceneTarget(0)).At(cx, cy),
                          ToArgb(Color4(0.5f + 0.25f * d, 0.215f + 0.1f * d, 0, 1)), 1));
}
