// The post-process effect files run by CPostProcess::RunPass on known images, compared with
// the CPU's account of each shader. Targets hold 8 bits per channel, so each reference is
// rounded as the target stores it; a tolerance of 1 per filtered sample allows for the
// subtexel precision of the device's filtering (8 bits, as on graphics hardware).
#include "ChainTest.h"

namespace {

class PostShader : public ChainTest {
protected:
    static void SetScene(int index, const Image& image) { FillTarget(CPostProcess::GetSceneTarget(index), image); }
};

// A grey image: 0 left of column edge, level from it on.
Image VerticalStep(int edge, int level)
{
    Image image(SCREEN_WIDTH, SCREEN_HEIGHT, 0xFF000000);
    const uint32_t grey = 0xFF000000u | (level << 16) | (level << 8) | level;
    for (int y = 0; y < SCREEN_HEIGHT; ++y)
        for (int x = edge; x < SCREEN_WIDTH; ++x)
            image.At(x, y) = grey;
    return image;
}

int Blue(uint32_t c)
{
    return static_cast<int>(c & 0xFF);
}

}  // namespace

TEST_F(PostShader, DownFilterIsTheExactBoxAverage)
{
    const Image scene = RandomImage(SCREEN_WIDTH, SCREEN_HEIGHT, 11);
    SetScene(0, scene);
    ASSERT_TRUE(ImagesEqual(ReadTexture(CPostProcess::GetSceneTarget(0)), scene)) << "the scene colour holds the image";
    CPostProcess::BeginChain();
    CPostProcess::RunPass(IntroEffect(ID_DOWN_FILTER_FX));
    const Image out = Chain(1);
    EXPECT_TRUE(ImagesNear(out, DownFilter4(scene, 256, 192), 1, 0, 0, 256, 192));
    // Each pixel is the mean of its own 4 x 4 block, not of a block beside it.
    const ColorImage shifted = DownFilter4(RandomImage(SCREEN_WIDTH, SCREEN_HEIGHT, 12), 256, 192);
    EXPECT_FALSE(ImagesNear(out, shifted, 8, 0, 0, 256, 192));
    EXPECT_EQ(out.At(256, 0), SENTINEL) << "only the quarter-size working image is written";
    EXPECT_EQ(out.At(0, 192), SENTINEL);
}

TEST_F(PostShader, UniformColourComesThroughTheChainAsGiven)
{
    // 0.998975 of any 8-bit level rounds back to the level itself: the darkening of a
    // blur pass is less than half a step of the targets.
    const uint32_t colour = 0xFFC08040;
    SetScene(0, Uniform(SCREEN_WIDTH, SCREEN_HEIGHT, colour));
    CPostProcess::BeginChain();
    CPostProcess::RunPass(IntroEffect(ID_BLUR_H_FX));
    const Image blurred = Chain(1);
    ColorImage expected(SCREEN_WIDTH, SCREEN_HEIGHT);
    for (Color4& c : expected.pixels)
        c = ToColor(colour) * 0.998975f;
    EXPECT_TRUE(ImagesNear(blurred, expected, 0));

    CPostProcess::RunPass(IntroEffect(ID_DOWN_FILTER_FX));
    CPostProcess::RunPass(IntroEffect(ID_UP_FILTER_FX));
    // The last two columns and rows also blend in texels beyond the quarter-size image.
    EXPECT_TRUE(ImagesNear(Chain(1), ToColorImage(Uniform(SCREEN_WIDTH, SCREEN_HEIGHT, colour)), 0, 0, 0,
                           SCREEN_WIDTH - 2, SCREEN_HEIGHT - 2))
        << "the down-filter and the up-filter keep a uniform colour";
}

TEST_F(PostShader, ImpulseSpreadsWithTheGaussianWeights)
{
    Image scene(SCREEN_WIDTH, SCREEN_HEIGHT, 0xFF000000);
    scene.At(500, 300) = 0xFFFFFFFF;
    SetScene(0, scene);
    CPostProcess::BeginChain();
    CPostProcess::RunPass(IntroEffect(ID_BLUR_H_FX));
    const Image horizontal = Chain(1);
    // 255 times each weight: 50.9, 44.9, 30.9, 16.5, 6.9, 2.2, 0.6.
    const int spread[7] = {51, 45, 31, 17, 7, 2, 1};
    for (int i = -7; i <= 7; ++i) {
        const int expected = std::abs(i) <= 6 ? spread[std::abs(i)] : 0;
        EXPECT_NEAR(Blue(horizontal.At(500 + i, 300)), expected, 1) << "tap " << i;
        EXPECT_EQ(Blue(horizontal.At(500 + i, 299)), 0) << "a horizontal blur stays in its row";
    }
    EXPECT_TRUE(ImagesNear(horizontal, Blur(scene, SCREEN_WIDTH, SCREEN_HEIGHT, true), 1));

    CPostProcess::RunPass(IntroEffect(ID_BLUR_V_FX));
    const Image vertical = Chain(0);
    const ColorImage expected = Blur(Quantise(Blur(scene, SCREEN_WIDTH, SCREEN_HEIGHT, true)), SCREEN_WIDTH,
                                     SCREEN_HEIGHT, false);
    EXPECT_TRUE(ImagesNear(vertical, expected, 1, 480, 280, 40, 40));
    for (int i = -6; i <= 6; ++i)
        EXPECT_NEAR(Blue(vertical.At(500, 300 + i)), 51 * BLUR_WEIGHTS[std::abs(i)], 1.0) << "tap " << i;
}

