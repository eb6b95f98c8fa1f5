// CPostProcess: the targets, the pass runner's sources, destinations, quad and scales, and
// the composite onto the back buffer.
#include "ChainTest.h"
#include "MessageBoxSpy.h"

namespace {

const char COORDINATES[] = "return float4(Tex, Tex2);";
const char COPY_SOURCE[] = "return tex2D(g_samSrcPoint, Tex);";
const char QUARTER[] = "< float fScaleX = 0.25f; float fScaleY = 0.25f; >";
const char FOUR[] = "< float fScaleX = 4.0f; float fScaleY = 4.0f; >";

class PassRunner : public ChainTest {
protected:
    static IDirect3DSurface9* Level0(IDirect3DTexture9* texture)
    {
        IDirect3DSurface9* surface = nullptr;
        texture->GetSurfaceLevel(0, &surface);
        surface->Release();  // the texture keeps it
        return surface;
    }

    static IDirect3DSurface9* CurrentTarget()
    {
        IDirect3DSurface9* target = nullptr;
        Device()->GetRenderTarget(0, &target);
        target->Release();
        return target;
    }

    static IDirect3DBaseTexture9* BoundSource(ID3DXEffect* effect)
    {
        IDirect3DBaseTexture9* texture = nullptr;
        effect->GetTexture("g_txSrcColor", &texture);
        if (texture)
            texture->Release();
        return texture;
    }

    static ULONG References(IUnknown* object)
    {
        object->AddRef();
        return object->Release();
    }
};

// The texture coordinates a coordinate pass writes at pixel (x, y) of a region of
// width x height whose first coordinate runs to uMax, vMax.
ColorImage CoordinateImage(int width, int height, float uMax, float vMax)
{
    ColorImage image(SCREEN_WIDTH, SCREEN_HEIGHT);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const float s = (x + 0.5f) / width, t = (y + 0.5f) / height;
            image.At(x, y) = Color4(s * uMax, t * vMax, s, t);
        }
    }
    return image;
}

}  // namespace

TEST_F(PassRunner, TargetsAreFullSizeRenderTargets)
{
    IDirect3DTexture9* targets[5] = {CPostProcess::GetSceneTarget(0), CPostProcess::GetSceneTarget(1),
                                     CPostProcess::GetSceneTarget(2), CPostProcess::GetChainTarget(0),
                                     CPostProcess::GetChainTarget(1)};
    for (int i = 0; i < 5; ++i) {
        ASSERT_NE(targets[i], nullptr) << i;
        for (int j = 0; j < i; ++j)
            EXPECT_NE(targets[i], targets[j]);
        D3DSURFACE_DESC desc;
        ASSERT_EQ(targets[i]->GetLevelDesc(0, &desc), D3D_OK);
        EXPECT_EQ(desc.Width, 1024u);
        EXPECT_EQ(desc.Height, 768u);
        EXPECT_EQ(desc.Format, D3DFMT_A8R8G8B8);
        EXPECT_EQ(desc.Usage, static_cast<DWORD>(D3DUSAGE_RENDERTARGET));
        EXPECT_EQ(desc.Pool, D3DPOOL_DEFAULT);
        EXPECT_EQ(targets[i]->GetLevelCount(), 1u);
    }
}

TEST_F(PassRunner, SceneTargetsAreClearedTogetherAndTheBackBufferComesBack)
{
    for (int i = 0; i < 3; ++i)
        FillTarget(CPostProcess::GetSceneTarget(i), RandomImage(SCREEN_WIDTH, SCREEN_HEIGHT, 100 + i));
    CGfxD3D::ClearDepth(0.3f);
    IDirect3DSurface9* back = BackBuffer();
    const ULONG backReferences = References(back);

    CPostProcess::BeginSceneTargets(0x80102030);
    EXPECT_EQ(CurrentTarget(), Level0(CPostProcess::GetSceneTarget(0))) << "colour target bound for drawing";
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(
            ImagesEqual(ReadTexture(CPostProcess::GetSceneTarget(i)), Uniform(SCREEN_WIDTH, SCREEN_HEIGHT, 0x80102030)))
            << "scene target " << i;
    // The shared depth buffer ends at 1.0: a probe at depth 1 passes everywhere.
    DrawProbeQuad(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, 1.0f, 0xFF00FF00);
    EXPECT_TRUE(
        ImagesEqual(ReadTexture(CPostProcess::GetSceneTarget(0)), Uniform(SCREEN_WIDTH, SCREEN_HEIGHT, 0xFF00FF00)));
    for (int i = 0; i < 3; ++i) {
        CPostProcess::SetSceneTarget(i);
        EXPECT_EQ(CurrentTarget(), Level0(CPostProcess::GetSceneTarget(i)));
    }

    CPostProcess::EndSceneTargets();
    EXPECT_EQ(CurrentTarget(), back);
    EXPECT_EQ(References(back), backReferences) << "the saved reference is dropped";
}

