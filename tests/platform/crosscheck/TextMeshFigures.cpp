// The scroller's glyphs through D3DXCreateTextA, with the font and the arguments the
// scroller uses: one mesh per character, one metrics record shared by all the calls.
#include "Sections.h"
#include "TextScroller.h"

#include <cstdio>
#include <cstring>

void AddTextMeshFigures(CrossCheckDevice& device, FigureSheet& sheet)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font = CreateFontA(256, 0, 0, 0, 900, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0, "Impact");
    SelectObject(dc, font);
    std::string family, style;
    if (SelectedFontName(dc, family, style)) {
        sheet.AddText("font.family", family);
        sheet.AddText("font.style", style);
    } else {
        sheet.Fail("font.family", "no outline font selected");
    }

    GLYPHMETRICSFLOAT metrics;
    std::memset(&metrics, 0, sizeof metrics);
    for (int i = 0; i < GLYPH_COUNT; ++i) {
        char text[2] = {0, 0};
        if (i < TERMINATOR_GLYPH)
            text[0] = static_cast<char>(GLYPH_CHARACTERS[i]);
        char key[32];
        std::snprintf(key, sizeof key, "glyph.%02x", static_cast<unsigned>(static_cast<unsigned char>(text[0])));
        ID3DXMesh* mesh = nullptr;
        const HRESULT hr = D3DXCreateTextA(device.Device(), dc, text, GLYPH_DEVIATION, GLYPH_EXTRUSION, &mesh, nullptr,
                                           &metrics);
        sheet.AddText(std::string(key) + ".result", SUCCEEDED(hr) && mesh ? "mesh" : "no-mesh");
        sheet.AddFloats(std::string(key) + ".metrics", &metrics.gmfBlackBoxX, 6);
        if (mesh) {
            sheet.Add(std::string(key) + ".format", {double(mesh->GetFVF()), double(mesh->GetNumBytesPerVertex())});
            AddMeshMeasures(mesh, sheet, key, false);
            mesh->Release();
        }
    }
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(font);
    DeleteDC(dc);
}
