#pragma once

#include "ScrollerGlyphs.h"

#include <d3d9.h>
#include <d3dx9.h>

// One long line of extruded 3D letters scrolling right to left, bent into an
// arch by the text effect and drawn into the three scene targets.
class TextScroller {
public:
    TextScroller();

    void Update();
    void Draw();
    // Update with a given frame time.
    void Advance(float frameTime);

    int GetTextPosition() const { return m_TextPosition; }
    float GetScrollOffset() const { return m_ScrollOffset; }
    float GetAdvance(int glyph) const { return m_GlyphAdvances[glyph]; }
    unsigned char GetGlyph(unsigned char character) const { return m_CharacterMap[character]; }

    // Lays out one frame's line: calls place(glyph, x) for each glyph drawn, x
    // in world units from the line start, until the line is 256 units long.
    // Returns the number of glyphs placed.
    template <typename Place>
    int LayOutLine(Place place) const;

protected:
    // Without a device: glyph advances given, no meshes (layout and scrolling only).
    TextScroller(const float* advances, const char* text, int textLength);

private:
    void BuildCharacterMap();

    IDirect3DVertexDeclaration9* m_pVertexDecl;
    ID3DXEffect* m_pTextEffect;
    // The context and font the glyph meshes are built from: never released, held here
    // so they stay reachable as long as the scroller.
    HDC m_hTextDC;
    HFONT m_hTextFont;
    ID3DXMesh* m_pGlyphMeshes[GLYPH_COUNT];
    float m_GlyphAdvances[GLYPH_COUNT];
    unsigned char m_CharacterMap[256];
    int m_TextPosition;
    int m_TextLength;
    float m_ScrollOffset;
    const char* m_pText;
};

const float GLYPH_SCALE = 20.0f;
const float LINE_WIDTH = 256.0f;

template <typename Place>
int TextScroller::LayOutLine(Place place) const
{
    float x = 0.0f;
    int k = m_TextPosition;
    int placed = 0;
    do {
        const int glyph = m_CharacterMap[static_cast<unsigned char>(m_pText[k])];
        place(glyph, x);
        ++placed;
        x += m_GlyphAdvances[glyph] * GLYPH_SCALE;
        if (++k > m_TextLength)
            k = 0;
    } while (x < LINE_WIDTH);
    return placed;
}
