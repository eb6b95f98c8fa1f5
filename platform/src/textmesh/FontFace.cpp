#include "FontFace.h"

#include "FreeTypeLock.h"
#include "OutlineFlattener.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_BBOX_H
#include FT_TRUETYPE_TABLES_H

#include <cmath>
#include <map>
#include <utility>

namespace {

FT_Library Library()
{
    // Opened once, under the FreeType lock, and kept: faces made from it live as long.
    static FT_Library library = [] {
        FT_Library l = nullptr;
        return FT_Init_FreeType(&l) == 0 ? l : nullptr;
    }();
    return library;
}

// The pixel size GDI gives a font asked for by cell height: the em square scaled by the
// request over the font's ascent plus descent, rounded as GDI's MulDiv rounds.
int PixelsPerEmForCellHeight(FT_Face face, int cellHeight)
{
    long cell = 0;
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 && os2->version != 0xffff)
        cell = long(os2->usWinAscent) + long(os2->usWinDescent);
    if (cell <= 0)
        cell = long(face->ascender) - long(face->descender);
    if (cell <= 0)
        cell = face->units_per_EM;
    return static_cast<int>((long(face->units_per_EM) * cellHeight + cell / 2) / cell);
}

int MoveTo(const FT_Vector* to, void* user)
{
    static_cast<OutlineFlattener*>(user)->MoveTo(double(to->x), double(to->y));
    return 0;
}

int LineTo(const FT_Vector* to, void* user)
{
    static_cast<OutlineFlattener*>(user)->LineTo(double(to->x), double(to->y));
    return 0;
}

int ConicTo(const FT_Vector* control, const FT_Vector* to, void* user)
{
    static_cast<OutlineFlattener*>(user)->ConicTo(double(control->x), double(control->y), double(to->x), double(to->y));
    return 0;
}

int CubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user)
{
    static_cast<OutlineFlattener*>(user)->CubicTo(double(c1->x), double(c1->y), double(c2->x), double(c2->y),
                                                  double(to->x), double(to->y));
    return 0;
}

}  // namespace

FontFace::FontFace(void* face, int emSquare, int pixelsPerEm)
    : m_face(face), m_emSquare(emSquare), m_pixelsPerEm(pixelsPerEm),
      m_textUnitsPerFontUnit(double(pixelsPerEm) / (double(emSquare) * double(emSquare))),
      m_pixelsPerFontUnit(double(pixelsPerEm) / double(emSquare))
{
}

FontFace* FontFace::Open(const FontFile& file)
{
    std::lock_guard<std::mutex> guard(FreeTypeLock());
    // Never destroyed: the faces it holds are handed out for the life of the process.
    static auto& faces = *new std::map<std::pair<std::string, int>, FontFace*>();
    const auto key = std::make_pair(file.path, file.faceIndex);
    const auto found = faces.find(key);
    if (found != faces.end())
        return found->second;

    FontFace* result = nullptr;
    FT_Face face = nullptr;
    if (Library() && FT_New_Face(Library(), file.path.c_str(), file.faceIndex, &face) == 0) {
        if (FT_IS_SCALABLE(face) && face->units_per_EM > 0) {
            const int em = face->units_per_EM;
            result = new FontFace(face, em, PixelsPerEmForCellHeight(face, em));
        } else {
            FT_Done_Face(face);
        }
    }
    // A file that fails stays failed: the answer is kept either way.
    faces.emplace(key, result);
    return result;
}

bool FontFace::LoadGlyph(uint32_t codepoint, float deviation, GlyphShape* shape)
{
    std::lock_guard<std::mutex> guard(FreeTypeLock());
    FT_Face face = static_cast<FT_Face>(m_face);
    const FT_UInt index = FT_Get_Char_Index(face, codepoint);
    if (FT_Load_Glyph(face, index, FT_LOAD_NO_SCALE | FT_LOAD_NO_BITMAP) != 0)
        return false;
    FT_GlyphSlot slot = face->glyph;
    if (slot->format != FT_GLYPH_FORMAT_OUTLINE)
        return false;
    FT_Outline* outline = &slot->outline;

    shape->contours.clear();
    const double em = double(m_emSquare);
    GLYPHMETRICSFLOAT& m = shape->metrics;
    // GDI reports whole pixels; D3DX divides them by the em square.
    m.gmfCellIncX = float(std::lround(double(slot->metrics.horiAdvance) * m_pixelsPerFontUnit) / em);
    m.gmfCellIncY = 0.0f;
    if (outline->n_contours > 0 && outline->n_points > 0) {
        FT_BBox box;
        FT_Outline_Get_BBox(outline, &box);
        const double left = std::floor(double(box.xMin) * m_pixelsPerFontUnit);
        const double right = std::ceil(double(box.xMax) * m_pixelsPerFontUnit);
        const double bottom = std::floor(double(box.yMin) * m_pixelsPerFontUnit);
        const double top = std::ceil(double(box.yMax) * m_pixelsPerFontUnit);
        m.gmfBlackBoxX = float(std::max(right - left, 1.0) / em);
        m.gmfBlackBoxY = float(std::max(top - bottom, 1.0) / em);
        m.gmfptGlyphOrigin.x = float(left / em);
        m.gmfptGlyphOrigin.y = float(top / em);

        FT_Outline_Funcs funcs = {};
        funcs.move_to = &MoveTo;
        funcs.line_to = &LineTo;
        funcs.conic_to = &ConicTo;
        funcs.cubic_to = &CubicTo;
        OutlineFlattener flattener(m_textUnitsPerFontUnit, deviation);
        if (FT_Outline_Decompose(outline, &funcs, &flattener) != 0)
            return false;
        // Outer contours clockwise, as TrueType draws them; PostScript outlines run the
        // other way round.
        const bool reverse = FT_Outline_Get_Orientation(outline) == FT_ORIENTATION_POSTSCRIPT;
        flattener.Finish(reverse, &shape->contours);
    } else {
        // GDI's box for a glyph with nothing to draw is one pixel at the origin.
        m.gmfBlackBoxX = float(1.0 / em);
        m.gmfBlackBoxY = float(1.0 / em);
        m.gmfptGlyphOrigin.x = 0.0f;
        m.gmfptGlyphOrigin.y = 0.0f;
    }
    return true;
}
