// The pictures as the Linux stand-in's D3DX texture loader reads them:
// the file's format and size, every texel opaque, and the power-of-two
// enlargement D3DX applies by default.
#include "DataFiles.h"

#include "texture/image/DdsImage.h"

#include <gtest/gtest.h>

namespace {

void ExpectDecodes(const char* name, D3DFORMAT format, UINT width, UINT height, UINT scaledWidth, UINT scaledHeight)
{
    SCOPED_TRACE(name);
    const std::vector<uint8_t> file = ReadDataFile(name);
    ASSERT_FALSE(file.empty()) << "cannot read " << DataPath(name);
    DecodedImage image;
    ASSERT_TRUE(DecodeDds(file.data(), file.size(), image));
    EXPECT_EQ(image.format, format);
    EXPECT_EQ(image.width, width);
    EXPECT_EQ(image.height, height);
    ASSERT_EQ(image.bgra.size(), size_t(width) * height * 4);
    size_t transparent = 0;
    for (size_t i = 3; i < image.bgra.size(); i += 4)
        transparent += image.bgra[i] != 0xFF;
    EXPECT_EQ(transparent, 0u);

    ASSERT_TRUE(ScaleToPowersOfTwo(image));
    EXPECT_EQ(image.width, scaledWidth);
    EXPECT_EQ(image.height, scaledHeight);
}

}  // namespace

TEST(DdsDecode, TitleCardLoadsAsOpaqueDxt1)
{
    ExpectDecodes("title.dds", D3DFMT_DXT1, 1024, 768, 1024, 1024);
}

TEST(DdsDecode, BackgroundLoadsAsOpaqueDxt1)
{
    ExpectDecodes("background.dds", D3DFMT_DXT1, 1024, 768, 1024, 1024);
}

TEST(DdsDecode, LogoLoadsAsX8R8G8B8)
{
    ExpectDecodes("logo.dds", D3DFMT_X8R8G8B8, 586, 192, 1024, 256);
}