TEST_F(PassRunner, SceneTargetBeyondTheThreeIsReportedAndBindsNothing)
{
    MessageBoxSpy spy(IDIGNORE);
    CPostProcess::SetSceneTarget(3);
    CPostProcess::SetSceneTarget(-1);
    EXPECT_EQ(CurrentTarget(), BackBuffer());
    ASSERT_EQ(spy.shown.size(), 2u);
    EXPECT_EQ(spy.shown[0].text, "GetSurfaceLevel");
}

TEST_F(PassRunner, UnfinishedFramesDoNotKeepTheBackBuffer)
{
    IDirect3DSurface9* back = BackBuffer();
    const ULONG backReferences = References(back);
    CPostProcess::BeginSceneTargets(0xFF000000);
    BindBackBuffer();
    CPostProcess::BeginSceneTargets(0xFF000000);
    CPostProcess::EndSceneTargets();
    EXPECT_EQ(References(back), backReferences);
    CPostProcess::BeginChain();
    CPostProcess::BeginChain();
    CPostProcess::Composite();
    EXPECT_EQ(References(back), backReferences);
    EXPECT_EQ(CurrentTarget(), back);
}

TEST_F(PassRunner, PassQuadStartsHalfAPixelOutsideTheFullTarget)
{
    CPostProcess::BeginChain();
    RunColorPass(0xFF000000);  // leaves the quad as it is: no scale
    ID3DXEffect* shrink = PassEffect(QUARTER, "return g_vColor;");
    CPostProcess::RunPass(shrink);
    CPostProcess::BeginChain();
    const PostQuadVertex expected[4] = {
        {-0.5f, -0.5f, 0.5f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f},
        {1023.5f, -0.5f, 0.5f, 1.0f, 1.0f, 0.0f, 1.0f, 0.0f},
        {-0.5f, 767.5f, 0.5f, 1.0f, 0.0f, 1.0f, 0.0f, 1.0f},
        {1023.5f, 767.5f, 0.5f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f},
    };
    const PostQuadVertex* quad = CPostProcess::GetPassQuad();
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(quad[i].x, expected[i].x) << i;
        EXPECT_EQ(quad[i].y, expected[i].y) << i;
        EXPECT_EQ(quad[i].z, expected[i].z) << i;
        EXPECT_EQ(quad[i].rhw, expected[i].rhw) << i;
        EXPECT_EQ(quad[i].u0, expected[i].u0) << i;
        EXPECT_EQ(quad[i].v0, expected[i].v0) << i;
        EXPECT_EQ(quad[i].u1, expected[i].u1) << i;
        EXPECT_EQ(quad[i].v1, expected[i].v1) << i;
    }
    EXPECT_EQ(CPostProcess::GetScaleU(), 1.0f);
    EXPECT_EQ(CPostProcess::GetScaleV(), 1.0f);
    EXPECT_EQ(CPostProcess::GetPassCount(), 0);
}