TEST_F(PostShader, BlurWeightsAreNotRenormalised)
{
    // Right of a step from 0 to 249, the pixel 3 columns in sums the weights of taps -3...6:
    // 249 x 0.961157 = 239.29. Weights divided by their sum 0.998975 would give 239.53.
    SetScene(0, VerticalStep(512, 249));
    CPostProcess::BeginChain();
    CPostProcess::RunPass(IntroEffect(ID_BLUR_H_FX));
    const Image out = Chain(1);
    EXPECT_EQ(Blue(out.At(515, 100)), 239);
    EXPECT_EQ(Blue(out.At(500, 100)), 0);
    EXPECT_EQ(Blue(out.At(530, 100)), 249);
}

TEST_F(PostShader, BlurOfARandomImageMatchesTheConvolution)
{
    const Image scene = RandomImage(SCREEN_WIDTH, SCREEN_HEIGHT, 21);
    SetScene(0, scene);
    CPostProcess::BeginChain();
    CPostProcess::RunPass(IntroEffect(ID_BLUR_H_FX));
    const Image horizontal = Chain(1);
    EXPECT_TRUE(ImagesNear(horizontal, Blur(scene, SCREEN_WIDTH, SCREEN_HEIGHT, true), 1));
    CPostProcess::RunPass(IntroEffect(ID_BLUR_V_FX));
    EXPECT_TRUE(ImagesNear(Chain(0), Blur(horizontal, SCREEN_WIDTH, SCREEN_HEIGHT, false), 1));
}

TEST_F(PostShader, BlurOnTheQuarterImageReadsPastItsEdges)
{
    // As in the frame: after the down-filter the blur works on 256 x 192 pixels, and its
    // taps near the right and bottom edges read what the target holds beyond them.
    const Image scene = RandomImage(SCREEN_WIDTH, SCREEN_HEIGHT, 22);
    SetScene(0, scene);
    CPostProcess::BeginChain();
    CPostProcess::RunPass(IntroEffect(ID_DOWN_FILTER_FX));
    const Image reduced = Chain(1);
    CPostProcess::RunPass(IntroEffect(ID_BLUR_H_FX));
    const Image horizontal = Chain(0);
    EXPECT_TRUE(ImagesNear(horizontal, Blur(reduced, 256, 192, true), 1, 0, 0, 256, 192));
    EXPECT_EQ(horizontal.At(256, 0), SENTINEL);
    CPostProcess::RunPass(IntroEffect(ID_BLUR_V_FX));
    EXPECT_TRUE(ImagesNear(Chain(1), Blur(horizontal, 256, 192, false), 1, 0, 0, 256, 192));
}

TEST_F(PostShader, UpFilterIsBilinear)
{
    const Image quarter = RandomImage(256, 192, 31);
    CPostProcess::BeginChain();
    RunImagePass(quarter, true);
    const Image small = Chain(1);
    ASSERT_TRUE(ImagesEqual(small, quarter, 0, 0, 256, 192));
    CPostProcess::RunPass(IntroEffect(ID_UP_FILTER_FX));
    // The right column and bottom row blend in the texels beyond the working image.
    EXPECT_TRUE(ImagesNear(Chain(0), UpFilter4(small, SCREEN_WIDTH, SCREEN_HEIGHT), 1));
    EXPECT_FLOAT_EQ(CPostProcess::GetScaleU(), 1.0f);
    EXPECT_FLOAT_EQ(CPostProcess::GetScaleV(), 1.0f);
}

TEST_F(PostShader, DepthOfFieldBlendsSharpAndBlurredByDepth)
{
    const Image sharp = RandomImage(SCREEN_WIDTH, SCREEN_HEIGHT, 41);
    const Image blurred = RandomImage(SCREEN_WIDTH, SCREEN_HEIGHT, 42);
    // Depth fraction in blue: every level in turn along each row; red and green at random.
    Image position = RandomImage(SCREEN_WIDTH, SCREEN_HEIGHT, 43);
    for (int y = 0; y < SCREEN_HEIGHT; ++y)
        for (int x = 0; x < SCREEN_WIDTH; ++x)
            position.At(x, y) = (position.At(x, y) & 0xFFFFFF00u) | static_cast<uint32_t>((x + y) & 0xFF);
    SetScene(0, sharp);
    SetScene(2, position);
    CPostProcess::BeginChain();
    RunImagePass(blurred);
    CPostProcess::RunPass(IntroEffect(ID_DOF_FX));
    const Image out = Chain(0);
    EXPECT_TRUE(ImagesNear(out, DofCombine(blurred, sharp, position, SCREEN_WIDTH, SCREEN_HEIGHT), 1));

    int sharpPixels = 0, blurredPixels = 0;
    for (int y = 0; y < SCREEN_HEIGHT; y += 3) {
        for (int x = 0; x < SCREEN_WIDTH; x += 3) {
            const int depth = Blue(position.At(x, y));
            const uint32_t rgb = out.At(x, y) & 0xFFFFFF;
            EXPECT_EQ(out.At(x, y) >> 24, 255u) << "alpha is 1";
            if (depth * 2 <= 255) {  // depth fraction 0.5 or less
                ++sharpPixels;
                EXPECT_TRUE(ColorNear(rgb, sharp.At(x, y) & 0xFFFFFF, 1)) << x << ", " << y;
            } else if (depth * 4 >= 3 * 255) {  // 0.75 or more
                ++blurredPixels;
                EXPECT_TRUE(ColorNear(rgb, blurred.At(x, y) & 0xFFFFFF, 1)) << x << ", " << y;
            }
            if (HasFailure())
                return;
        }
    }
    EXPECT_GT(sharpPixels, 1000);
    EXPECT_GT(blurredPixels, 1000);
}

