#include "BakedTextMeshes.h"
#include "GdiObjects.h"
#include "ScrollerGlyphs.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

HDC GlyphContext()
{
    static HDC dc = [] {
        HDC context = CreateCompatibleDC(NULL);
        SelectObject(context, CreateGlyphFont());
        return context;
    }();
    return dc;
}

std::vector<uint8_t> CommittedFile()
{
    std::vector<uint8_t> bytes;
    std::FILE* file = std::fopen(SKV_DATA_DIR "/TextMeshes.bin", "rb");
    if (!file)
        return bytes;
    uint8_t chunk[65536];
    for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;)
        bytes.insert(bytes.end(), chunk, chunk + n);
    std::fclose(file);
    return bytes;
}

template <typename T>
bool SameBits(const T& a, const T& b)
{
    return std::memcmp(&a, &b, sizeof(T)) == 0;
}

// A small file of two requests made with the outline builder: one mesh, one space.
std::vector<uint8_t> SmallFile()
{
    std::vector<BakedTextEntry> entries(2);
    LOGFONTA font;
    EXPECT_TRUE(GetSelectedLogFont(GlyphContext(), &font));
    const char* texts[] = {"i", " "};
    for (int i = 0; i < 2; ++i) {
        entries[i].request = MakeBakedTextRequest(font, texts[i], GLYPH_DEVIATION, GLYPH_EXTRUSION);
        GLYPHMETRICSFLOAT metrics = {};
        entries[i].status = BuildTextMesh(GlyphContext(), texts[i], GLYPH_DEVIATION, GLYPH_EXTRUSION, &entries[i].mesh,
                                          &metrics);
        entries[i].metrics.push_back(metrics);
    }
    return WriteBakedTextMeshes(entries);
}

bool Reads(std::vector<uint8_t> bytes, std::string* error = nullptr)
{
    std::vector<BakedTextEntry> entries;
    std::string reason;
    // A fresh copy of exactly the bytes given, so the sanitizer sees any read past them.
    const bool ok = ReadBakedTextMeshes(bytes.data(), bytes.size(), &entries, &reason);
    EXPECT_EQ(ok, reason.empty());
    if (!ok)
        EXPECT_TRUE(entries.empty()) << "a refused file yields nothing";
    if (error)
        *error = reason;
    return ok;
}

}  // namespace

// The intro's picture must not change with the build: for each of the scroller's requests the
// baked outcome is the outline builder's, metrics, vertices and indices bit for bit.
TEST(BakedTextMeshes, ScrollerGlyphsEqualTheOutlineBuilders)
{
    const std::vector<uint8_t> file = CommittedFile();
    ASSERT_FALSE(file.empty()) << "no Data/TextMeshes.bin";
    std::vector<BakedTextEntry> entries;
    std::string error;
    ASSERT_TRUE(ReadBakedTextMeshes(file.data(), file.size(), &entries, &error)) << error;

    int meshes = 0;
    for (int glyph = 0; glyph < GLYPH_COUNT; ++glyph) {
        char text[2];
        GetGlyphText(glyph, text);
        TextMesh built, baked;
        GLYPHMETRICSFLOAT builtMetrics, bakedMetrics;
        std::memset(&builtMetrics, 0x5a, sizeof builtMetrics);
        std::memset(&bakedMetrics, 0x5a, sizeof bakedMetrics);
        const TextMeshStatus builtStatus = BuildTextMesh(GlyphContext(), text, GLYPH_DEVIATION, GLYPH_EXTRUSION, &built,
                                                         &builtMetrics);
        const TextMeshStatus bakedStatus = BuildBakedTextMesh(entries, GlyphContext(), text, GLYPH_DEVIATION,
                                                              GLYPH_EXTRUSION, &baked, &bakedMetrics);
        ASSERT_EQ(int(bakedStatus), int(builtStatus)) << "glyph " << glyph;
        EXPECT_TRUE(SameBits(bakedMetrics, builtMetrics)) << "glyph " << glyph;
        ASSERT_EQ(baked.vertices.size(), built.vertices.size()) << "glyph " << glyph;
        ASSERT_EQ(baked.indices, built.indices) << "glyph " << glyph;
        for (size_t v = 0; v < built.vertices.size(); ++v)
            ASSERT_TRUE(SameBits(baked.vertices[v], built.vertices[v])) << "glyph " << glyph << " vertex " << v;
        meshes += builtStatus == TextMeshStatus::Ok;
    }
    EXPECT_EQ(meshes, GLYPH_COUNT - 2) << "all but the space and the terminator have a mesh";
    EXPECT_EQ(WriteBakedTextMeshes(entries), file) << "read and written again, the file is unchanged";
}

