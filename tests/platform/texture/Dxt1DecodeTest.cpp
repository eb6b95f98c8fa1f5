// The browser's own DXT1 decoder (Dxt1DecodeBlocks.cpp, compiled in here) must give
// libsquish's texels, which the Linux build shows, byte for byte.
#include "texture/image/Dxt1Decode.h"

#include <gtest/gtest.h>
#include <squish.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>

void ExpectSquishTexels(const unsigned char* blocks, int width, int height)
{
    std::vector<unsigned char> ours(static_cast<size_t>(width) * height * 4, 1), theirs(ours.size(), 2);
    DecodeDxt1Image(blocks, width, height, ours.data());
    squish::DecompressImage(theirs.data(), width, height, blocks, squish::kDxt1);
    const auto diff = std::mismatch(ours.begin(), ours.end(), theirs.begin());
    EXPECT_TRUE(diff.first == ours.end()) << width << "x" << height << ", byte " << diff.first - ours.begin();
}

TEST(Dxt1Decode, IntroImagesMatchSquish)
{
    for (const char* name : {"/background.dds", "/title.dds"}) {
        std::ifstream in(SKV_DATA_DIR + std::string(name), std::ios::binary);
        const std::vector<unsigned char> file{std::istreambuf_iterator<char>(in), {}};
        ASSERT_EQ(file.size(), 128u + 256 * 192 * 8) << name << ": 1024 x 768 texels";
        ASSERT_EQ(std::string(file.begin() + 84, file.begin() + 88), "DXT1") << name;
        ExpectSquishTexels(file.data() + 128, 1024, 768);
    }
}

TEST(Dxt1Decode, RandomBlocksAndPartEdgeBlocksMatchSquish)
{
    // Every third block has equal endpoints; the others come in either order about equally.
    std::mt19937 random(7);
    std::vector<unsigned char> blocks(4096 * 8);
    for (size_t i = 0; i < blocks.size(); ++i)
        blocks[i] = i % 24 == 2 || i % 24 == 3 ? blocks[i - 2] : static_cast<unsigned char>(random());
    ExpectSquishTexels(blocks.data(), 256, 256);
    const int sizes[][2] = {{1, 1}, {5, 3}, {3, 5}, {2, 7}, {9, 9}, {13, 1}};
    for (const auto& size : sizes)
        ExpectSquishTexels(blocks.data(), size[0], size[1]);
}
