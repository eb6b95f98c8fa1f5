#include "OutputFolder.h"
#include "PngFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::string TempPath(const char* name)
{
    return testing::TempDir() + name;
}

}  // namespace

TEST(PngFile, KeepsEveryColourAndDropsAlpha)
{
    // Every value of each channel appears, in rows that differ, with alpha that varies.
    const int width = 256, height = 3;
    std::vector<uint32_t> pixels(width * height);
    for (int x = 0; x < width; ++x) {
        const uint32_t v = static_cast<uint32_t>(x);
        pixels[x] = (v << 24) | (v << 16) | ((255 - v) << 8) | (v ^ 0x5A);
        pixels[width + x] = 0x00000000u | (v << 8);
        pixels[2 * width + x] = 0x80FFFFFFu - v;
    }
    const std::string path = TempPath("skv_png_roundtrip.png");
    ASSERT_TRUE(WritePng(path, pixels.data(), width, height));

    std::vector<uint32_t> back;
    int w = 0, h = 0;
    ASSERT_TRUE(ReadPng(path, back, w, h));
    ASSERT_EQ(w, width);
    ASSERT_EQ(h, height);
    for (int i = 0; i < width * height; ++i)
        ASSERT_EQ(back[i], pixels[i] | 0xFF000000u) << "pixel " << i;
    std::remove(path.c_str());
}

TEST(PngFile, IsARealPngFileInAFolderMadeForIt)
{
    const std::string parent = TempPath("skv_png_made"), folder = parent + "/frames";
    ASSERT_TRUE(MakeOutputFolder(folder)) << "with its missing parent";
    EXPECT_TRUE(MakeOutputFolder(folder)) << "and again, now that it is there";
    const uint32_t pixel = 0xFF102030u;
    const std::string path = folder + "/frame-5.png";
    ASSERT_TRUE(WritePng(path, &pixel, 1, 1));
    EXPECT_FALSE(MakeOutputFolder(path)) << "a file is no folder";
    EXPECT_FALSE(MakeOutputFolder(path + "/below")) << "nor can one hold one";
    EXPECT_FALSE(MakeOutputFolder(""));
    std::ifstream file(path, std::ios::binary);
    char signature[8] = {};
    file.read(signature, 8);
    EXPECT_EQ(std::string(signature, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    file.close();
    std::remove(path.c_str());
    std::remove(folder.c_str());
    std::remove(parent.c_str());
}

TEST(PngFile, RefusesWhatItCannotDo)
{
    const uint32_t pixel = 0;
    EXPECT_FALSE(WritePng(TempPath("skv_png_empty.png"), &pixel, 0, 1));
    EXPECT_FALSE(WritePng(TempPath("skv_png_null.png"), nullptr, 1, 1));
    EXPECT_FALSE(WritePng(TempPath("no_such_folder/x.png"), &pixel, 1, 1));

    std::vector<uint32_t> back;
    int w = 0, h = 0;
    EXPECT_FALSE(ReadPng(TempPath("skv_png_missing.png"), back, w, h));
    const std::string notPng = TempPath("skv_png_not.png");
    {
        std::ofstream file(notPng, std::ios::binary);
        file << "\x89PNG\r\n\x1a\nnot really";
    }
    EXPECT_FALSE(ReadPng(notPng, back, w, h));
    std::remove(notPng.c_str());
}
