// The cross-check's own parts on made-up input: reading figure sheets, comparing them under
// tolerances, the image measures and files, and the mesh measures.
#include "FigureComparison.h"
#include "ImageFiles.h"
#include "MeshMeasures.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

Comparison Compare(const std::string& a, const std::string& b, const std::vector<FigureRule>& rules,
                   const ImageFolders* folders = nullptr)
{
    return CompareFigures(ParseFigures(a), ParseFigures(b), rules, folders);
}

Image Solid(int width, int height, uint32_t colour)
{
    Image image;
    image.width = width;
    image.height = height;
    image.pixels.assign(static_cast<size_t>(width) * height, colour);
    return image;
}

}  // namespace

TEST(FigureSheet, WritesLinesThatParseBackWithFloatsExact)
{
    FigureSheet sheet;
    const float third = 1.0f / 3.0f;
    sheet.Add("a.count", {3, 0.5});
    sheet.AddFloats("a.third", &third, 1);
    sheet.AddText("a.name", "Liberation Sans Narrow");
    sheet.Fail("a.step", "no device");
    EXPECT_EQ(sheet.Failures(), 1);

    const Figures f = ParseFigures(sheet.Text() + "\r\n\na.count 9\n");
    ASSERT_EQ(f.size(), 4u);
    EXPECT_EQ(f.at("a.count"), (std::vector<std::string>{"3", "0.5"})) << "the first line of a key holds";
    EXPECT_EQ(std::strtof(f.at("a.third")[0].c_str(), nullptr), third);
    EXPECT_EQ(f.at("a.name").size(), 3u);
    EXPECT_EQ(f.at("a.step")[0], "FAILED");
}

TEST(FigureComparison, PatternsMatchWholeKeys)
{
    EXPECT_TRUE(MatchesPattern("glyph.41.box", "glyph.*"));
    EXPECT_TRUE(MatchesPattern("glyph.41.box", "glyph.*.box"));
    EXPECT_TRUE(MatchesPattern("texture.125.file.pixels", "texture.*.pixels"));
    EXPECT_FALSE(MatchesPattern("glyph.41.boxes", "glyph.*.box"));
    EXPECT_FALSE(MatchesPattern("mesh.counts", "glyph.*"));
    EXPECT_TRUE(MatchesPattern("x", "*"));
}

TEST(FigureComparison, EachToleranceAcceptsWithinAndRefusesBeyond)
{
    const std::vector<FigureRule> rules = {{"u.*", Tolerance::Ulps, 1},
                                           {"a.*", Tolerance::Absolute, 0.5},
                                           {"r.*", Tolerance::Relative, 0.1},
                                           {"k.*", Tolerance::Exact, 0, true}};
    // 1 and the float after it are one step apart; 1 and the one after that, two.
    const Comparison ok = Compare("u.x 1 -0\na.x 10\nr.x 100 0.01 0\nt.x word\n",
                                  "u.x 1.00000012 0\na.x 10.5\nr.x 109 0.0109 0\nt.x word\n", rules);
    EXPECT_TRUE(ok.differences.empty()) << ok.differences[0];
    EXPECT_EQ(ok.compared, 4);
    EXPECT_DOUBLE_EQ(ok.uses[0].largest, 1.0);
    EXPECT_DOUBLE_EQ(ok.uses[1].largest, 0.5);

    const Comparison bad = Compare("u.x 1\na.x 10\nr.x 100\nr.y 0.01\nt.x word\nk.x 1\n",
                                   "u.x 1.00000024\na.x 10.6\nr.x 112\nr.y 0.0112\nt.x other\nk.x 2\n", rules);
    EXPECT_EQ(bad.differences.size(), 5u) << "ulps, absolute, relative (large and small) and the unruled word";
    ASSERT_EQ(bad.known.size(), 1u) << "a known difference is reported, not failed";
    EXPECT_EQ(bad.known[0], "k.x: 1 | 2");
}

TEST(FigureComparison, MissingFiguresCountsAndFailedStepsAreDifferences)
{
    const std::vector<FigureRule> rules = {{"*", Tolerance::Absolute, 100}};
    const Comparison c = Compare("a 1\nb 1 2\nc 1\n", "b 1\nc FAILED read-back\nd 4\n", rules);
    ASSERT_EQ(c.differences.size(), 4u);
    EXPECT_NE(c.differences[0].find("only in the reference"), std::string::npos);
    EXPECT_NE(c.differences[1].find("2 values against 1"), std::string::npos);
    EXPECT_NE(c.differences[2].find("FAILED"), std::string::npos);
    EXPECT_NE(c.differences[3].find("only in the other run"), std::string::npos);

    const Comparison first = Compare("a 1\n", "a 1\n", {{"a", Tolerance::Exact, 0}, {"*", Tolerance::Ulps, 0}});
    EXPECT_EQ(first.uses[0].figures, 1) << "the first rule that matches decides";
    EXPECT_EQ(first.uses[1].figures, 0);
}

