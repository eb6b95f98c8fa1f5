#pragma once

#include "CapTessellator.h"
#include "FontFace.h"
#include "TextMesh.h"

// Builds text meshes from a font file's outlines (FreeType) with caps filled by the GLU
// tessellator; it keeps its buffers from one build to the next.
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
