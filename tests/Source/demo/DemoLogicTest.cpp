#include "CubeScene.h"
#include "DemoTimeline.h"
#include "TextScroller.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

TEST(Timeline, TitleCardFadesInAndOut)
{
    EXPECT_EQ(TitleCardColor(0.0f), 0x00FFFFFFu) << "a first frame of zero length is plain white";
    EXPECT_EQ(TitleCardColor(0.5f), 0x7FFFFFFFu);
    for (float t = 1.0f; t <= 9.0f; t += 0.25f)
        EXPECT_EQ(TitleCardColor(t), 0xFFFFFFFFu) << t;
    EXPECT_EQ(TitleCardColor(9.5f), 0x7FFFFFFFu);
    EXPECT_EQ(TitleCardColor(9.9999f) >> 24, 0u);
    EXPECT_LT(9.9999f, TITLE_CARD_SECONDS) << "9.9999 s is still the title card";
    EXPECT_FALSE(10.0f < TITLE_CARD_SECONDS) << "exactly 10 s is the main part";
}

TEST(Timeline, FadeFromWhiteIsCountedInFrames)
{
    int level = 0;
    level = NextFadeLevel(level);
    EXPECT_EQ(level, 2) << "first main-part frame";
    for (int frame = 2; frame <= 127; ++frame)
        level = NextFadeLevel(level);
    EXPECT_EQ(level, 254) << "after 127 frames";
    level = NextFadeLevel(level);
    EXPECT_EQ(level, 255) << "the 128th frame";
    for (int frame = 0; frame < 10; ++frame)
        level = NextFadeLevel(level);
    EXPECT_EQ(level, 255);
}

TEST(Cubes, GrowOneAfterAnotherUpToFullSize)
{
    const float dt = 0.016f;
    const float ramp = 0.2f * dt;  // the first main-part frame
    EXPECT_FLOAT_EQ(CubeInstanceScale(0, ramp), 0.4f * 0.2f * dt);
    for (int i = 1; i < CUBE_INSTANCE_COUNT; ++i)
        EXPECT_EQ(CubeInstanceScale(i, ramp), 0.0f) << i;

    const float elevenSeconds = 0.2f * 11.0f;
    EXPECT_FLOAT_EQ(CubeInstanceScale(6, elevenSeconds), 0.4f);
    EXPECT_LT(CubeInstanceScale(6, 0.2f * 10.5f), 0.4f);
    for (float t = 0.0f; t < 60.0f; t += 0.37f)
        for (int i = 0; i < CUBE_INSTANCE_COUNT; ++i)
            EXPECT_LE(CubeInstanceScale(i, 0.2f * t), 0.4f);
}

TEST(Cubes, TransformTumblesScalesAndSwings)
{
    const CubePhases phases = {0.7f, 2.3f, 5.0f};
    for (int i = 0; i < CUBE_INSTANCE_COUNT; ++i) {
        const CMatrix m = CubeInstanceTransform(i, phases);
        const float w = 0.3f * i + phases.path;
        EXPECT_NEAR(m.m[3][0], 25.0f * std::sin(1.5f * w), 1e-4f);
        EXPECT_NEAR(m.m[3][1], 10.0f * std::cos(2.0f * w) + 10.0f, 1e-4f);
        EXPECT_NEAR(m.m[3][2], 150.0f * std::fabs(std::sin(0.5f * (0.5f * i + phases.path))), 1e-4f);
        EXPECT_EQ(m.m[3][3], 1.0f);

        // A point goes through the x rotation, then the y rotation, then the scale.
        const CVector3 p(1.0f, 2.0f, 3.0f);
        const CVector3 expected = RotateY(RotateX(p, i + phases.spin), 2.5f * phases.spin + i) *
                                  CubeInstanceScale(i, phases.ramp);
        const CVector3 got = m.TransformPoint(p) - CVector3(m.m[3][0], m.m[3][1], m.m[3][2]);
        EXPECT_NEAR(got.x, expected.x, 1e-4f);
        EXPECT_NEAR(got.y, expected.y, 1e-4f);
        EXPECT_NEAR(got.z, expected.z, 1e-4f);
    }
    // Depth stays between the camera-facing limits 0 and 150.
    for (float b = 0.0f; b < 20.0f; b += 0.1f) {
        const CMatrix m = CubeInstanceTransform(3, {0.0f, b, 0.0f});
        EXPECT_GE(m.m[3][2], 0.0f);
        EXPECT_LE(m.m[3][2], 150.0f);
    }
}

