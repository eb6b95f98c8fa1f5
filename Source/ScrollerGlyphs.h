#pragma once

// The scroller's glyphs and how their meshes are made: shared with the tool that bakes those
// meshes for the builds without fonts (tools/generators/textmeshes).
#include <windows.h>

const int GLYPH_COUNT = 96;
const int TERMINATOR_GLYPH = 95;
// D3DXCreateTextA's deviation and extrusion for every glyph.
const float GLYPH_DEVIATION = 0.001f;
const float GLYPH_EXTRUSION = 0.4f;

// The characters of the scroller's glyphs, index 0 ... 94 (95 is the terminator).
extern const unsigned char GLYPH_CHARACTERS[GLYPH_COUNT - 1];

// The font of the glyph meshes. The meshes baked for a build without fonts
// (tools/generators/textmeshes) are made with the same font and texts.
inline HFONT CreateGlyphFont()
{
    return CreateFontA(256, 0, 0, 0, 900, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0,
                       "Impact");
}

// The text of a glyph's mesh: its one character, or the empty string for the terminator.
inline void GetGlyphText(int glyph, char text[2])
{
    text[0] = glyph < TERMINATOR_GLYPH ? static_cast<char>(GLYPH_CHARACTERS[glyph]) : 0;
    text[1] = 0;
}
