#include "XFileSamples.h"
#include "XFileTokenizer.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

// The reference: the standard library's exact conversion, where it has one.
bool FromChars(const std::string& word, float* value)
{
    const char* first = word.data();
    const char* last = first + word.size();
    if (first != last && *first == '+')
        ++first;
    const auto result = std::from_chars(first, last, *value, std::chars_format::general);
    return result.ec == std::errc() && result.ptr == last && std::isfinite(*value);
}

void ExpectSameAsFromChars(const std::string& word)
{
    float expected = 0.0f, parsed = 0.0f;
    const bool accepted = ParseXFloat(word, &parsed);
    ASSERT_EQ(accepted, FromChars(word, &expected)) << word;
    if (accepted)
        ASSERT_EQ(std::memcmp(&parsed, &expected, sizeof parsed), 0)
            << word << ": " << parsed << " against " << expected;
}

// Every number word of a .x text.
std::vector<std::string> NumberWords(const std::string& text)
{
    std::vector<std::string> words;
    XFileTokenizer tokens(text.data(), text.data() + text.size());
    for (XToken t = tokens.Next(); t.kind != XTokenKind::End && t.kind != XTokenKind::Error; t = tokens.Next())
        if (t.kind == XTokenKind::Word && !t.text.empty() &&
            (t.text[0] == '-' || t.text[0] == '.' || (t.text[0] >= '0' && t.text[0] <= '9')))
            words.emplace_back(t.text);
    return words;
}

}  // namespace

TEST(XFileTokenizer, FloatsOfTheShippedMeshAndSamplesMatchTheExactConversion)
{
    std::string text;
    if (std::FILE* file = std::fopen(SKV_DATA_DIR "/cube.x", "rb")) {
        char chunk[65536];
        for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;)
            text.append(chunk, n);
        std::fclose(file);
    }
    ASSERT_FALSE(text.empty()) << "no Data/cube.x";
    for (const char* sample : {CUBE_TWO_MATERIALS, NESTED_FRAMES})
        text += sample;
    const std::vector<std::string> words = NumberWords(text);
    ASSERT_GT(words.size(), 100000u);
    for (const std::string& word : words)
        ExpectSameAsFromChars(word);
}

TEST(XFileTokenizer, RandomDecimalsMatchTheExactConversion)
{
    std::mt19937 random(20261208u);
    char buffer[64];
    for (int i = 0; i < 200000; ++i) {
        // Printed floats with 1 to 12 significant digits (round trips and near misses alike),
        // and random digit strings across the whole exponent range.
        float f;
        const uint32_t bits = random() & 0x7f7fffffu;  // finite
        std::memcpy(&f, &bits, sizeof f);
        const int digits = 1 + static_cast<int>(random() % 12);
        switch (random() % 3) {
        case 0: std::snprintf(buffer, sizeof buffer, "%.*g", digits, f); break;
        case 1: std::snprintf(buffer, sizeof buffer, "%.*f", digits, f * 1e-30f); break;
        default:
            std::snprintf(buffer, sizeof buffer, "-%u.%07ue%d", static_cast<unsigned>(random() % 100000),
                          static_cast<unsigned>(random() % 10000000), static_cast<int>(random() % 90) - 45);
            break;
        }
        ExpectSameAsFromChars(buffer);
    }
}

TEST(XFileTokenizer, FloatWordsOutsideTheNumberFormAreRefused)
{
    for (const char* word : {"", "-", "+", ".", "e5", "1e", "1e+", "--1", "1.2.3", "0x10", "inf", "nan", "1e39",
                             "-1e39", "1e-60", "1,5", " 1"}) {
        float value = 7.0f;
        EXPECT_FALSE(ParseXFloat(word, &value)) << word;
        EXPECT_EQ(value, 7.0f) << word;
    }
    for (const char* word : {"1", "+1", "-0", "1.", ".5", "-.5e-3", "1E5", "3.4028234e38", "1e-40"})
        ExpectSameAsFromChars(word);
}