namespace {

// A scroller without a device: given advances and text, layout and scrolling only.
class LayoutScroller : public TextScroller {
public:
    LayoutScroller(const float* advances, const std::string& text)
        : TextScroller(advances, Keep(text), static_cast<int>(text.size()))
    {
    }

private:
    static const char* Keep(const std::string& text)
    {
        static std::vector<std::string> s_texts;
        s_texts.push_back(text);
        return s_texts.back().c_str();
    }
};

std::vector<float> UniformAdvances(float advance)
{
    return std::vector<float>(GLYPH_COUNT, advance);
}

}  // namespace

TEST(Scroller, CharacterMapFollowsTheGlyphOrder)
{
    const std::vector<float> advances = UniformAdvances(1.0f);
    LayoutScroller scroller(advances.data(), "A");
    EXPECT_EQ(scroller.GetGlyph(' '), 0);
    EXPECT_EQ(scroller.GetGlyph('A'), 1);
    EXPECT_EQ(scroller.GetGlyph('a'), 27);
    EXPECT_EQ(scroller.GetGlyph('0'), 53);
    EXPECT_EQ(scroller.GetGlyph(0xA3), 68) << "the pound sign of the Windows ANSI code page";
    EXPECT_EQ(scroller.GetGlyph(']'), 94);
    EXPECT_EQ(scroller.GetGlyph(0), TERMINATOR_GLYPH);
    for (int c = 0; c < 256; ++c)
        EXPECT_LT(scroller.GetGlyph(static_cast<unsigned char>(c)), GLYPH_COUNT) << c;
    EXPECT_EQ(scroller.GetGlyph('`'), 0) << "a character outside the set shows as a space";
}

TEST(Scroller, MovesByFrameTimeOneCharacterAtMost)
{
    std::vector<float> advances = UniformAdvances(0.5f);
    LayoutScroller scroller(advances.data(), "ABCDEFGH");

    scroller.Advance(0.0f);
    EXPECT_EQ(scroller.GetTextPosition(), 0);
    EXPECT_EQ(scroller.GetScrollOffset(), 0.0f) << "no movement at frame time 0";

    scroller.Advance(0.1f);  // 0.2 glyph units, less than one advance
    EXPECT_EQ(scroller.GetTextPosition(), 0);
    EXPECT_FLOAT_EQ(scroller.GetScrollOffset(), 0.2f);

    scroller.Advance(2.0f);  // 4 glyph units in one long frame
    EXPECT_EQ(scroller.GetTextPosition(), 1) << "one character per frame at most";
    EXPECT_FLOAT_EQ(scroller.GetScrollOffset(), 3.7f);
    for (int frame = 0; frame < 7; ++frame)
        scroller.Advance(0.0f);
    EXPECT_EQ(scroller.GetTextPosition(), 8) << "the leftover is worked off one per frame";
    EXPECT_NEAR(scroller.GetScrollOffset(), 0.2f, 1e-5f);
}

TEST(Scroller, VisitsTheTerminatorThenWraps)
{
    std::vector<float> advances = UniformAdvances(1.0f);
    LayoutScroller scroller(advances.data(), "XYZ");
    std::vector<int> positions;
    for (int frame = 0; frame < 5; ++frame) {
        scroller.Advance(0.5f);  // exactly one advance per frame
        positions.push_back(scroller.GetTextPosition());
    }
    EXPECT_EQ(positions, (std::vector<int>{1, 2, 3, 0, 1}));
}

TEST(Scroller, LineStopsAtTheGlyphThatReaches256)
{
    std::vector<float> advances = UniformAdvances(0.5f);  // 10 world units each
    advances[1] = 3.0f;                                   // 'A': 60 world units
    const std::string text(300, 'B');
    LayoutScroller scroller(advances.data(), "A" + text);
    std::vector<float> xs;
    const int placed = scroller.LayOutLine([&](int, float x) { xs.push_back(x); });
    // 60, then 10 each: 60 + 20 x 10 = 260 is the first sum at or above 256.
    EXPECT_EQ(placed, 21);
    EXPECT_FLOAT_EQ(xs.back(), 250.0f);

    std::vector<float> wide = UniformAdvances(20.0f);  // one glyph is already wider than the line
    LayoutScroller single(wide.data(), "AB");
    EXPECT_EQ(single.LayOutLine([](int, float) {}), 1) << "at least one glyph per pass";
}
