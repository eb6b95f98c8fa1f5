#include "TextScroller.h"

#include "FrameClock.h"

#include <cstring>

namespace {
const float SCROLL_SPEED = 2.0f;
}

TextScroller::TextScroller(const float* advances, const char* text, int textLength)
    : m_pVertexDecl(NULL), m_pTextEffect(NULL), m_hTextDC(NULL), m_hTextFont(NULL),
      m_TextPosition(0), m_TextLength(textLength), m_ScrollOffset(0.0f), m_pText(text)
{
    for (int i = 0; i < GLYPH_COUNT; ++i) {
        m_pGlyphMeshes[i] = NULL;
        m_GlyphAdvances[i] = advances[i];
    }
    BuildCharacterMap();
}

void TextScroller::BuildCharacterMap()
{
    // A character outside the set shows as a space: glyph 0 draws nothing and
    // keeps the index inside the glyph table.
    std::memset(m_CharacterMap, 0, sizeof m_CharacterMap);
    for (int i = 0; i < TERMINATOR_GLYPH; ++i)
        m_CharacterMap[GLYPH_CHARACTERS[i]] = static_cast<unsigned char>(i);
    m_CharacterMap[0] = TERMINATOR_GLYPH;
}

void TextScroller::Update()
{
    Advance(GetFrameTime());
}

void TextScroller::Advance(float frameTime)
{
    m_ScrollOffset += frameTime * SCROLL_SPEED;
    const int glyph = m_CharacterMap[static_cast<unsigned char>(m_pText[m_TextPosition])];
    const float advance = m_GlyphAdvances[glyph];
    // At most one character leaves the line per frame.
    if (advance <= m_ScrollOffset) {
        m_ScrollOffset -= advance;
        if (++m_TextPosition > m_TextLength)
            m_TextPosition = 0;
    }
}
