// The scene effect (resource 106): a quad facing the camera drawn in its three passes into
// the scene targets, each pixel compared with the CPU's lighting, normal and depth.
#include "SceneDrawing.h"

#include <algorithm>
#include <cmath>

namespace {

struct SceneVertex {
    float x, y, z;
    float nx, ny, nz;
    float u, v;
};

const D3DVERTEXELEMENT9 SCENE_ELEMENTS[] = {{0, 0, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0},
                                            {0, 12, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_NORMAL, 0},
                                            {0, 24, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD,
                                             0},
                                            D3DDECL_END()};

const float HALF_WIDTH = 6.0f;  // the quad in model space: x in -6...6, y in -4.5...4.5, z 0
const float HALF_HEIGHT = 4.5f;
const float DISTANCE = 10.0f;  // its centre in front of the camera
const D3DCOLOR CLEAR = 0xFF000000;

struct Material {
    Color4 diffuse;
    CVector3 specular;
    float power;
    CVector3 light;
};

CVector3 Normalised(const CVector3& v)
{
    const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return CVector3(v.x / length, v.y / length, v.z / length);
}

float Dot(const CVector3& a, const CVector3& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

float Saturate(float x)
{
    return std::min(1.0f, std::max(0.0f, x));
}

// The colour pass: ambient + (diffuse + light colour) x d + specular x s.
Color4 LitColour(const CVector3& normal, const CVector3& viewDirection, const Material& m)
{
    const CVector3 n = Normalised(normal);
    const CVector3 l = Normalised(m.light);
    const CVector3 v = Normalised(viewDirection);
    const float d = Saturate(Dot(n, l));
    const CVector3 r = Normalised(n * (2.0f * d) - l);
    const float s = std::pow(Saturate(Dot(r, v)), m.power);
    const Color4 ambient(0.2f, 0.2f, 0.2f, 1.0f);
    const Color4 lightColour(0.1f, 0.1f, 0.1f, 0.0f);
    return ambient + (m.diffuse + lightColour) * d + Color4(m.specular.x * s, m.specular.y * s, m.specular.z * s, 0);
}

class SceneShader : public GraphicsTest {
protected:
    void SetUp() override
    {
        GraphicsTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ASSERT_EQ(Device()->CreateVertexDeclaration(SCENE_ELEMENTS, &m_decl), D3D_OK);
        m_effect = IntroEffect(ID_SCENE_FX);
        ASSERT_NE(m_effect, nullptr);
        m_projection.Perspective(60.0f, 4.0f / 3.0f, 1.0f, 100.0f);
        Device()->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    }

    void TearDown() override
    {
        if (m_decl)
            m_decl->Release();
    }

    // The quad with one normal at every corner, in counter-clockwise order on screen (the
    // colour pass culls clockwise triangles), under model-view = rotation then distance.
    void Draw(const CVector3& normal, const CMatrix& rotation, float focalLength, const Material& m)
    {
        const SceneVertex quad[4] = {
            {-HALF_WIDTH, HALF_HEIGHT, 0, normal.x, normal.y, normal.z, 0, 0},
            {-HALF_WIDTH, -HALF_HEIGHT, 0, normal.x, normal.y, normal.z, 0, 1},
            {HALF_WIDTH, HALF_HEIGHT, 0, normal.x, normal.y, normal.z, 1, 0},
            {HALF_WIDTH, -HALF_HEIGHT, 0, normal.x, normal.y, normal.z, 1, 1},
        };
        m_modelView = Product(rotation, Translation(0, 0, -DISTANCE));
        m_effect->SetMatrix("g_mProj", m_projection.AsD3DX());
        m_effect->SetMatrix("g_mModel", rotation.AsD3DX());
        m_effect->SetMatrix("g_mModelView", m_modelView.AsD3DX());
        m_effect->SetFloat("g_fFocalPlaneLength", focalLength);
        m_effect->SetVector("g_vDiffuseColor", reinterpret_cast<const D3DXVECTOR4*>(&m.diffuse));
        const D3DXVECTOR4 specular = {m.specular.x, m.specular.y, m.specular.z, 1.0f};
        m_effect->SetVector("g_vSpecularColor", &specular);
        m_effect->SetFloat("g_fSpecularStrength", m.power);
        m_effect->SetFloatArray("g_vLightDir", &m.light.x, 3);
        DrawThreePasses(m_effect, m_decl, quad, sizeof quad[0], CLEAR);
    }

    // The view-space point of the quad's plane seen at pixel (x, y).
    CVector3 ViewPoint(int x, int y) const
    {
        const float ndcX = 2.0f * x / SCREEN_WIDTH - 1.0f;
        const float ndcY = 1.0f - 2.0f * y / SCREEN_HEIGHT;
        return CVector3(ndcX * DISTANCE / m_projection.m[0][0], ndcY * DISTANCE / m_projection.m[1][1], -DISTANCE);
    }

    // The pixel rectangle well inside the quad (view-space |x| < limitX, |y| < limitY),
    // away from its edges.
    void Inner(float limitX, float limitY, int& left, int& top, int& width, int& height) const
    {
        left = static_cast<int>(std::ceil((1.0f - limitX * m_projection.m[0][0] / DISTANCE) * SCREEN_WIDTH / 2));
        top = static_cast<int>(std::ceil((1.0f - limitY * m_projection.m[1][1] / DISTANCE) * SCREEN_HEIGHT / 2));
        width = SCREEN_WIDTH - 2 * left;
        height = SCREEN_HEIGHT - 2 * top;
    }

    IDirect3DVertexDeclaration9* m_decl = nullptr;
    ID3DXEffect* m_effect = nullptr;
    CMatrix m_projection;
    CMatrix m_modelView;
};

CMatrix RotationZ90()
{
    CMatrix m;
    m.Identity();
    m.m[0][0] = 0.0f;
    m.m[0][1] = 1.0f;
    m.m[1][0] = -1.0f;
    m.m[1][1] = 0.0f;
    return m;
}

}  // namespace

TEST_F(SceneShader, SurfaceFacingTheLightGetsAmbientDiffuseLightAndSpecular)
{
    const Material m = {Color4(0.3f, 0.2f, 0.1f, 1.0f), CVector3(0.25f, 0.3f, 0.35f), 16.0f, CVector3(0, 0, 1)};
    CMatrix identity;
    identity.Identity();
    Draw(CVector3(0, 0, 1), identity, 20.0f, m);

    ColorImage colour(SCREEN_WIDTH, SCREEN_HEIGHT), eyeOnly(SCREEN_WIDTH, SCREEN_HEIGHT);
    ColorImage normal(SCREEN_WIDTH, SCREEN_HEIGHT), position(SCREEN_WIDTH, SCREEN_HEIGHT);
    for (int y = 0; y < SCREEN_HEIGHT; ++y) {
        for (int x = 0; x < SCREEN_WIDTH; ++x) {
            const CVector3 p = ViewPoint(x, y);
            // View direction: minus the model-view's fourth row, minus the point.
            const CVector3 toEye = CVector3(0, 0, DISTANCE) - p;
            colour.At(x, y) = LitColour(CVector3(0, 0, 1), toEye, m);
            eyeOnly.At(x, y) = LitColour(CVector3(0, 0, 1), -p, m);
            normal.At(x, y) = Color4(0, 0, 1, 1);
            position.At(x, y) = Saturate(Color4(p.x, p.y, p.z / -20.0f, 1.0f));
        }
    }
    int left, top, width, height;
    Inner(5.5f, 4.0f, left, top, width, height);
    const Image lit = ReadTexture(CPostProcess::GetSceneTarget(0));
    EXPECT_TRUE(ImagesNear(lit, colour, 2, left, top, width, height));
    EXPECT_FALSE(ImagesNear(lit, eyeOnly, 8, left, top, width, height))
        << "the view direction starts from minus the model-view's translation";
    // Straight ahead: (0.2 + 0.3 + 0.1, 0.2 + 0.2 + 0.1, 0.2 + 0.1 + 0.1) + the full specular.
    EXPECT_TRUE(ColorNear(lit.At(512, 384), ToArgb(Color4(0.85f, 0.8f, 0.75f, 1.0f)), 1));
    EXPECT_EQ(lit.At(5, 5), CLEAR) << "outside the quad";
    EXPECT_TRUE(ImagesNear(ReadTexture(CPostProcess::GetSceneTarget(1)), normal, 1, left, top, width, height));
    const Image depth = ReadTexture(CPostProcess::GetSceneTarget(2));
    EXPECT_TRUE(ImagesNear(depth, position, 1, left, top, width, height));
    EXPECT_NEAR(static_cast<int>(depth.At(512, 384) & 0xFF), 128, 1) << "half the focal length away";
}

TEST_F(SceneShader, NormalsTurnWithTheModelViewAndAreNormalised)
{
    // An unnormalised normal, turned by a quarter turn about z: (0.6, 0.3, 0.5) becomes
    // (-0.3, 0.6, 0.5). The default light direction; the focal length at the quad.
    const Material m = {Color4(0.4f, 0.1f, 0.3f, 1.0f), CVector3(0.5f, 0.5f, 0.5f), 4.0f, CVector3(0.25f, 0.5f, 0.25f)};
    Draw(CVector3(0.6f, 0.3f, 0.5f), RotationZ90(), DISTANCE, m);

    const CVector3 turned(-0.3f, 0.6f, 0.5f);
    ColorImage colour(SCREEN_WIDTH, SCREEN_HEIGHT), normal(SCREEN_WIDTH, SCREEN_HEIGHT);
    ColorImage position(SCREEN_WIDTH, SCREEN_HEIGHT);
    const CVector3 n = Normalised(turned);
    for (int y = 0; y < SCREEN_HEIGHT; ++y) {
        for (int x = 0; x < SCREEN_WIDTH; ++x) {
            const CVector3 p = ViewPoint(x, y);
            colour.At(x, y) = LitColour(turned, CVector3(0, 0, DISTANCE) - p, m);
            normal.At(x, y) = Saturate(Color4(n.x, n.y, n.z, 1.0f));
            position.At(x, y) = Saturate(Color4(p.x, p.y, 1.0f, 1.0f));
        }
    }
    int left, top, width, height;
    Inner(4.0f, 4.0f, left, top, width, height);
    EXPECT_TRUE(ImagesNear(ReadTexture(CPostProcess::GetSceneTarget(0)), colour, 2, left, top, width, height));
    const Image normals = ReadTexture(CPostProcess::GetSceneTarget(1));
    EXPECT_TRUE(ImagesNear(normals, normal, 1, left, top, width, height));
    EXPECT_EQ((normals.At(512, 384) >> 16) & 0xFF, 0u) << "a negative component stores as 0";
    const Image depth = ReadTexture(CPostProcess::GetSceneTarget(2));
    EXPECT_TRUE(ImagesNear(depth, position, 1, left, top, width, height));
    EXPECT_EQ(depth.At(512, 384) & 0xFF, 255u) << "depth fraction 1.0 at the focal length";
}

TEST_F(SceneShader, ColourPassStatesAreRestoredWhenTheTechniqueEnds)
{
    Device()->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    Device()->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    Device()->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    m_effect->SetTechnique("RenderSceneThreePasses");
    UINT passes = 0;
    ASSERT_EQ(m_effect->Begin(&passes, 0), D3D_OK);
    DWORD cull = 0, blend = 0, z = 0;
    for (UINT pass = 0; pass < passes; ++pass) {
        m_effect->BeginPass(pass);
        Device()->GetRenderState(D3DRS_CULLMODE, &cull);
        Device()->GetRenderState(D3DRS_ALPHABLENDENABLE, &blend);
        Device()->GetRenderState(D3DRS_ZENABLE, &z);
        EXPECT_EQ(cull, static_cast<DWORD>(D3DCULL_CW)) << "pass " << pass;
        EXPECT_EQ(blend, static_cast<DWORD>(TRUE)) << "pass " << pass;
        EXPECT_EQ(z, static_cast<DWORD>(D3DZB_TRUE)) << "pass " << pass;
        m_effect->EndPass();
    }
    m_effect->End();
    Device()->GetRenderState(D3DRS_CULLMODE, &cull);
    Device()->GetRenderState(D3DRS_ALPHABLENDENABLE, &blend);
    Device()->GetRenderState(D3DRS_ZENABLE, &z);
    EXPECT_EQ(cull, static_cast<DWORD>(D3DCULL_NONE));
    EXPECT_EQ(blend, static_cast<DWORD>(FALSE));
    EXPECT_EQ(z, static_cast<DWORD>(D3DZB_FALSE));
    Device()->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);

    m_effect->SetTechnique("RenderNoLight");
    ASSERT_EQ(m_effect->Begin(&passes, 0), D3D_OK);
    EXPECT_EQ(passes, 1u);
    m_effect->BeginPass(0);
    Device()->GetRenderState(D3DRS_ZENABLE, &z);
    EXPECT_EQ(z, static_cast<DWORD>(D3DZB_FALSE)) << "the composite copy ignores depth";
    m_effect->EndPass();
    m_effect->End();
    Device()->GetRenderState(D3DRS_ZENABLE, &z);
    EXPECT_EQ(z, static_cast<DWORD>(D3DZB_TRUE));
}
