#include "GdiObjects.h"

#include <cstring>
#include <mutex>
#include <unordered_set>

struct HFONT__ {
    LOGFONTA logFont;
    bool stock;
    bool rasterOnly;  // the stock "System" font: no outlines to take
};

struct HDC__ {
    HFONT font;
};

namespace {

// One lock over the handle tables and the fonts' cached answers: GDI handles may be used
// from any thread.
std::mutex& Lock()
{
    static std::mutex mutex;
    return mutex;
}

std::unordered_set<const void*>& LiveContexts()
{
    static std::unordered_set<const void*> contexts;
    return contexts;
}

std::unordered_set<const void*>& LiveFonts()
{
    static std::unordered_set<const void*> fonts;
    return fonts;
}

HFONT SystemFont()
{
    // Created under the lock by its callers and never freed, like the system's own.
    static HFONT__* font = [] {
        auto* f = new HFONT__{};
        f->logFont.lfHeight = 16;
        f->logFont.lfWeight = FW_BOLD;
        std::strcpy(f->logFont.lfFaceName, "System");
        f->stock = true;
        f->rasterOnly = true;
        LiveFonts().insert(f);
        return f;
    }();
    return font;
}

bool IsSelectedAnywhere(HFONT font)
{
    for (const void* dc : LiveContexts())
        if (static_cast<const HDC__*>(dc)->font == font)
            return true;
    return false;
}

}  // namespace

HDC WINAPI CreateCompatibleDC(HDC hdc)
{
    std::lock_guard<std::mutex> guard(Lock());
    if (hdc && !LiveContexts().count(hdc))
        return nullptr;
    auto* dc = new HDC__{SystemFont()};
    LiveContexts().insert(dc);
    return dc;
}

BOOL WINAPI DeleteDC(HDC hdc)
{
    std::lock_guard<std::mutex> guard(Lock());
    if (!hdc || !LiveContexts().erase(hdc))
        return FALSE;
    delete hdc;
    return TRUE;
}

HFONT WINAPI CreateFontIndirectA(const LOGFONTA* lplf)
{
    if (!lplf)
        return nullptr;
    auto* font = new HFONT__{};
    font->logFont = *lplf;
    font->logFont.lfFaceName[LF_FACESIZE - 1] = '\0';
    std::lock_guard<std::mutex> guard(Lock());
    LiveFonts().insert(font);
    return font;
}

HFONT WINAPI CreateFontA(int cHeight, int cWidth, int cEscapement, int cOrientation, int cWeight, DWORD bItalic,
                         DWORD bUnderline, DWORD bStrikeOut, DWORD iCharSet, DWORD iOutPrecision, DWORD iClipPrecision,
                         DWORD iQuality, DWORD iPitchAndFamily, LPCSTR pszFaceName)
{
    LOGFONTA lf = {};
    lf.lfHeight = cHeight;
    lf.lfWidth = cWidth;
    lf.lfEscapement = cEscapement;
    lf.lfOrientation = cOrientation;
    lf.lfWeight = cWeight;
    lf.lfItalic = static_cast<BYTE>(bItalic);
    lf.lfUnderline = static_cast<BYTE>(bUnderline);
    lf.lfStrikeOut = static_cast<BYTE>(bStrikeOut);
    lf.lfCharSet = static_cast<BYTE>(iCharSet);
    lf.lfOutPrecision = static_cast<BYTE>(iOutPrecision);
    lf.lfClipPrecision = static_cast<BYTE>(iClipPrecision);
    lf.lfQuality = static_cast<BYTE>(iQuality);
    lf.lfPitchAndFamily = static_cast<BYTE>(iPitchAndFamily);
    if (pszFaceName)
        std::strncpy(lf.lfFaceName, pszFaceName, LF_FACESIZE - 1);
    return CreateFontIndirectA(&lf);
}

HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ h)
{
    std::lock_guard<std::mutex> guard(Lock());
    if (!hdc || !LiveContexts().count(hdc) || !h || !LiveFonts().count(h))
        return nullptr;
    HFONT previous = hdc->font;
    hdc->font = static_cast<HFONT>(h);
    return previous;
}

BOOL WINAPI DeleteObject(HGDIOBJ ho)
{
    std::lock_guard<std::mutex> guard(Lock());
    if (!ho || !LiveFonts().count(ho))
        return FALSE;
    HFONT font = static_cast<HFONT>(ho);
    // Stock objects ignore deletion; a font in use by a context cannot be deleted.
    if (font->stock)
        return TRUE;
    if (IsSelectedAnywhere(font))
        return FALSE;
    LiveFonts().erase(ho);
    delete font;
    return TRUE;
}

HGDIOBJ WINAPI GetStockObject(int i)
{
    std::lock_guard<std::mutex> guard(Lock());
    return i == SYSTEM_FONT ? SystemFont() : nullptr;
}

bool GetSelectedLogFont(HDC dc, LOGFONTA* logFont)
{
    std::lock_guard<std::mutex> guard(Lock());
    if (!dc || !LiveContexts().count(dc))
        return false;
    const HFONT font = dc->font;
    if (font->rasterOnly)
        return false;
    if (logFont)
        *logFont = font->logFont;
    return true;
}