TEST(FigureComparison, ImagesCompareEveryChannelOfEveryPixel)
{
    const std::string dir = ::testing::TempDir();
    Image a = Solid(4, 3, 0xFF102030);
    Image b = a;
    b.pixels[5] = 0xFF102033;   // blue 3 off at (1, 1)
    b.pixels[11] = 0xFD102030;  // alpha 2 off at (3, 2)
    ASSERT_TRUE(WriteImageFile(dir + "/crosscheck_a.argb", a));
    ASSERT_TRUE(WriteImageFile(dir + "/crosscheck_b.argb", b));
    const ImageFolders folders = {dir, dir};
    const std::string mine = "img 4 3 crosscheck_a.argb\n", theirs = "img 4 3 crosscheck_b.argb\n";

    EXPECT_TRUE(Compare(mine, theirs, {{"img", Tolerance::Pixels, 3}}, &folders).differences.empty());
    const Comparison tight = Compare(mine, theirs, {{"img", Tolerance::Pixels, 2}}, &folders);
    ASSERT_EQ(tight.differences.size(), 1u);
    EXPECT_NE(tight.differences[0].find("1 pixels differ by more than 2 (largest 3, first at (1, 1))"),
              std::string::npos)
        << tight.differences[0];
    EXPECT_TRUE(Compare(mine, theirs, {{"img", Tolerance::Pixels, 2, false, 1}}, &folders).differences.empty());
    EXPECT_EQ(
        Compare(mine, "img 3 4 crosscheck_b.argb\n", {{"img", Tolerance::Pixels, 9}}, &folders).differences.size(), 1u)
        << "sizes differ";
    EXPECT_EQ(Compare(mine, "img 4 3 missing.argb\n", {{"img", Tolerance::Pixels, 9}}, &folders).differences.size(),
              1u);
    EXPECT_EQ(Compare(mine, theirs, {{"img", Tolerance::Pixels, 9}}).differences.size(), 1u) << "no folders";
    Image wrong;
    EXPECT_FALSE(ReadImageFile(dir + "/crosscheck_a.argb", 3, 3, wrong)) << "a file of another size is refused";
}

TEST(ImageMeasures, ThumbnailAndCoveredBox)
{
    Image image = Solid(4, 4, 0xFF000000);
    image.pixels[1 * 4 + 2] = 0xFFFFFFFF;  // (2, 1)
    image.pixels[3 * 4 + 3] = 0x80FF0000;  // (3, 3)
    const std::vector<double> quarters = Thumbnail(image, 2);
    ASSERT_EQ(quarters.size(), 16u);
    EXPECT_DOUBLE_EQ(quarters[4 + 1], 255.0 / 4) << "top-right tile: one white pixel of four";
    EXPECT_DOUBLE_EQ(quarters[12 + 0], (3 * 255 + 128) / 4.0) << "bottom-right tile alpha";
    EXPECT_TRUE(Thumbnail(image, 5).empty());

    EXPECT_EQ(CoveredBox(image, 0xFF000000, 0, 0, 4, 4), (std::vector<double>{2, 1, 3, 3, 2}));
    EXPECT_EQ(CoveredBox(image, 0xFF000000, 0, 0, 2, 4), (std::vector<double>{-1, -1, -1, -1, 0}));
}

TEST(MeshMeasures, ExtrudedSquareHasItsCapsWallsAndNormals)
{
    // A unit square from z = 0 back to z = -0.5: front cap turning anticlockwise seen from +z
    // with normals +z, back cap the other way with normals -z, one wall quad with normal -y.
    struct V {
        float p[3], n[3];
    };
    const V v[] = {{{0, 0, 0}, {0, 0, 1}},      {{1, 0, 0}, {0, 0, 1}},      {{1, 1, 0}, {0, 0, 1}},
                   {{0, 1, 0}, {0, 0, 1}},      {{0, 0, -0.5f}, {0, 0, -1}}, {{1, 0, -0.5f}, {0, 0, -1}},
                   {{1, 1, -0.5f}, {0, 0, -1}}, {{0, 1, -0.5f}, {0, 0, -1}}};
    const std::vector<uint32_t> faces = {0, 1, 2, 0, 2, 3, 4, 6, 5, 4, 7, 6, 0, 4, 5, 0, 5, 1, 9, 0, 1};
    const MeshMeasures m = MeasureMesh(v, 8, sizeof(V), true, faces);
    EXPECT_EQ(m.min[2], -0.5f);
    EXPECT_EQ(m.max[0], 1.0f);
    EXPECT_DOUBLE_EQ(m.frontArea, 1.0);
    EXPECT_DOUBLE_EQ(m.backArea, 1.0);
    EXPECT_DOUBLE_EQ(m.wallArea, 0.5) << "the face with an index past the vertices is skipped";
    EXPECT_DOUBLE_EQ(m.frontWinding, 1.0);
    EXPECT_DOUBLE_EQ(m.backWinding, -1.0);
    EXPECT_DOUBLE_EQ(m.frontNormalZ, 1.0);
    EXPECT_DOUBLE_EQ(m.backNormalZ, -1.0);
    EXPECT_DOUBLE_EQ(m.positionSum[1], 4.0);
    EXPECT_DOUBLE_EQ(m.normalSum[2], 0.0);
    EXPECT_DOUBLE_EQ(MeasureMesh(v, 8, sizeof(V), false, faces).frontNormalZ, 0.0) << "no normals read";
}
