#include "FontText.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cmath>

FontFace::FontFace() : m_pLibrary(nullptr), m_pFace(nullptr) {}

FontFace::~FontFace()
{
    if (m_pFace)
        FT_Done_Face(m_pFace);
    if (m_pLibrary)
        FT_Done_FreeType(m_pLibrary);
}

bool FontFace::Open(const std::string& path)
{
    if (!m_pLibrary && FT_Init_FreeType(&m_pLibrary) != 0) {
        m_pLibrary = nullptr;
        return false;
    }
    if (m_pFace) {
        FT_Done_Face(m_pFace);
        m_pFace = nullptr;
    }
    if (FT_New_Face(m_pLibrary, path.c_str(), 0, &m_pFace) != 0) {
        m_pFace = nullptr;
        return false;
    }
    return true;
}

namespace {

// Sizes are set in 26.6 units so that fractional pixel sizes keep their
// proportions; hinting is off because the lettering is large and scaled.
bool SetSize(FT_Face face, float pixelSize)
{
    const FT_F26Dot6 size = FT_F26Dot6(std::lround(pixelSize * 64.0f));
    return FT_Set_Char_Size(face, 0, size, 72, 72) == 0;
}

const FT_Int32 LOAD_FLAGS = FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP;

// The glyph of the character; the pen moves by its kerning against the
// previous glyph first (previous is 0 at the first letter).
FT_UInt NextGlyph(FT_Face face, char c, FT_UInt previous, float& pen)
{
    const FT_UInt index = FT_Get_Char_Index(face, static_cast<unsigned char>(c));
    if (previous && index && FT_HAS_KERNING(face)) {
        FT_Vector kern;
        if (FT_Get_Kerning(face, previous, index, FT_KERNING_UNFITTED, &kern) == 0)
            pen += kern.x / 64.0f;
    }
    return index;
}

} // namespace

float FontFace::Measure(const std::string& text, float pixelSize, float tracking) const
{
    if (!m_pFace || !SetSize(m_pFace, pixelSize))
        return 0.0f;
    float width = 0.0f;
    FT_UInt previous = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const FT_UInt index = NextGlyph(m_pFace, text[i], previous, width);
        if (FT_Load_Glyph(m_pFace, index, LOAD_FLAGS) != 0)
            continue;
        width += m_pFace->glyph->linearHoriAdvance / 65536.0f;
        if (i + 1 < text.size())
            width += tracking;
        previous = index;
    }
    return width;
}

float FontFace::CapHeight(float pixelSize) const
{
    if (!m_pFace || !SetSize(m_pFace, pixelSize))
        return 0.0f;
    if (FT_Load_Char(m_pFace, 'H', LOAD_FLAGS) != 0)
        return pixelSize * 0.7f;
    FT_BBox box;
    FT_Outline_Get_CBox(&m_pFace->glyph->outline, &box);
    return box.yMax / 64.0f;
}

bool FontFace::Draw(Mask& mask, const std::string& text, float pixelSize, float x, float baseline,
                    float tracking) const
{
    if (!m_pFace || !SetSize(m_pFace, pixelSize))
        return false;
    bool allDrawn = true;
    float pen = x;
    FT_UInt previous = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const FT_UInt index = NextGlyph(m_pFace, text[i], previous, pen);
        previous = index;
        if (FT_Load_Glyph(m_pFace, index, LOAD_FLAGS) != 0) {
            allDrawn = false;
            continue;
        }
        FT_GlyphSlot slot = m_pFace->glyph;
        const float advance = slot->linearHoriAdvance / 65536.0f;
        // Place the outline at its exact sub-pixel position before rendering.
        const float originX = std::floor(pen);
        const float originY = std::floor(baseline);
        FT_Outline_Translate(&slot->outline, FT_Pos(std::lround((pen - originX) * 64.0f)),
                             FT_Pos(-std::lround((baseline - originY) * 64.0f)));
        if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) {
            allDrawn = false;
        } else {
            const FT_Bitmap& bitmap = slot->bitmap;
            const int left = int(originX) + slot->bitmap_left;
            const int top = int(originY) - slot->bitmap_top;
            for (unsigned row = 0; row < bitmap.rows; ++row) {
                const int y = top + int(row);
                if (y < 0 || y >= mask.height)
                    continue;
                const unsigned char* source = bitmap.buffer + long(row) * bitmap.pitch;
                for (unsigned column = 0; column < bitmap.width; ++column) {
                    const int px = left + int(column);
                    if (px < 0 || px >= mask.width)
                        continue;
                    float& v = mask.At(px, y);
                    v = std::max(v, source[column] / 255.0f);
                }
            }
        }
        pen += advance + (i + 1 < text.size() ? tracking : 0.0f);
    }
    return allDrawn;
}

bool FontFace::DrawCentred(Mask& mask, const std::string& text, float pixelSize, float centreX,
                           float baseline, float tracking) const
{
    const float width = Measure(text, pixelSize, tracking);
    return Draw(mask, text, pixelSize, centreX - width * 0.5f, baseline, tracking);
}
