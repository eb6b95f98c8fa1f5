#include "AnsiCodePage.h"
#include "FontMatch.h"
#include "TextMeshBuilder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <tuple>
#include <vector>

namespace {

constexpr float DEVIATION = 0.001f;  // the scroller's
constexpr float EXTRUSION = 0.4f;

// The scroller's font: "Impact", 256 high, weight 900, in a memory context.
HDC ScrollerContext()
{
    static HDC dc = [] {
        HDC context = CreateCompatibleDC(NULL);
        SelectObject(context,
                     CreateFontA(256, 0, 0, 0, 900, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0, "Impact"));
        return context;
    }();
    return dc;
}

FontFace* ScrollerFace()
{
    FontFile file;
    if (!GetSelectedFont(ScrollerContext(), nullptr, &file))
        return nullptr;
    return FontFace::Open(file);
}

TextMesh Build(const char* text, GLYPHMETRICSFLOAT* metrics = nullptr, float deviation = DEVIATION,
               float extrusion = EXTRUSION)
{
    TextMesh mesh;
    TextMeshBuilder builder;
    EXPECT_EQ(builder.Build(ScrollerContext(), text, deviation, extrusion, &mesh, metrics), TextMeshStatus::Ok) << text;
    return mesh;
}

struct V3 {
    double x, y, z;
};
V3 Sub(V3 a, V3 b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
V3 Cross(V3 a, V3 b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double Dot(V3 a, V3 b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
V3 Position(const TextMesh& m, uint32_t i)
{
    const float* p = m.vertices[i].position;
    return {p[0], p[1], p[2]};
}
V3 Normal(const TextMesh& m, uint32_t i)
{
    const float* n = m.vertices[i].normal;
    return {n[0], n[1], n[2]};
}

// Ray from origin along direction: how many triangles it crosses (t > 0).
int CountHits(const TextMesh& m, V3 origin, V3 direction)
{
    int hits = 0;
    for (size_t t = 0; t < m.indices.size(); t += 3) {
        const V3 a = Position(m, m.indices[t]), b = Position(m, m.indices[t + 1]), c = Position(m, m.indices[t + 2]);
        const V3 e1 = Sub(b, a), e2 = Sub(c, a);
        const V3 p = Cross(direction, e2);
        const double det = Dot(e1, p);
        if (std::fabs(det) < 1e-14)
            continue;
        const V3 s = Sub(origin, a);
        const double u = Dot(s, p) / det;
        if (u < 0.0 || u > 1.0)
            continue;
        const V3 q = Cross(s, e1);
        const double v = Dot(direction, q) / det;
        if (v < 0.0 || u + v > 1.0)
            continue;
        if (Dot(e2, q) / det > 0.0)
            ++hits;
    }
    return hits;
}

using Key = std::tuple<float, float, float>;
Key KeyOf(const TextMesh& m, uint32_t i)
{
    const float* p = m.vertices[i].position;
    return Key(p[0], p[1], p[2]);
}

double SignedArea(const GlyphContour& c)
{
    double area = 0.0;
    for (size_t i = 0; i < c.points.size(); ++i) {
        const OutlinePoint& a = c.points[i];
        const OutlinePoint& b = c.points[(i + 1) % c.points.size()];
        area += double(a.x) * b.y - double(b.x) * a.y;
    }
    return area * 0.5;
}

// Where the line y = y0 crosses the glyph's contours, left to right.
std::vector<double> Crossings(const GlyphShape& shape, double y0)
{
    std::vector<double> xs;
    for (const GlyphContour& c : shape.contours)
        for (size_t i = 0; i < c.points.size(); ++i) {
            const OutlinePoint& a = c.points[i];
            const OutlinePoint& b = c.points[(i + 1) % c.points.size()];
            if ((a.y <= y0) != (b.y <= y0))
                xs.push_back(a.x + (y0 - a.y) * (double(b.x) - a.x) / (double(b.y) - a.y));
        }
    std::sort(xs.begin(), xs.end());
    return xs;
}

double DistanceToSegment(double px, double py, const OutlinePoint& a, const OutlinePoint& b)
{
    const double dx = double(b.x) - a.x, dy = double(b.y) - a.y;
    const double length2 = dx * dx + dy * dy;
    double t = length2 > 0.0 ? ((px - a.x) * dx + (py - a.y) * dy) / length2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    const double ex = a.x + t * dx - px, ey = a.y + t * dy - py;
    return std::sqrt(ex * ex + ey * ey);
}

}  // namespace

TEST(TextMesh, GlyphMeshesAreClosedSolids)
{
    for (const char* text : {"O", "A", "8", "B", "g", "%", "@", "&", "Sk", "W"}) {
        const TextMesh mesh = Build(text);
        ASSERT_FALSE(mesh.indices.empty()) << text;
        // Every edge (by position) is used once in each direction: closed and consistently
        // turned.
        std::map<std::pair<Key, Key>, int> edges;
        for (size_t t = 0; t < mesh.indices.size(); t += 3)
            for (int k = 0; k < 3; ++k) {
                const Key a = KeyOf(mesh, mesh.indices[t + k]);
                const Key b = KeyOf(mesh, mesh.indices[t + (k + 1) % 3]);
                ++edges[{a, b}];
            }
        int open = 0;
        for (const auto& edge : edges) {
            const auto reverse = edges.find({edge.first.second, edge.first.first});
            if (edge.second != 1 || reverse == edges.end() || reverse->second != 1)
                ++open;
        }
        EXPECT_EQ(open, 0) << text << ": edges not shared by exactly two triangles";
    }
}

TEST(TextMesh, NormalsPointOutward)
{
    for (const char* text : {"O", "A", "8", "s"}) {
        const TextMesh mesh = Build(text);
        double volume = 0.0;
        int disagreeing = 0, misplaced = 0, probed = 0;
        const V3 oblique = {0.31, 0.47, 0.83};
        for (size_t t = 0; t < mesh.indices.size(); t += 3) {
            const uint32_t i0 = mesh.indices[t], i1 = mesh.indices[t + 1], i2 = mesh.indices[t + 2];
            const V3 a = Position(mesh, i0), b = Position(mesh, i1), c = Position(mesh, i2);
            const V3 n = Cross(Sub(b, a), Sub(c, a));
            volume += Dot(a, Cross(b, c)) / 6.0;
            const double length = std::sqrt(Dot(n, n));
            if (length < 1e-9)
                continue;
            // The vertex normals agree with the way the triangle faces.
            for (uint32_t i : {i0, i1, i2})
                if (Dot(Normal(mesh, i), n) <= 0.0)
                    ++disagreeing;
            // Just off the triangle along its facing lies outside; just behind it, inside.
            if (length > 1e-5 && probed < 400) {
                ++probed;
                const V3 centre = {(a.x + b.x + c.x) / 3, (a.y + b.y + c.y) / 3, (a.z + b.z + c.z) / 3};
                const double e = 1e-4 / length;
                const V3 out = {centre.x + n.x * e, centre.y + n.y * e, centre.z + n.z * e};
                const V3 in = {centre.x - n.x * e, centre.y - n.y * e, centre.z - n.z * e};
                if (CountHits(mesh, out, oblique) % 2 != 0 || CountHits(mesh, in, oblique) % 2 != 1)
                    ++misplaced;
            }
        }
        EXPECT_GT(volume, 0.0) << text;
        EXPECT_EQ(disagreeing, 0) << text;
        EXPECT_EQ(misplaced, 0) << text << " (of " << probed << " probed)";
    }
}

TEST(TextMesh, CountersStayOpen)
{
    FontFace* face = ScrollerFace();
    ASSERT_NE(face, nullptr);
    const struct {
        const char* text;
        int holes;
    } cases[] = {{"O", 1}, {"A", 1}, {"8", 2}};
    for (const auto& c : cases) {
        GlyphShape shape;
        ASSERT_TRUE(face->LoadGlyph(static_cast<unsigned char>(c.text[0]), DEVIATION, &shape));
        const TextMesh mesh = Build(c.text);
        int holes = 0;
        for (const GlyphContour& contour : shape.contours) {
            if (SignedArea(contour) <= 0.0)
                continue;  // outer contours turn clockwise
            ++holes;
            // A point in the hole: the middle of the gap its contour leaves on a line across
            // its middle height.
            float low = contour.points[0].y, high = low;
            for (const OutlinePoint& p : contour.points) {
                low = std::min(low, p.y);
                high = std::max(high, p.y);
            }
            const double y = 0.5 * (double(low) + high) + 1e-4;
            const std::vector<double> xs = Crossings(shape, y);
            ASSERT_GE(xs.size(), 4u) << c.text;
            ASSERT_EQ(xs.size() % 2, 0u) << c.text;
            // Inside a hole, the crossings to the left are even in number and to the right too;
            // pick the gap bounded by this contour.
            std::vector<double> own;
            for (size_t i = 0; i < contour.points.size(); ++i) {
                const OutlinePoint& a = contour.points[i];
                const OutlinePoint& b = contour.points[(i + 1) % contour.points.size()];
                if ((a.y <= y) != (b.y <= y))
                    own.push_back(a.x + (y - a.y) * (double(b.x) - a.x) / (double(b.y) - a.y));
            }
            std::sort(own.begin(), own.end());
            ASSERT_EQ(own.size(), 2u) << c.text;
            const double holeX = 0.5 * (own[0] + own[1]);
            EXPECT_EQ(CountHits(mesh, {holeX, y, 1.0}, {0.0, 0.0, -1.0}), 0)
                << c.text << ": the ray through the counter hits the mesh";
            // Beside the hole is solid: the ray crosses the front and the back cap.
            const auto left = std::lower_bound(xs.begin(), xs.end(), own[0]);
            ASSERT_NE(left, xs.begin());
            const double solidX = 0.5 * (*(left - 1) + own[0]);
            EXPECT_EQ(CountHits(mesh, {solidX, y, 1.0}, {0.0, 0.0, -1.0}), 2) << c.text;
        }
        EXPECT_EQ(holes, c.holes) << c.text;
    }
}

TEST(TextMesh, MeshesSpanTheirGlyphBox)
{
    for (const char* text : {"A", "g", "O", "j", "|", "W"}) {
        GLYPHMETRICSFLOAT metrics = {};
        const TextMesh mesh = Build(text, &metrics);
        float lo[3] = {1e9f, 1e9f, 1e9f}, hi[3] = {-1e9f, -1e9f, -1e9f};
        for (const TextVertex& v : mesh.vertices)
            for (int k = 0; k < 3; ++k) {
                lo[k] = std::min(lo[k], v.position[k]);
                hi[k] = std::max(hi[k], v.position[k]);
            }
        // The box is in whole pixels at the em-square size: up to one pixel (1 / 2048 of an
        // em or so) looser than the outline on each side.
        const float slack = 2.0f / 1000.0f;
        const float left = metrics.gmfptGlyphOrigin.x;
        const float top = metrics.gmfptGlyphOrigin.y;
        EXPECT_NEAR(lo[0], left, slack) << text;
        EXPECT_NEAR(hi[0], left + metrics.gmfBlackBoxX, slack) << text;
        EXPECT_NEAR(hi[1], top, slack) << text;
        EXPECT_NEAR(lo[1], top - metrics.gmfBlackBoxY, slack) << text;
        EXPECT_LE(left, lo[0]);
        EXPECT_GE(top, hi[1]);
        EXPECT_EQ(lo[2], -EXTRUSION) << text;
        EXPECT_EQ(hi[2], 0.0f) << text;
        EXPECT_EQ(metrics.gmfCellIncY, 0.0f);
    }
}

TEST(TextMesh, CellIncrementsOrderAsGlyphWidthsDo)
{
    const char glyphs[] = "iltnoMmW";
    std::vector<GLYPHMETRICSFLOAT> metrics(sizeof glyphs - 1);
    for (size_t i = 0; i + 1 < sizeof glyphs; ++i) {
        const char text[2] = {glyphs[i], 0};
        Build(text, &metrics[i]);
        EXPECT_GT(metrics[i].gmfCellIncX, 0.0f);
        EXPECT_LT(metrics[i].gmfCellIncX, 2.0f) << "cell increments are a fraction of the cell height";
    }
    for (size_t i = 0; i < metrics.size(); ++i)
        for (size_t j = 0; j < metrics.size(); ++j) {
            const float wi = metrics[i].gmfBlackBoxX, wj = metrics[j].gmfBlackBoxX;
            if (wi > wj * 1.15f) {
                EXPECT_GT(metrics[i].gmfCellIncX, metrics[j].gmfCellIncX)
                    << glyphs[i] << " is wider than " << glyphs[j];
            }
        }
}

TEST(TextMesh, GlyphsFollowEachOtherByTheirCellIncrements)
{
    GLYPHMETRICSFLOAT two[2] = {};
    const TextMesh pair = Build("AV", two);
    GLYPHMETRICSFLOAT a = {}, v = {};
    const TextMesh first = Build("A", &a);
    const TextMesh second = Build("V", &v);
    EXPECT_EQ(two[0].gmfCellIncX, a.gmfCellIncX);
    EXPECT_EQ(two[1].gmfCellIncX, v.gmfCellIncX);
    ASSERT_EQ(pair.vertices.size(), first.vertices.size() + second.vertices.size());
    ASSERT_EQ(pair.indices.size(), first.indices.size() + second.indices.size());
    // The second glyph is the lone "V" moved right by the "A"'s increment; no kerning.
    for (size_t i = 0; i < second.vertices.size(); ++i) {
        const TextVertex& moved = pair.vertices[first.vertices.size() + i];
        EXPECT_FLOAT_EQ(moved.position[0], second.vertices[i].position[0] + a.gmfCellIncX);
        EXPECT_EQ(moved.position[1], second.vertices[i].position[1]);
    }
}

TEST(TextMesh, FlattenedOutlineStaysWithinTheDeviation)
{
    FontFace* face = ScrollerFace();
    ASSERT_NE(face, nullptr);
    for (float deviation : {0.02f, 0.005f, 0.001f}) {
        GlyphShape coarse, fine;
        ASSERT_TRUE(face->LoadGlyph('O', deviation, &coarse));
        ASSERT_TRUE(face->LoadGlyph('O', 1e-6f, &fine));
        ASSERT_EQ(coarse.contours.size(), fine.contours.size());
        double worst = 0.0;
        for (size_t c = 0; c < fine.contours.size(); ++c)
            for (const OutlinePoint& p : fine.contours[c].points) {
                double nearest = 1e9;
                const auto& poly = coarse.contours[c].points;
                for (size_t i = 0; i < poly.size(); ++i)
                    nearest = std::min(nearest, DistanceToSegment(p.x, p.y, poly[i], poly[(i + 1) % poly.size()]));
                worst = std::max(worst, nearest);
            }
        EXPECT_LE(worst, deviation * 1.01 + 1e-6) << "deviation " << deviation;
        // And the allowance is used: a coarser deviation means fewer points.
        size_t coarsePoints = 0, finePoints = 0;
        for (size_t c = 0; c < fine.contours.size(); ++c) {
            coarsePoints += coarse.contours[c].points.size();
            finePoints += fine.contours[c].points.size();
        }
        EXPECT_LT(coarsePoints, finePoints);
    }
    // Zero stands for one font unit.
    TextMeshBuilder builder;
    TextMesh zero, oneUnit;
    ASSERT_EQ(builder.Build(face, "O", 0.0f, EXTRUSION, &zero, nullptr), TextMeshStatus::Ok);
    ASSERT_EQ(builder.Build(face, "O", 1.0f / face->EmSquare(), EXTRUSION, &oneUnit, nullptr), TextMeshStatus::Ok);
    EXPECT_EQ(zero.vertices.size(), oneUnit.vertices.size());
    EXPECT_EQ(zero.indices, oneUnit.indices);
}

TEST(TextMesh, SideNormalsAreSmoothAlongCurvesAndSharpAtCorners)
{
    // An "I" of the stand-in face is a box: four corners, each wall flat.
    const TextMesh box = Build("I");
    for (const TextVertex& v : box.vertices) {
        const float* n = v.normal;
        const int axes = (std::fabs(n[0]) > 0.999f) + (std::fabs(n[1]) > 0.999f) + (std::fabs(n[2]) > 0.999f);
        EXPECT_EQ(axes, 1) << "a box's walls face the axes: " << n[0] << " " << n[1] << " " << n[2];
    }
    // Round an "O", neighbouring wall vertices turn only a little.
    const TextMesh round = Build("O");
    int steep = 0, walls = 0;
    for (size_t t = 0; t < round.indices.size(); t += 3) {
        const float* a = round.vertices[round.indices[t]].normal;
        const float* b = round.vertices[round.indices[t + 1]].normal;
        if (a[2] != 0.0f || b[2] != 0.0f)
            continue;
        ++walls;
        if (a[0] * b[0] + a[1] * b[1] < 0.9f)
            ++steep;
    }
    EXPECT_GT(walls, 0);
    EXPECT_EQ(steep, 0);
}

TEST(TextMesh, WhatGivesNoMesh)
{
    TextMeshBuilder builder;
    TextMesh mesh;
    GLYPHMETRICSFLOAT metrics = {};
    metrics.gmfCellIncX = -1.0f;
    EXPECT_EQ(builder.Build(ScrollerContext(), "", DEVIATION, EXTRUSION, &mesh, &metrics),
              TextMeshStatus::InvalidArguments);
    EXPECT_EQ(metrics.gmfCellIncX, -1.0f) << "no character, no record";
    EXPECT_EQ(builder.Build(ScrollerContext(), nullptr, DEVIATION, EXTRUSION, &mesh, &metrics),
              TextMeshStatus::InvalidArguments);
    EXPECT_EQ(builder.Build(ScrollerContext(), "A", -0.001f, EXTRUSION, &mesh, &metrics),
              TextMeshStatus::InvalidArguments);
    EXPECT_EQ(builder.Build(ScrollerContext(), "A", DEVIATION, -0.4f, &mesh, &metrics),
              TextMeshStatus::InvalidArguments);
    EXPECT_EQ(builder.Build(ScrollerContext(), "A", NAN, EXTRUSION, &mesh, &metrics), TextMeshStatus::InvalidArguments);

    // A space has nothing to draw, but its record is filled: its advance is real.
    EXPECT_EQ(builder.Build(ScrollerContext(), " ", DEVIATION, EXTRUSION, &mesh, &metrics),
              TextMeshStatus::NothingToDraw);
    EXPECT_TRUE(mesh.indices.empty());
    EXPECT_GT(metrics.gmfCellIncX, 0.05f);

    HDC bare = CreateCompatibleDC(NULL);
    EXPECT_EQ(builder.Build(bare, "A", DEVIATION, EXTRUSION, &mesh, &metrics), TextMeshStatus::NoOutlineFont);
    DeleteDC(bare);
}

TEST(TextMesh, NoDepthGivesOneCap)
{
    const TextMesh deep = Build("O");
    const TextMesh flat = Build("O", nullptr, DEVIATION, 0.0f);
    for (const TextVertex& v : flat.vertices) {
        EXPECT_EQ(v.position[2], 0.0f);
        EXPECT_NE(v.normal[2], -1.0f) << "no cap facing away";
    }
    EXPECT_LT(flat.indices.size(), deep.indices.size());
}

TEST(TextMesh, EveryScrollerCharacterBuilds)
{
    const char* set =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"
        "-=!\\\"\xa3$%^&*()_+|<>,./?:;@'~#{[}]";
    TextMeshBuilder builder;
    for (const char* c = set; *c; ++c) {
        const char text[2] = {*c, 0};
        TextMesh mesh;
        GLYPHMETRICSFLOAT metrics = {};
        ASSERT_EQ(builder.Build(ScrollerContext(), text, DEVIATION, EXTRUSION, &mesh, &metrics), TextMeshStatus::Ok)
            << "character " << int(static_cast<unsigned char>(*c));
        EXPECT_GT(metrics.gmfCellIncX, 0.0f);
        for (const TextVertex& v : mesh.vertices)
            for (int k = 0; k < 3; ++k)
                ASSERT_TRUE(std::isfinite(v.position[k]) && std::isfinite(v.normal[k]));
    }
}

TEST(TextMesh, AnsiBytesAreWindowsCodePageCharacters)
{
    EXPECT_EQ(AnsiToUnicode('A'), 0x41u);
    EXPECT_EQ(AnsiToUnicode(0xa3), 0xa3u) << "pound sign";
    EXPECT_EQ(AnsiToUnicode(0x80), 0x20acu) << "euro sign";
    EXPECT_EQ(AnsiToUnicode(0x96), 0x2013u) << "en dash";
    EXPECT_EQ(AnsiToUnicode(0xff), 0xffu);
    // The scroller's pound sign is drawn as one, not as the font's missing-glyph box.
    FontFace* face = ScrollerFace();
    ASSERT_NE(face, nullptr);
    GlyphShape pound, missing;
    ASSERT_TRUE(face->LoadGlyph(AnsiToUnicode(0xa3), DEVIATION, &pound));
    ASSERT_TRUE(face->LoadGlyph(0xe000, DEVIATION, &missing));  // private use: not in the font
    const bool sameShape = pound.contours.size() == missing.contours.size() &&
                           pound.metrics.gmfBlackBoxX == missing.metrics.gmfBlackBoxX;
    EXPECT_FALSE(sameShape);
}