TEST(BakedTextMeshes, OtherRequestsAreNotBaked)
{
    const std::vector<uint8_t> file = SmallFile();
    std::vector<BakedTextEntry> entries;
    ASSERT_TRUE(ReadBakedTextMeshes(file.data(), file.size(), &entries, nullptr));
    TextMesh mesh;
    GLYPHMETRICSFLOAT metrics = {};
    metrics.gmfCellIncX = -1.0f;
    EXPECT_EQ(BuildBakedTextMesh(entries, GlyphContext(), "i", GLYPH_DEVIATION, GLYPH_EXTRUSION, &mesh, &metrics),
              TextMeshStatus::Ok);
    EXPECT_FALSE(mesh.indices.empty());
    EXPECT_GT(metrics.gmfCellIncX, 0.0f);

    metrics.gmfCellIncX = -1.0f;
    EXPECT_EQ(BuildBakedTextMesh(entries, GlyphContext(), "ii", GLYPH_DEVIATION, GLYPH_EXTRUSION, &mesh, &metrics),
              TextMeshStatus::NotBaked);
    EXPECT_TRUE(mesh.vertices.empty());
    EXPECT_EQ(metrics.gmfCellIncX, -1.0f) << "an unbaked request leaves the record alone";
    EXPECT_EQ(BuildBakedTextMesh(entries, GlyphContext(), "i", 0.002f, GLYPH_EXTRUSION, &mesh, nullptr),
              TextMeshStatus::NotBaked);
    EXPECT_EQ(BuildBakedTextMesh(entries, GlyphContext(), "i", GLYPH_DEVIATION, 0.5f, &mesh, nullptr),
              TextMeshStatus::NotBaked);
    EXPECT_EQ(BuildBakedTextMesh(entries, GlyphContext(), "", GLYPH_DEVIATION, GLYPH_EXTRUSION, &mesh, nullptr),
              TextMeshStatus::InvalidArguments);

    HDC other = CreateCompatibleDC(NULL);
    EXPECT_EQ(BuildBakedTextMesh(entries, other, "i", GLYPH_DEVIATION, GLYPH_EXTRUSION, &mesh, nullptr),
              TextMeshStatus::NoOutlineFont)
        << "the raster system font";
    HFONT lighter = CreateFontA(256, 0, 0, 0, 400, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0, "Impact");
    HFONT upperCase = CreateFontA(256, 0, 0, 0, 900, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0, "IMPACT");
    SelectObject(other, lighter);
    EXPECT_EQ(BuildBakedTextMesh(entries, other, "i", GLYPH_DEVIATION, GLYPH_EXTRUSION, &mesh, nullptr),
              TextMeshStatus::NotBaked)
        << "another weight";
    SelectObject(other, upperCase);
    EXPECT_EQ(BuildBakedTextMesh(entries, other, "i", GLYPH_DEVIATION, GLYPH_EXTRUSION, &mesh, nullptr),
              TextMeshStatus::Ok)
        << "face names match in any case";
    DeleteDC(other);
    DeleteObject(lighter);
    DeleteObject(upperCase);
}

TEST(BakedTextMeshes, EveryTruncationIsRefused)
{
    const std::vector<uint8_t> file = SmallFile();
    ASSERT_TRUE(Reads(file));
    for (size_t length = 0; length < file.size(); ++length)
        ASSERT_FALSE(Reads(std::vector<uint8_t>(file.begin(), file.begin() + static_cast<long>(length))))
            << "cut at " << length;
    std::vector<uint8_t> longer = file;
    longer.push_back(0);
    std::string error;
    EXPECT_FALSE(Reads(longer, &error));
    EXPECT_EQ(error, "bytes follow the last entry");
}

TEST(BakedTextMeshes, MalformedFilesAreRefusedWithTheirReason)
{
    const std::vector<uint8_t> file = SmallFile();
    // The first entry: its text "i" at 76, its status at 77, its metrics count at 81.
    const size_t status = 16 + 60 + 1;
    const size_t vertexCount = status + 4 + 4 + 24;
    uint32_t vertices = 0;
    std::memcpy(&vertices, &file[vertexCount], 4);
    const size_t firstIndex = vertexCount + 4 + 24 * size_t(vertices) + 4;
    ASSERT_GT(vertices, 3u);

    struct Case {
        size_t at;
        std::vector<uint8_t> bytes;
        const char* reason;
    };
    const Case cases[] = {
        {0, {'X'}, "not a baked text-mesh file"},
        {8, {2}, "a baked text-mesh file of another version (this build reads version 1)"},
        {12, {0xff, 0xff, 0xff, 0x7f}, "the entry count does not fit the file"},
        {status, {9}, "an entry has an unknown status"},
        {status + 1, {1}, "an entry's text or status is cut short or malformed"},
        {16 + 32 + 14, {1}, "a request is cut short or malformed"},
        {16 + 31, {'x'}, "a face name is not terminated"},
        {16 + 60, {0}, "an entry's text holds a zero byte"},
        {status + 4, {2}, "an entry has more glyph metrics than characters"},
        {vertexCount, {0xff, 0xff, 0xff, 0x0f}, "an entry's vertices are cut short"},
        {firstIndex, {0xff, 0xff}, "an entry's index points past its vertices"},
        {firstIndex - 4, {4}, "an entry's index count is not a whole number of triangles"},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bad = file;
        std::copy(c.bytes.begin(), c.bytes.end(), bad.begin() + static_cast<long>(c.at));
        std::string error;
        EXPECT_FALSE(Reads(bad, &error)) << c.reason;
        EXPECT_EQ(error, c.reason);
    }
}
