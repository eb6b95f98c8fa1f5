#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// Exactly what the scroller compiles in.
const char SCROLL_TEXT[] =
#include "ScrollText.inc"
    ;

const int TEXT_LENGTH = 4238;
const int MARGIN = 204;

// The scroller's glyph set, in glyph order: space, A-Z, a-z, 0-9 and 32
// symbols (0xA3 is the pound sign of the Windows ANSI code page).
std::string GlyphSet()
{
    std::string set = " ";
    for (char c = 'A'; c <= 'Z'; ++c)
        set += c;
    for (char c = 'a'; c <= 'z'; ++c)
        set += c;
    for (char c = '0'; c <= '9'; ++c)
        set += c;
    set += "-=!\\\"\xA3$%^&*()_+|<>,./?:;@'~#{[}]";
    return set;
}

}  // namespace

TEST(ScrollText, GlyphSetHas95PrintableEntries)
{
    const std::string set = GlyphSet();
    EXPECT_EQ(set.size(), 95u);
    for (size_t i = 0; i < set.size(); ++i)
        EXPECT_EQ(set.find(set[i]), i) << "duplicate glyph " << set[i];
}

TEST(ScrollText, HasTheScrollersLengthAndTerminator)
{
    EXPECT_EQ(sizeof SCROLL_TEXT, size_t(TEXT_LENGTH) + 1);
    EXPECT_EQ(std::strlen(SCROLL_TEXT), size_t(TEXT_LENGTH));
    EXPECT_EQ(SCROLL_TEXT[TEXT_LENGTH], '\0');
}

TEST(ScrollText, StartsAndEndsWithExactly204Spaces)
{
    const std::string text(SCROLL_TEXT, TEXT_LENGTH);
    EXPECT_EQ(text.find_first_not_of(' '), size_t(MARGIN));
    EXPECT_EQ(text.find_last_not_of(' '), size_t(TEXT_LENGTH - MARGIN - 1));
}

TEST(ScrollText, EveryCharacterHasAGlyph)
{
    const std::string set = GlyphSet();
    for (int i = 0; i < TEXT_LENGTH; ++i) {
        const char c = SCROLL_TEXT[i];
        EXPECT_NE(set.find(c), std::string::npos) << "byte " << int(static_cast<unsigned char>(c)) << " at index " << i;
    }
}

TEST(ScrollText, ReadsAsTextWithoutHolesOrFiller)
{
    const std::string text(SCROLL_TEXT + MARGIN, TEXT_LENGTH - 2 * MARGIN);
    // No gap between words longer than a paragraph break.
    EXPECT_EQ(text.find(std::string(13, ' ')), std::string::npos);
    // No character repeated as padding.
    for (size_t i = 0; i + 8 < text.size(); ++i) {
        if (text[i] == ' ')
            continue;
        EXPECT_NE(text.substr(i, 8), std::string(8, text[i])) << "run at " << i;
    }
    int letters = 0;
    for (char c : text)
        letters += (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    EXPECT_GT(letters, int(text.size()) * 6 / 10);
    EXPECT_EQ(text.find("lorem"), std::string::npos);
    EXPECT_EQ(text.find("Lorem"), std::string::npos);
}