TEST_F(PassRunner, WorkedExampleOfTheFramesChain)
{
    struct Step {
        WORD effect;
        bool fromScene;
        int source, destination;
        float coordinateMaximum, farX, farY, scale;
    };
    const Step steps[7] = {
        {ID_DOWN_FILTER_FX, true, 0, 1, 1.0f, 255.5f, 191.5f, 0.25f},
        {ID_BLUR_H_FX, false, 1, 0, 0.25f, 255.5f, 191.5f, 0.25f},
        {ID_BLUR_V_FX, false, 0, 1, 0.25f, 255.5f, 191.5f, 0.25f},
        {ID_BLUR_H_FX, false, 1, 0, 0.25f, 255.5f, 191.5f, 0.25f},
        {ID_BLUR_V_FX, false, 0, 1, 0.25f, 255.5f, 191.5f, 0.25f},
        {ID_UP_FILTER_FX, false, 1, 0, 0.25f, 1023.5f, 767.5f, 1.0f},
        {ID_DOF_FX, false, 0, 1, 1.0f, 1023.5f, 767.5f, 1.0f},
    };
    FillTarget(CPostProcess::GetSceneTarget(0), RandomImage(SCREEN_WIDTH, SCREEN_HEIGHT, 7));
    CPostProcess::BeginChain();
    for (int i = 0; i < 7; ++i) {
        const Step& step = steps[i];
        ID3DXEffect* effect = IntroEffect(step.effect);
        ASSERT_NE(effect, nullptr);
        CPostProcess::RunPass(effect);
        SCOPED_TRACE(testing::Message() << "pass " << i + 1);
        IDirect3DTexture9* source = step.fromScene ? CPostProcess::GetSceneTarget(0)
                                                   : CPostProcess::GetChainTarget(step.source);
        EXPECT_EQ(BoundSource(effect), source);
        EXPECT_EQ(CurrentTarget(), Level0(CPostProcess::GetChainTarget(step.destination)));
        const PostQuadVertex* quad = CPostProcess::GetPassQuad();
        EXPECT_EQ(quad[1].u0, step.coordinateMaximum);
        EXPECT_EQ(quad[3].u0, step.coordinateMaximum);
        EXPECT_EQ(quad[2].v0, step.coordinateMaximum);
        EXPECT_EQ(quad[3].v0, step.coordinateMaximum);
        EXPECT_EQ(quad[1].x, step.farX);
        EXPECT_EQ(quad[3].x, step.farX);
        EXPECT_EQ(quad[2].y, step.farY);
        EXPECT_EQ(quad[3].y, step.farY);
        EXPECT_EQ(quad[0].x, -0.5f);
        EXPECT_EQ(quad[0].y, -0.5f);
        EXPECT_EQ(quad[3].u1, 1.0f) << "the second coordinate never changes";
        EXPECT_EQ(quad[3].v1, 1.0f);
        EXPECT_EQ(CPostProcess::GetScaleU(), step.scale);
        EXPECT_EQ(CPostProcess::GetScaleV(), step.scale);
        EXPECT_EQ(CPostProcess::GetPassCount(), i + 1);
    }
    // The effects that read the scene's normal and position get them bound too.
    IDirect3DBaseTexture9* position = nullptr;
    ASSERT_EQ(IntroEffect(ID_DOF_FX)->GetTexture("g_txSrcPosition", &position), D3D_OK);
    EXPECT_EQ(position, CPostProcess::GetSceneTarget(2));
    if (position)
        position->Release();
    float ratio[2] = {0, 0};
    IntroEffect(ID_DOF_FX)->GetFloatArray("g_PixelRatio", ratio, 2);
    EXPECT_EQ(ratio[0], 1.0f / 1024.0f);
    EXPECT_EQ(ratio[1], 1.0f / 768.0f);
}

TEST_F(PassRunner, PassesPingPongFromTheSceneColour)
{
    const Image scene = RandomImage(SCREEN_WIDTH, SCREEN_HEIGHT, 8);
    FillTarget(CPostProcess::GetSceneTarget(0), scene);
    ID3DXEffect* copy = PassEffect("", COPY_SOURCE);
    CPostProcess::BeginChain();
    CPostProcess::RunPass(copy);
    EXPECT_TRUE(ImagesEqual(Chain(1), scene)) << "the first pass reads the scene colour and writes chain 1";
    RunColorPass(0xFF204060);
    EXPECT_TRUE(ImagesEqual(Chain(0), Uniform(SCREEN_WIDTH, SCREEN_HEIGHT, 0xFF204060)));
    CPostProcess::RunPass(copy);
    EXPECT_TRUE(ImagesEqual(Chain(1), Uniform(SCREEN_WIDTH, SCREEN_HEIGHT, 0xFF204060)))
        << "the third pass reads chain 0";
}

