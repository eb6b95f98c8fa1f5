#include "texture/image/DdsImage.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace {

void PutU32(std::vector<unsigned char>& v, size_t at, uint32_t x)
{
    for (int i = 0; i < 4; ++i)
        v[at + i] = static_cast<unsigned char>(x >> (8 * i));
}

std::vector<unsigned char> Header(uint32_t width, uint32_t height, uint32_t pixelFlags, uint32_t fourCC)
{
    std::vector<unsigned char> f(128, 0);
    std::memcpy(f.data(), "DDS ", 4);
    PutU32(f, 4, 124);
    PutU32(f, 12, height);
    PutU32(f, 16, width);
    PutU32(f, 76, 32);
    PutU32(f, 80, pixelFlags);
    PutU32(f, 84, fourCC);
    return f;
}

std::vector<unsigned char> Dxt1(uint32_t width, uint32_t height, const std::vector<uint64_t>& blocks)
{
    std::vector<unsigned char> f = Header(width, height, 0x4, MAKEFOURCC('D', 'X', 'T', '1'));
    for (uint64_t b : blocks)
        for (int i = 0; i < 8; ++i)
            f.push_back(static_cast<unsigned char>(b >> (8 * i)));
    return f;
}

uint32_t Texel(const DecodedImage& image, UINT x, UINT y)
{
    const unsigned char* p = &image.bgra[(y * image.width + x) * 4];
    return static_cast<uint32_t>(p[3]) << 24 | static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[1]) << 8 |
           p[0];
}

}  // namespace

TEST(DdsImage, Dxt1FourColourBlockDecodesExactly)
{
    // Colour 0: 0xF800 (red), colour 1: 0x07E0 (green); row 0 indices 0, 1, 2, 3.
    const uint64_t block = 0xF800ull | 0x07E0ull << 16 | 0xE4ull << 32;
    DecodedImage image;
    ASSERT_TRUE(DecodeDds(Dxt1(4, 4, {block}).data(), 128 + 8, image));
    EXPECT_EQ(image.format, D3DFMT_DXT1);
    EXPECT_EQ(Texel(image, 0, 0), 0xFFFF0000u);
    EXPECT_EQ(Texel(image, 1, 0), 0xFF00FF00u);
    EXPECT_EQ(Texel(image, 2, 0), 0xFFAA5500u) << "2/3 colour 0 + 1/3 colour 1";
    EXPECT_EQ(Texel(image, 3, 0), 0xFF55AA00u);
    EXPECT_EQ(Texel(image, 3, 3), 0xFFFF0000u) << "index 0 elsewhere";
}

TEST(DdsImage, Dxt1ThreeColourBlockHasTransparentBlack)
{
    // Colour 0 <= colour 1 selects three colours and transparency: index 2 is the mean,
    // index 3 transparent black.
    const uint64_t block = 0x001Full | 0xFFFFull << 16 | 0xE4ull << 32;
    DecodedImage image;
    ASSERT_TRUE(DecodeDds(Dxt1(4, 4, {block}).data(), 128 + 8, image));
    EXPECT_EQ(Texel(image, 0, 0), 0xFF0000FFu);
    EXPECT_EQ(Texel(image, 1, 0), 0xFFFFFFFFu);
    EXPECT_EQ(Texel(image, 2, 0), 0xFF7F7FFFu);
    EXPECT_EQ(Texel(image, 3, 0), 0x00000000u);
}

TEST(DdsImage, UncompressedFormatsKeepTheirTexels)
{
    std::vector<unsigned char> f = Header(2, 1, 0x41, 0);
    PutU32(f, 88, 32);
    PutU32(f, 92, 0x00FF0000);
    PutU32(f, 96, 0x0000FF00);
    PutU32(f, 100, 0x000000FF);
    PutU32(f, 104, 0xFF000000);
    f.resize(136);
    PutU32(f, 128, 0x80112233);
    PutU32(f, 132, 0x00445566);
    DecodedImage image;
    ASSERT_TRUE(DecodeDds(f.data(), f.size(), image));
    EXPECT_EQ(image.format, D3DFMT_A8R8G8B8);
    EXPECT_EQ(Texel(image, 0, 0), 0x80112233u);
    EXPECT_EQ(Texel(image, 1, 0), 0x00445566u);

    PutU32(f, 80, 0x40);
    PutU32(f, 104, 0);
    ASSERT_TRUE(DecodeDds(f.data(), f.size(), image));
    EXPECT_EQ(image.format, D3DFMT_X8R8G8B8);
    EXPECT_EQ(Texel(image, 1, 0), 0xFF445566u) << "X8: alpha reads as opaque";
}

TEST(DdsImage, PowerOfTwoRule)
{
    EXPECT_EQ(NextPowerOfTwo(586), 1024u);
    EXPECT_EQ(NextPowerOfTwo(192), 256u);
    EXPECT_EQ(NextPowerOfTwo(768), 1024u);
    EXPECT_EQ(NextPowerOfTwo(1024), 1024u);
    EXPECT_EQ(NextPowerOfTwo(1), 1u);
    DecodedImage image;
    image.width = 3;
    image.height = 2;
    image.bgra.assign(3 * 2 * 4, 0x7F);
    ASSERT_TRUE(ScaleToPowersOfTwo(image));
    EXPECT_EQ(image.width, 4u);
    EXPECT_EQ(image.height, 2u);
    EXPECT_EQ(image.bgra.size(), 4u * 2u * 4u);
    for (unsigned char c : image.bgra)
        EXPECT_EQ(c, 0x7F) << "a flat image stays flat";
}

TEST(DdsImage, MalformedFilesAreRefused)
{
    DecodedImage image;
    const std::vector<unsigned char> good = Dxt1(8, 4, {0x1234, 0x5678});
    ASSERT_TRUE(DecodeDds(good.data(), good.size(), image));
    for (size_t n = 0; n < good.size(); ++n)
        EXPECT_FALSE(DecodeDds(good.data(), n, image)) << "truncated to " << n;
    EXPECT_FALSE(DecodeDds(nullptr, 200, image));
    std::vector<unsigned char> bad = good;
    PutU32(bad, 16, 0);
    EXPECT_FALSE(DecodeDds(bad.data(), bad.size(), image)) << "zero width";
    bad = good;
    PutU32(bad, 16, 0x7FFFFFFF);
    EXPECT_FALSE(DecodeDds(bad.data(), bad.size(), image)) << "huge width";
    bad = good;
    PutU32(bad, 84, MAKEFOURCC('D', 'X', 'T', '5'));
    EXPECT_FALSE(DecodeDds(bad.data(), bad.size(), image)) << "other formats";
    bad = good;
    PutU32(bad, 112, 0x200);
    EXPECT_FALSE(DecodeDds(bad.data(), bad.size(), image)) << "cube maps";

    std::mt19937 random(5);
    for (int round = 0; round < 2000; ++round) {
        std::vector<unsigned char> f = good;
        f[random() % 128] = static_cast<unsigned char>(random());
        DecodeDds(f.data(), f.size(), image);  // either way, no fault
    }
}
