#pragma once

// One glyph as the text-mesh builder uses it: closed polylines in text units, the outer
// contours clockwise and the holes counter-clockwise (y up, TrueType's sense), so that the
// left-hand side of every edge is outside the glyph.
#include <windows.h>

#include <vector>

struct OutlinePoint {
    float x;
    float y;
    // True where the outline bends smoothly (along a curve, or where a curve runs on
    // tangentially): the side wall shares one normal there. False at a corner.
    bool smooth;
};

struct GlyphContour {
    std::vector<OutlinePoint> points;
};

struct GlyphShape {
    std::vector<GlyphContour> contours;
    GLYPHMETRICSFLOAT metrics = {};
};