TEST_F(PassRunner, CompositeFollowsTheParityOfThePassCount)
{
    FillTarget(CPostProcess::GetSceneTarget(0), Uniform(SCREEN_WIDTH, SCREEN_HEIGHT, 0xFF000000));
    const uint32_t colours[3] = {0xFF800000, 0xFF008000, 0xFF000080};
    for (int passes = 1; passes <= 3; ++passes) {
        CPostProcess::BeginChain();
        for (int i = 0; i < passes; ++i)
            RunColorPass(colours[i]);
        EXPECT_EQ(Chain(passes % 2).At(10, 10), colours[passes - 1])
            << passes << " passes leave the result in chain target " << passes % 2;
        CPostProcess::Composite();
        EXPECT_EQ(CurrentTarget(), BackBuffer());
        EXPECT_EQ(ReadBackBuffer().At(512, 384), colours[passes - 1]) << passes << " passes";
    }
}

TEST_F(PassRunner, ScaleAnnotationsMoveTheQuadsFarEdges)
{
    CPostProcess::BeginChain();
    CPostProcess::RunPass(PassEffect(QUARTER, "return g_vColor;"));
    const PostQuadVertex* quad = CPostProcess::GetPassQuad();
    EXPECT_EQ(quad[3].x, 255.5f);
    EXPECT_EQ(quad[3].y, 191.5f);
    CPostProcess::RunPass(PassEffect(FOUR, "return g_vColor;"));
    EXPECT_EQ(quad[1].x, 1023.5f) << "exactly back";
    EXPECT_EQ(quad[3].x, 1023.5f);
    EXPECT_EQ(quad[2].y, 767.5f);
    EXPECT_EQ(quad[3].y, 767.5f);

    // Only one annotation: the other direction keeps its size.
    CPostProcess::RunPass(PassEffect("< float fScaleX = 0.5f; >", "return g_vColor;"));
    EXPECT_EQ(quad[3].x, 511.5f);
    EXPECT_EQ(quad[3].y, 767.5f);
    EXPECT_EQ(CPostProcess::GetScaleU(), 0.5f);
    EXPECT_EQ(CPostProcess::GetScaleV(), 1.0f);
    CPostProcess::RunPass(PassEffect("< float fScaleY = 0.25f; >", "return g_vColor;"));
    EXPECT_EQ(quad[3].x, 511.5f);
    EXPECT_EQ(quad[3].y, 191.5f);
    EXPECT_EQ(quad[1].u0, 0.5f) << "the coordinates follow the size before the pass";
    EXPECT_EQ(quad[2].v0, 1.0f);
}

TEST_F(PassRunner, ShrinkingPassReadsTheWholeImageAndTheNextOnlyItsPart)
{
    CPostProcess::BeginChain();
    CPostProcess::RunPass(PassEffect("< float fScaleX = 0.5f; float fScaleY = 0.5f; >", COORDINATES));
    const Image first = Chain(1);
    EXPECT_TRUE(ImagesNear(first, CoordinateImage(512, 384, 1.0f, 1.0f), 1, 0, 0, 512, 384));
    EXPECT_EQ(first.At(512, 0), SENTINEL);
    EXPECT_EQ(first.At(0, 384), SENTINEL);

    CPostProcess::RunPass(PassEffect("", COORDINATES));
    const Image second = Chain(0);
    EXPECT_TRUE(ImagesNear(second, CoordinateImage(512, 384, 0.5f, 0.5f), 1, 0, 0, 512, 384));
    EXPECT_EQ(second.At(512, 0), SENTINEL);
}

