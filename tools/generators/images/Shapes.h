#pragma once

#include "Raster.h"

#include <vector>

struct Point {
    float x, y;
};

// Anti-aliased shapes drawn into masks by coverage (combined with max), in
// pixel coordinates where pixel (i, j) covers [i, i + 1) x [j, j + 1).

void DrawDisc(Mask& mask, float cx, float cy, float radius, float softness = 1.0f,
              float intensity = 1.0f);
void DrawLine(Mask& mask, Point a, Point b, float width);
void DrawRoundedRect(Mask& mask, float x0, float y0, float x1, float y1, float radius);
// Polygon (even-odd rule), 4 x 4 samples per pixel.
void FillPolygon(Mask& mask, const std::vector<Point>& points);

// Signed distance to the 0.5 contour of the mask, in pixels: negative inside,
// positive outside (exact Euclidean distance transform of the thresholded
// mask, refined by the coverage of the edge pixels).
Mask SignedDistance(const Mask& mask);

// Mask of the band where the signed distance lies within [inner, outer],
// with one pixel of anti-aliasing on both sides.
Mask DistanceBand(const Mask& distance, float inner, float outer);