TEST_F(PostShader, BrightPassKeepsOnlyTheBrightest)
{
    // Every level on each channel, in different orders.
    Image scene(SCREEN_WIDTH, SCREEN_HEIGHT);
    for (int y = 0; y < SCREEN_HEIGHT; ++y)
        for (int x = 0; x < SCREEN_WIDTH; ++x)
            scene.At(x, y) = 0xFF000000u | ((x & 0xFF) << 16) | (((x + 3 * y) & 0xFF) << 8) | ((255 - x + y) & 0xFF);
    SetScene(0, scene);
    CPostProcess::BeginChain();
    CPostProcess::RunPass(IntroEffect(ID_BRIGHT_PASS_FX));
    const Image out = Chain(1);
    ColorImage expected(SCREEN_WIDTH, SCREEN_HEIGHT);
    for (int y = 0; y < SCREEN_HEIGHT; ++y)
        for (int x = 0; x < SCREEN_WIDTH; ++x)
            expected.At(x, y) = BrightPass(ToColor(scene.At(x, y)));
    EXPECT_TRUE(ImagesNear(out, expected, 1));
    // Levels up to 129 stay at or below 5 after the second step: black.
    EXPECT_EQ(out.At(129, 0) & 0xFF0000, 0u);
    EXPECT_NE(out.At(255, 0) & 0xFF0000, 0u);
    EXPECT_NEAR((out.At(255, 0) >> 16) & 0xFF, 137, 1) << "white: 11.56 / 21.56 of full";
}

TEST_F(PostShader, CombineAddsTheSourceToTheScene)
{
    const Image scene = RandomImage(SCREEN_WIDTH, SCREEN_HEIGHT, 51);
    const Image source = RandomImage(SCREEN_WIDTH, SCREEN_HEIGHT, 52, false);
    SetScene(0, scene);
    CPostProcess::BeginChain();
    RunImagePass(source);
    CPostProcess::RunPass(IntroEffect(ID_COMBINE_FX));
    // Two filtered samples, each within 1.
    EXPECT_TRUE(ImagesNear(Chain(0), Combine(source, scene, SCREEN_WIDTH, SCREEN_HEIGHT), 2));
}

TEST_F(PostShader, CombineFourEnlargesTheQuarterImageOntoTheScene)
{
    const Image scene = RandomImage(SCREEN_WIDTH, SCREEN_HEIGHT, 61);
    SetScene(0, scene);
    CPostProcess::BeginChain();
    RunImagePass(RandomImage(256, 192, 62), true);
    const Image quarter = Chain(1);
    CPostProcess::RunPass(IntroEffect(ID_COMBINE4_FX));
    EXPECT_TRUE(ImagesNear(Chain(0), Combine(quarter, scene, SCREEN_WIDTH, SCREEN_HEIGHT, 0.25f), 2));
    EXPECT_FLOAT_EQ(CPostProcess::GetScaleU(), 1.0f);
}

TEST_F(PostShader, BloomIsTheBlurScaledByOneAndAHalf)
{
    const Image scene = RandomImage(SCREEN_WIDTH, SCREEN_HEIGHT, 71);
    SetScene(0, scene);
    CPostProcess::BeginChain();
    CPostProcess::RunPass(IntroEffect(ID_BLOOM_H_FX));
    const Image horizontal = Chain(1);
    // The filtering's last bit, enlarged by 1.5.
    EXPECT_TRUE(ImagesNear(horizontal, Blur(scene, SCREEN_WIDTH, SCREEN_HEIGHT, true, 1.5f), 2));
    CPostProcess::RunPass(IntroEffect(ID_BLOOM_V_FX));
    EXPECT_TRUE(ImagesNear(Chain(0), Blur(horizontal, SCREEN_WIDTH, SCREEN_HEIGHT, false, 1.5f), 2));
    // Without the factor the image would be darker by a third.
    EXPECT_FALSE(ImagesNear(horizontal, Blur(scene, SCREEN_WIDTH, SCREEN_HEIGHT, true), 8));
}
