#pragma once

#include "Raster.h"

// Shading helpers for large lettering, working from the letters' coverage
// mask and its signed distance field (Shapes.h: negative inside).

// Light on the bevelled rim of the letters: the rim width in pixels, lit from
// the direction (lightX, lightY) (screen coordinates, y down). Returns the
// highlight (positive) and shadow (negative) strength per pixel, -1..1.
Mask BevelLight(const Mask& distance, float rimWidth, float lightX, float lightY);

// Fills the letters with a vertical gradient running from top to bottom.
void PaintGradientFill(Image& image, const Mask& coverage, float top, float bottom,
                       const std::vector<GradientStop>& stops, float opacity = 1.0f);

// The logo's chrome lettering: a thin cyan line around a dark outline, a fill from a
// bright sky above a hard horizon to a sunset below it (capTop to baseline), and a
// bevelled rim lit from above.
void PaintChromeLetters(Image& image, const Mask& letters, const Mask& distance, float capTop,
                        float baseline);

// A four-pointed sparkle of light centred on (x, y).
void AddSparkle(Image& image, float x, float y, float size, const Rgb& colour, float strength);
