#include "TextMeshBuilder.h"

#include "AnsiCodePage.h"
#include "FontMatch.h"

#include <cmath>
#include <cstring>

namespace {

void Normal2D(double dx, double dy, float* nx, float* ny)
{
    // The left-hand normal of a direction: outward, since outer contours run clockwise.
    const double length = std::sqrt(dx * dx + dy * dy);
    if (length > 0.0) {
        *nx = static_cast<float>(-dy / length);
        *ny = static_cast<float>(dx / length);
    } else {
        *nx = 0.0f;
        *ny = 0.0f;
    }
}

uint32_t AddVertex(TextMesh* mesh, float x, float y, float z, float nx, float ny, float nz)
{
    mesh->vertices.push_back({{x, y, z}, {nx, ny, nz}});
    return static_cast<uint32_t>(mesh->vertices.size() - 1);
}

void AddTriangle(TextMesh* mesh, uint32_t a, uint32_t b, uint32_t c)
{
    mesh->indices.push_back(a);
    mesh->indices.push_back(b);
    mesh->indices.push_back(c);
}

}  // namespace

void TextMeshBuilder::AddSideWalls(const GlyphContour& contour, float offsetX, float extrusion, TextMesh* mesh)
{
    const std::vector<OutlinePoint>& p = contour.points;
    const size_t n = p.size();
    // Each point gets a front and back vertex pair for the wall piece that ends there and one
    // for the piece that starts there; a smooth point uses one pair for both.
    struct Pair {
        uint32_t in;
        uint32_t out;
    };
    std::vector<Pair> pairs(n);
    for (size_t i = 0; i < n; ++i) {
        const OutlinePoint& prev = p[(i + n - 1) % n];
        const OutlinePoint& next = p[(i + 1) % n];
        const float x = p[i].x + offsetX;
        const float y = p[i].y;
        float nx, ny;
        if (p[i].smooth) {
            Normal2D(double(next.x) - prev.x, double(next.y) - prev.y, &nx, &ny);
            const uint32_t front = AddVertex(mesh, x, y, 0.0f, nx, ny, 0.0f);
            AddVertex(mesh, x, y, -extrusion, nx, ny, 0.0f);
            pairs[i] = {front, front};
        } else {
            Normal2D(double(p[i].x) - prev.x, double(p[i].y) - prev.y, &nx, &ny);
            const uint32_t in = AddVertex(mesh, x, y, 0.0f, nx, ny, 0.0f);
            AddVertex(mesh, x, y, -extrusion, nx, ny, 0.0f);
            Normal2D(double(next.x) - p[i].x, double(next.y) - p[i].y, &nx, &ny);
            const uint32_t out = AddVertex(mesh, x, y, 0.0f, nx, ny, 0.0f);
            AddVertex(mesh, x, y, -extrusion, nx, ny, 0.0f);
            pairs[i] = {in, out};
        }
    }
    for (size_t i = 0; i < n; ++i) {
        // Front vertex of a pair first, its back vertex right after it.
        const uint32_t a = pairs[i].out;
        const uint32_t b = pairs[(i + 1) % n].in;
        AddTriangle(mesh, a, b + 1, a + 1);
        AddTriangle(mesh, a, b, b + 1);
    }
}

bool TextMeshBuilder::AddCaps(const GlyphShape& shape, float offsetX, float extrusion, TextMesh* mesh)
{
    if (!m_tessellator.Tessellate(shape.contours, &m_capPoints, &m_capTriangles))
        return false;
    const uint32_t front = static_cast<uint32_t>(mesh->vertices.size());
    for (const CapPoint& c : m_capPoints)
        AddVertex(mesh, c.x + offsetX, c.y, 0.0f, 0.0f, 0.0f, 1.0f);
    for (size_t t = 0; t < m_capTriangles.size(); t += 3)
        AddTriangle(mesh, front + m_capTriangles[t], front + m_capTriangles[t + 1], front + m_capTriangles[t + 2]);
    // Without depth the two caps would lie on each other; the one facing +z stands alone.
    if (extrusion == 0.0f)
        return true;
    const uint32_t back = static_cast<uint32_t>(mesh->vertices.size());
    for (const CapPoint& c : m_capPoints)
        AddVertex(mesh, c.x + offsetX, c.y, -extrusion, 0.0f, 0.0f, -1.0f);
    for (size_t t = 0; t < m_capTriangles.size(); t += 3)
        AddTriangle(mesh, back + m_capTriangles[t], back + m_capTriangles[t + 2], back + m_capTriangles[t + 1]);
    return true;
}

TextMeshStatus TextMeshBuilder::Build(HDC dc, const char* text, float deviation, float extrusion, TextMesh* mesh,
                                      GLYPHMETRICSFLOAT* metrics)
{
    if (!dc || !text || !text[0])
        return TextMeshStatus::InvalidArguments;
    FontFile file;
    if (!GetSelectedFont(dc, nullptr, &file))
        return TextMeshStatus::NoOutlineFont;
    FontFace* face = FontFace::Open(file);
    if (!face)
        return TextMeshStatus::NoOutlineFont;
    return Build(face, text, deviation, extrusion, mesh, metrics);
}

TextMeshStatus TextMeshBuilder::Build(FontFace* face, const char* text, float deviation, float extrusion,
                                      TextMesh* mesh, GLYPHMETRICSFLOAT* metrics)
{
    mesh->vertices.clear();
    mesh->indices.clear();
    if (!face || !text || !text[0] || !std::isfinite(deviation) || !std::isfinite(extrusion) || deviation < 0.0f ||
        extrusion < 0.0f)
        return TextMeshStatus::InvalidArguments;
    if (deviation == 0.0f)
        deviation = 1.0f / face->EmSquare();

    float offsetX = 0.0f;
    const size_t length = std::strlen(text);
    for (size_t i = 0; i < length; ++i) {
        if (!face->LoadGlyph(AnsiToUnicode(static_cast<unsigned char>(text[i])), deviation, &m_shape))
            return TextMeshStatus::NoGlyphs;
        if (metrics)
            metrics[i] = m_shape.metrics;
        for (const GlyphContour& contour : m_shape.contours)
            AddSideWalls(contour, offsetX, extrusion, mesh);
        if (!m_shape.contours.empty() && !AddCaps(m_shape, offsetX, extrusion, mesh))
            return TextMeshStatus::NoGlyphs;
        offsetX += m_shape.metrics.gmfCellIncX;
    }
    if (mesh->indices.empty())
        return TextMeshStatus::NothingToDraw;
    return TextMeshStatus::Ok;
}

TextMeshStatus BuildTextMesh(HDC dc, const char* text, float deviation, float extrusion, TextMesh* mesh,
                             GLYPHMETRICSFLOAT* metrics)
{
    TextMeshBuilder builder;
    return builder.Build(dc, text, deviation, extrusion, mesh, metrics);
}
