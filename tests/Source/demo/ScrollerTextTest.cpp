#include "ScrollText.h"
#include "TextScroller.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

// The scroller over the intro's own scroll text: its ends, its terminator and the
// wrap back to the start, with advances given (no device).
namespace {

class TextOnlyScroller : public TextScroller {
public:
    explicit TextOnlyScroller(const float* advances) : TextScroller(advances, SCROLL_TEXT, SCROLL_TEXT_LENGTH) {}
};

const float ONE_UNIT_PER_FRAME = 0.5f;  // at 2 glyph units a second

std::vector<float> Advances(float advance)
{
    return std::vector<float>(GLYPH_COUNT, advance);
}

}  // namespace

TEST(ScrollText, IsOneLineOfTheGlyphSetWithSpacesAtBothEnds)
{
    ASSERT_EQ(std::strlen(SCROLL_TEXT), static_cast<size_t>(SCROLL_TEXT_LENGTH));
    EXPECT_EQ(SCROLL_TEXT_LENGTH, 4238);
    for (int i = 0; i < 204; ++i) {
        EXPECT_EQ(SCROLL_TEXT[i], ' ') << i;
        EXPECT_EQ(SCROLL_TEXT[SCROLL_TEXT_LENGTH - 1 - i], ' ') << SCROLL_TEXT_LENGTH - 1 - i;
    }
    EXPECT_NE(SCROLL_TEXT[204], ' ') << "the words start after 204 spaces";
    EXPECT_NE(SCROLL_TEXT[SCROLL_TEXT_LENGTH - 205], ' ') << "and end 204 spaces before the end";
    for (int i = 0; i < SCROLL_TEXT_LENGTH; ++i) {
        const unsigned char c = static_cast<unsigned char>(SCROLL_TEXT[i]);
        EXPECT_NE(std::memchr(GLYPH_CHARACTERS, c, sizeof GLYPH_CHARACTERS), nullptr)
            << "character " << static_cast<int>(c) << " at " << i << " has no glyph";
    }
}

TEST(ScrollText, ThePositionVisitsTheTerminatorThenWraps)
{
    const std::vector<float> advances = Advances(1.0f);
    TextOnlyScroller scroller(advances.data());
    for (int frame = 1; frame <= SCROLL_TEXT_LENGTH; ++frame) {
        scroller.Advance(ONE_UNIT_PER_FRAME);
        ASSERT_EQ(scroller.GetTextPosition(), frame);
    }
    EXPECT_EQ(scroller.GetTextPosition(), 4238) << "the terminator";
    scroller.Advance(ONE_UNIT_PER_FRAME);
    EXPECT_EQ(scroller.GetTextPosition(), 0) << "then the start again";
    scroller.Advance(ONE_UNIT_PER_FRAME);
    EXPECT_EQ(scroller.GetTextPosition(), 1);
}

TEST(ScrollText, TheLineRunsOnThroughTheTerminatorToTheStart)
{
    std::vector<float> advances = Advances(1.0f);  // 20 world units a glyph
    advances[TERMINATOR_GLYPH] = 0.25f;            // its own advance: 5 units
    TextOnlyScroller scroller(advances.data());
    for (int frame = 0; frame < SCROLL_TEXT_LENGTH - 2; ++frame)
        scroller.Advance(ONE_UNIT_PER_FRAME);
    ASSERT_EQ(scroller.GetTextPosition(), 4236);

    std::vector<int> glyphs;
    std::vector<float> xs;
    scroller.LayOutLine([&](int glyph, float x) {
        glyphs.push_back(glyph);
        xs.push_back(x);
    });
    // 4236 and 4237 (spaces), the terminator, then the text from its start: 40 + 5
    // units, then 20 each until the sum reaches 256: 45 + 11 x 20 = 265.
    ASSERT_EQ(glyphs.size(), 14u);
    EXPECT_EQ(glyphs[0], 0);
    EXPECT_EQ(glyphs[1], 0);
    EXPECT_EQ(glyphs[2], TERMINATOR_GLYPH);
    EXPECT_EQ(glyphs[3], 0) << "the first of the leading spaces";
    EXPECT_FLOAT_EQ(xs[2], 40.0f);
    EXPECT_FLOAT_EQ(xs[3], 45.0f);
    EXPECT_FLOAT_EQ(xs.back(), 245.0f);
}
