#pragma once

#include "Raster.h"

#include <string>

struct FT_LibraryRec_;
struct FT_FaceRec_;

// A font file opened with FreeType for drawing lettering into masks.
class FontFace {
public:
    FontFace();
    ~FontFace();
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    // Opens the font file; false when FreeType cannot read it.
    bool Open(const std::string& path);

    // Width in pixels of the text at the given pixel size (em height),
    // including the extra tracking between letters.
    float Measure(const std::string& text, float pixelSize, float tracking = 0.0f) const;

    // Height of a capital letter above the baseline, in pixels.
    float CapHeight(float pixelSize) const;

    // Draws the text with its baseline starting at (x, baseline); coverage is
    // combined with the mask by max. Returns false if a glyph could not be
    // rendered.
    bool Draw(Mask& mask, const std::string& text, float pixelSize, float x, float baseline,
              float tracking = 0.0f) const;

    // Draws the text centred horizontally on centreX.
    bool DrawCentred(Mask& mask, const std::string& text, float pixelSize, float centreX,
                     float baseline, float tracking = 0.0f) const;

private:
    FT_LibraryRec_* m_pLibrary;
    FT_FaceRec_* m_pFace;
};
