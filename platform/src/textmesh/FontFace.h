#pragma once

// An outline font file opened with FreeType, in the units D3DX gives text meshes.
//
// D3DX selects the font again with a cell height (ascent plus descent) of one em square
// (the font's own units per em) in pixels, takes the glyph outlines at that size and divides
// them by the em square. So one text unit is the em square over that pixel size, and the
// glyph metrics are GDI's whole-pixel metrics at that size, divided the same way.
#include "FontMatch.h"
#include "GlyphShape.h"

#include <cstdint>

class FontFace {
public:
    // The face of a font file, opened on first use and kept for the life of the process.
    // Null when FreeType cannot read it or it has no scalable outlines.
    static FontFace* Open(const FontFile& file);

    // The glyph for a character, its curves split into straight pieces that stay within
    // deviation (text units) of the true outline. A character the font lacks gives the
    // font's missing-glyph shape, as GDI does. False when the glyph cannot be loaded.
    bool LoadGlyph(uint32_t codepoint, float deviation, GlyphShape* shape);

    // The em square in font units: the unit a zero deviation stands for is one of these.
    float EmSquare() const { return static_cast<float>(m_emSquare); }

private:
    FontFace(void* face, int emSquare, int pixelsPerEm);

    void* m_face;  // FT_Face, kept out of this header
    int m_emSquare;
    int m_pixelsPerEm;
    double m_textUnitsPerFontUnit;
    double m_pixelsPerFontUnit;
};
