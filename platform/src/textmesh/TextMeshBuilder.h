#pragma once

// The extruded mesh of a string, as D3DXCreateText builds it: glyphs laid side by side by
// their cell increments from x = 0 along the baseline (y up); the front cap at z = 0 facing
// +z, the back cap at z = -extrusion facing -z, the side walls between them facing outward.
// Triangles face the side their normals point to when seen turning clockwise in Direct3D's
// left-handed view (so cross(v1 - v0, v2 - v0) points outward). Per glyph: its side walls,
// then its front cap, then its back cap.
#include "CapTessellator.h"
#include "FontFace.h"

#include <windows.h>

#include <cstdint>
#include <vector>

struct TextVertex {
    float position[3];
    float normal[3];
};

struct TextMesh {
    std::vector<TextVertex> vertices;
    std::vector<uint32_t> indices;  // three per triangle
};

enum class TextMeshStatus {
    Ok,
    InvalidArguments,  // no text or context, an empty text, a negative or non-finite size
    NoOutlineFont,     // the context holds no font with outlines
    NoGlyphs,          // a glyph would not load
    NothingToDraw,     // the text has no outlines at all (only spaces, say)
};

class TextMeshBuilder {
public:
    // deviation is the greatest distance, in text units, between the flattened and the true
    // outline; 0 stands for one font unit (one over the em square).
    TextMeshStatus Build(HDC dc, const char* text, float deviation, float extrusion, TextMesh* mesh,
                         GLYPHMETRICSFLOAT* metrics);

    // The same for a font face already at hand.
    TextMeshStatus Build(FontFace* face, const char* text, float deviation, float extrusion, TextMesh* mesh,
                         GLYPHMETRICSFLOAT* metrics);

private:
    void AddSideWalls(const GlyphContour& contour, float offsetX, float extrusion, TextMesh* mesh);
    bool AddCaps(const GlyphShape& shape, float offsetX, float extrusion, TextMesh* mesh);

    CapTessellator m_tessellator;
    GlyphShape m_shape;
    std::vector<CapPoint> m_capPoints;
    std::vector<uint32_t> m_capTriangles;
};
