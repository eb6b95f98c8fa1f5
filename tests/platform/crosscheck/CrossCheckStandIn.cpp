// The Linux side: quads through the intro's own 2D effect, and the font file that the
// stand-in's font matching chose, named by FreeType.
#include "CrossCheckDevice.h"
#include "Sections.h"

#include "gdi/FontMatch.h"

#include <ft2build.h>
#include FT_FREETYPE_H

namespace {

const WORD RESOURCE_2D_EFFECT = 114;

bool DrawWithTechnique(IDirect3DDevice9* device, ID3DXEffect* effect, const char* technique, const void* quad,
                       UINT stride)
{
    UINT passes = 0;
    if (!effect || FAILED(effect->SetTechnique(technique)) || FAILED(effect->Begin(&passes, 0)))
        return false;
    bool ok = passes > 0;
    for (UINT pass = 0; pass < passes; ++pass) {
        effect->BeginPass(pass);
        ok = SUCCEEDED(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, stride)) && ok;
        effect->EndPass();
    }
    effect->End();
    return ok;
}

}  // namespace

bool CrossCheckDevice::CreatePainter()
{
    return SUCCEEDED(D3DXCreateEffectFromResourceA(m_device, nullptr, MAKEINTRESOURCEA(RESOURCE_2D_EFFECT), nullptr,
                                                   nullptr, D3DXSHADER_NO_PRESHADER | D3DXFX_NOT_CLONEABLE, nullptr,
                                                   &m_effect, nullptr));
}

void CrossCheckDevice::ReleasePainter()
{
    if (m_effect)
        m_effect->Release();
    m_effect = nullptr;
}

bool CrossCheckDevice::DrawFlat(const PosColVertex* quad)
{
    m_device->SetVertexDeclaration(m_declPosCol);
    return DrawWithTechnique(m_device, m_effect, "PosCol2D", quad, sizeof *quad);
}

bool CrossCheckDevice::DrawTextured(IDirect3DTexture9* texture, const PosColTexVertex* quad)
{
    m_device->SetVertexDeclaration(m_declPosColTex);
    m_effect->SetTexture("g_Texture", texture);
    const bool ok = DrawWithTechnique(m_device, m_effect, "PosColTex2D", quad, sizeof *quad);
    m_effect->SetTexture("g_Texture", nullptr);
    return ok;
}

bool SelectedFontName(HDC dc, std::string& family, std::string& style)
{
    LOGFONTA logFont;
    FontFile file;
    FT_Library library = nullptr;
    if (!GetSelectedFont(dc, &logFont, &file) || FT_Init_FreeType(&library) != 0)
        return false;
    FT_Face face = nullptr;
    const bool ok = FT_New_Face(library, file.path.c_str(), file.faceIndex, &face) == 0;
    if (ok) {
        family = face->family_name ? face->family_name : "";
        style = face->style_name ? face->style_name : "";
        FT_Done_Face(face);
    }
    FT_Done_FreeType(library);
    return ok;
}
