#pragma once

// Fills the inside of a glyph's contours (non-zero winding: holes stay open) with triangles,
// through the GLU tessellator.
#include "GlyphShape.h"

#include <cstdint>
#include <vector>

struct CapPoint {
    float x;
    float y;
};

class CapTessellator {
public:
    CapTessellator();
    ~CapTessellator();
    CapTessellator(const CapTessellator&) = delete;
    CapTessellator& operator=(const CapTessellator&) = delete;

    // points receives every contour point in order (contour after contour), then any point
    // made where contours cross; triangles receives three indices into points per triangle,
    // each turning counter-clockwise (y up). False when the tessellator fails.
    bool Tessellate(const std::vector<GlyphContour>& contours, std::vector<CapPoint>* points,
                    std::vector<uint32_t>* triangles);

private:
    void* m_tess;  // GLUtesselator, kept out of this header
};