TEST_F(PassRunner, PassInsideAnOpenSceneDrawsNothingButCounts)
{
    const Image scene = RandomImage(SCREEN_WIDTH, SCREEN_HEIGHT, 9);
    FillTarget(CPostProcess::GetSceneTarget(0), scene);
    ID3DXEffect* copy = PassEffect("", COPY_SOURCE);
    CPostProcess::BeginChain();
    ASSERT_EQ(Device()->BeginScene(), D3D_OK);
    CPostProcess::RunPass(copy);
    Device()->EndScene();
    EXPECT_EQ(CPostProcess::GetPassCount(), 1);
    EXPECT_TRUE(ImagesEqual(Chain(1), Uniform(SCREEN_WIDTH, SCREEN_HEIGHT, SENTINEL))) << "nothing drawn";

    // The first-pass flag was left set: the next pass still reads the scene colour, and
    // writes chain 0 as the second pass of the chain.
    CPostProcess::RunPass(copy);
    EXPECT_EQ(CPostProcess::GetPassCount(), 2);
    EXPECT_TRUE(ImagesEqual(Chain(0), scene));
}

TEST_F(PassRunner, PassWithoutAnEffectDrawsNothingButCounts)
{
    const Image scene = RandomImage(SCREEN_WIDTH, SCREEN_HEIGHT, 10);
    FillTarget(CPostProcess::GetSceneTarget(0), scene);
    CPostProcess::BeginChain();
    CPostProcess::RunPass(nullptr);
    EXPECT_EQ(CPostProcess::GetPassCount(), 1);
    EXPECT_EQ(CPostProcess::GetScaleU(), 1.0f);
    CPostProcess::RunPass(PassEffect("", COPY_SOURCE));
    EXPECT_TRUE(ImagesEqual(Chain(0), scene));
}

TEST_F(PassRunner, CompositeEnlargesTheImageAndLeavesTheTopRowAndLeftColumn)
{
    const Image image = RandomImage(SCREEN_WIDTH, SCREEN_HEIGHT, 12);
    CPostProcess::BeginChain();
    RunImagePass(image);
    IDirect3DSurface9* back = BackBuffer();
    const ULONG backReferences = References(back);
    BindBackBuffer();
    CGfxD3D::ClearColor(SENTINEL);
    CPostProcess::Composite();
    EXPECT_EQ(CurrentTarget(), back);
    EXPECT_EQ(References(back), backReferences);

    const Image out = ReadBackBuffer();
    ColorImage expected(SCREEN_WIDTH, SCREEN_HEIGHT);
    ColorImage unscaled(SCREEN_WIDTH, SCREEN_HEIGHT);
    for (int y = 0; y < SCREEN_HEIGHT; ++y) {
        for (int x = 0; x < SCREEN_WIDTH; ++x) {
            // The quad runs from 0.5 to 1032.5 and 776.5 with coordinates 0...1.
            expected.At(x, y) = x == 0 || y == 0
                                    ? ToColor(SENTINEL)
                                    : SampleBilinear(image, (x - 0.5f) / 1032.0f, (y - 0.5f) / 776.0f, Address::Wrap);
            unscaled.At(x, y) = SampleBilinear(image, (x + 0.5f) / 1024.0f, (y + 0.5f) / 768.0f, Address::Wrap);
        }
    }
    // Bilinear weights at 8 bits in each direction: within 2 on random pixels.
    EXPECT_TRUE(ImagesNear(out, expected, 2));
    EXPECT_FALSE(ImagesNear(out, unscaled, 8, 600, 600, 100, 100)) << "the image is enlarged";
}

TEST_F(PassRunner, CompositeInsideAnOpenSceneOnlyRestoresTheTarget)
{
    CPostProcess::BeginChain();
    RunColorPass(0xFF446688);
    BindBackBuffer();
    CGfxD3D::ClearColor(SENTINEL);
    BindTarget(CPostProcess::GetChainTarget(0));
    ASSERT_EQ(Device()->BeginScene(), D3D_OK);
    CPostProcess::Composite();
    Device()->EndScene();
    EXPECT_EQ(CurrentTarget(), BackBuffer());
    EXPECT_TRUE(ImagesEqual(ReadBackBuffer(), Uniform(SCREEN_WIDTH, SCREEN_HEIGHT, SENTINEL)));
}
