#include "DataFiles.h"

#include <gtest/gtest.h>

namespace {

const uint32_t DDSD_CAPS = 0x1, DDSD_HEIGHT = 0x2, DDSD_WIDTH = 0x4, DDSD_PIXELFORMAT = 0x1000;
const uint32_t DDSD_MIPMAPCOUNT = 0x20000;
const uint32_t DDPF_ALPHAPIXELS = 0x1, DDPF_FOURCC = 0x4, DDPF_RGB = 0x40;
const uint32_t DDSCAPS_COMPLEX = 0x8, DDSCAPS_TEXTURE = 0x1000, DDSCAPS_MIPMAP = 0x400000;
const size_t DATA_OFFSET = 128;

struct DdsHeader {
    uint32_t size, flags, height, width, pitchOrLinearSize, mipMapCount;
    uint32_t formatSize, formatFlags, fourCc, bitCount, redMask, greenMask, blueMask, alphaMask;
    uint32_t caps, caps2;
};

DdsHeader ParseHeader(const std::vector<uint8_t>& file)
{
    DdsHeader h;
    h.size = ReadU32(file, 4);
    h.flags = ReadU32(file, 8);
    h.height = ReadU32(file, 12);
    h.width = ReadU32(file, 16);
    h.pitchOrLinearSize = ReadU32(file, 20);
    h.mipMapCount = ReadU32(file, 28);
    h.formatSize = ReadU32(file, 76);
    h.formatFlags = ReadU32(file, 80);
    h.fourCc = ReadU32(file, 84);
    h.bitCount = ReadU32(file, 88);
    h.redMask = ReadU32(file, 92);
    h.greenMask = ReadU32(file, 96);
    h.blueMask = ReadU32(file, 100);
    h.alphaMask = ReadU32(file, 104);
    h.caps = ReadU32(file, 108);
    h.caps2 = ReadU32(file, 112);
    return h;
}

void ExpectPlainTextureWithoutMips(const std::vector<uint8_t>& file, const DdsHeader& h)
{
    ASSERT_GE(file.size(), DATA_OFFSET);
    EXPECT_EQ(file[0], 'D');
    EXPECT_EQ(file[1], 'D');
    EXPECT_EQ(file[2], 'S');
    EXPECT_EQ(file[3], ' ');
    EXPECT_EQ(h.size, 124u);
    EXPECT_EQ(h.formatSize, 32u);
    const uint32_t required = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PIXELFORMAT;
    EXPECT_EQ(h.flags & required, required);
    // Only the top level: no mip count, no mip or complex surface caps.
    EXPECT_EQ(h.flags & DDSD_MIPMAPCOUNT, 0u);
    EXPECT_LE(h.mipMapCount, 1u);
    EXPECT_EQ(h.caps & (DDSCAPS_MIPMAP | DDSCAPS_COMPLEX), 0u);
    EXPECT_NE(h.caps & DDSCAPS_TEXTURE, 0u);
    EXPECT_EQ(h.caps2, 0u);  // not a cube map or volume
}

// A 1024 x 768 DXT1 picture: exact size, and no block in the three-colour
// mode uses index 3, which decodes as transparent black and would punch a
// hole through the quad.
void ExpectOpaqueDxt1Screen(const char* name)
{
    SCOPED_TRACE(name);
    const std::vector<uint8_t> file = ReadDataFile(name);
    ASSERT_FALSE(file.empty()) << "cannot read " << DataPath(name);
    const DdsHeader h = ParseHeader(file);
    ExpectPlainTextureWithoutMips(file, h);
    EXPECT_EQ(h.width, 1024u);
    EXPECT_EQ(h.height, 768u);
    EXPECT_NE(h.formatFlags & DDPF_FOURCC, 0u);
    EXPECT_EQ(h.fourCc, 0x31545844u);  // "DXT1"
    const size_t blocks = (1024 / 4) * (768 / 4);
    EXPECT_EQ(h.pitchOrLinearSize, blocks * 8);
    ASSERT_EQ(file.size(), DATA_OFFSET + blocks * 8);

    size_t transparentTexels = 0;
    size_t distinctEndpoints = 0;
    for (size_t b = 0; b < blocks; ++b) {
        const size_t at = DATA_OFFSET + b * 8;
        const uint16_t c0 = ReadU16(file, at);
        const uint16_t c1 = ReadU16(file, at + 2);
        const uint32_t indices = ReadU32(file, at + 4);
        if (c0 != c1)
            ++distinctEndpoints;
        if (c0 > c1)
            continue;
        for (int t = 0; t < 16; ++t)
            transparentTexels += ((indices >> (2 * t)) & 3) == 3;
    }
    EXPECT_EQ(transparentTexels, 0u);
    // A picture, not a flat fill.
    EXPECT_GT(distinctEndpoints, blocks / 2);
}

}  // namespace

TEST(DdsImages, BackgroundIsAnOpaque1024x768Dxt1Image)
{
    ExpectOpaqueDxt1Screen("background.dds");
}

TEST(DdsImages, TitleCardIsAnOpaque1024x768Dxt1Image)
{
    ExpectOpaqueDxt1Screen("title.dds");
}

TEST(DdsImages, LogoIs586x192X8R8G8B8WithoutAlpha)
{
    const std::vector<uint8_t> file = ReadDataFile("logo.dds");
    ASSERT_FALSE(file.empty()) << "cannot read " << DataPath("logo.dds");
    const DdsHeader h = ParseHeader(file);
    ExpectPlainTextureWithoutMips(file, h);
    EXPECT_EQ(h.width, 586u);
    EXPECT_EQ(h.height, 192u);
    EXPECT_EQ(h.formatFlags & (DDPF_RGB | DDPF_FOURCC | DDPF_ALPHAPIXELS), DDPF_RGB);
    EXPECT_EQ(h.bitCount, 32u);
    EXPECT_EQ(h.redMask, 0x00FF0000u);
    EXPECT_EQ(h.greenMask, 0x0000FF00u);
    EXPECT_EQ(h.blueMask, 0x000000FFu);
    EXPECT_EQ(h.alphaMask, 0u);
    ASSERT_EQ(file.size(), DATA_OFFSET + 586u * 192u * 4u);

    // Lettering on a dark pane: both near-white and dark texels occur.
    size_t bright = 0, dark = 0;
    for (size_t i = DATA_OFFSET; i + 3 < file.size(); i += 4) {
        const int sum = file[i] + file[i + 1] + file[i + 2];
        bright += sum > 600;
        dark += sum < 150;
    }
    EXPECT_GT(bright, 500u);
    EXPECT_GT(dark, 586u * 192u / 4);
}
