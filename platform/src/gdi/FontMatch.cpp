#include "FontMatch.h"

#include "GdiObjects.h"

#include <fontconfig/fontconfig.h>

#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <strings.h>

namespace {

// Stand-ins for faces that Debian does not ship, closest first. "Impact" is a heavy,
// condensed sans: the narrow Liberation face (Arial Narrow's metrics) in bold is the nearest
// packaged face, DejaVu's condensed bold the next.
struct Substitute {
    const char* face;
    const char* standIns[3];
};
const Substitute SUBSTITUTES[] = {
    {"Impact", {"Liberation Sans Narrow", "DejaVu Sans Condensed", nullptr}},
    {"Arial", {"Liberation Sans", "DejaVu Sans", nullptr}},
    {"Arial Narrow", {"Liberation Sans Narrow", "DejaVu Sans Condensed", nullptr}},
    {"Times New Roman", {"Liberation Serif", "DejaVu Serif", nullptr}},
    {"Courier New", {"Liberation Mono", "DejaVu Sans Mono", nullptr}},
};

const char* GenericFamily(const LOGFONTA& logFont)
{
    switch (logFont.lfPitchAndFamily & 0xf0) {
    case FF_ROMAN: return "serif";
    case FF_MODERN: return "monospace";
    default: return (logFont.lfPitchAndFamily & 0x3) == FIXED_PITCH ? "monospace" : "sans-serif";
    }
}

// Matches one family with the request's weight and slant; when requireFamily is set the
// match counts only if fontconfig found that very family (not one of its own defaults).
bool MatchFamily(const char* family, const LOGFONTA& logFont, bool requireFamily, FontFile* file)
{
    FcPattern* pattern = FcPatternCreate();
    if (!pattern)
        return false;
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
    const int weight = logFont.lfWeight <= 0 ? FW_NORMAL : logFont.lfWeight > 1000 ? 1000 : logFont.lfWeight;
    FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(weight));
    FcPatternAddInteger(pattern, FC_SLANT, logFont.lfItalic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_OUTLINE, FcTrue);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);

    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match)
        return false;

    bool ok = true;
    if (requireFamily) {
        ok = false;
        FcChar8* found = nullptr;
        for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &found) == FcResultMatch; ++i)
            if (strcasecmp(reinterpret_cast<const char*>(found), family) == 0)
                ok = true;
    }
    FcBool outline = FcFalse;
    if (FcPatternGetBool(match, FC_OUTLINE, 0, &outline) != FcResultMatch || !outline)
        ok = false;
    FcChar8* path = nullptr;
    if (ok && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path) {
        int index = 0;
        if (FcPatternGetInteger(match, FC_INDEX, 0, &index) != FcResultMatch)
            index = 0;
        file->path = reinterpret_cast<const char*>(path);
        file->faceIndex = index;
    } else {
        ok = false;
    }
    FcPatternDestroy(match);
    return ok;
}

}  // namespace

bool FindFontFile(const LOGFONTA& logFont, FontFile* file)
{
    char face[LF_FACESIZE + 1] = {};
    std::memcpy(face, logFont.lfFaceName, LF_FACESIZE);

    if (face[0] != '\0') {
        if (MatchFamily(face, logFont, true, file))
            return true;
        for (const Substitute& substitute : SUBSTITUTES) {
            if (strcasecmp(substitute.face, face) != 0)
                continue;
            for (const char* standIn : substitute.standIns)
                if (standIn && MatchFamily(standIn, logFont, true, file))
                    return true;
        }
    }
    return MatchFamily(GenericFamily(logFont), logFont, false, file);
}

bool GetSelectedFont(HDC dc, LOGFONTA* logFont, FontFile* file)
{
    LOGFONTA selected;
    if (!GetSelectedLogFont(dc, &selected))
        return false;
    // The answer depends on the request alone: cached by its bytes, the name's tail cleared.
    const size_t nameLength = strnlen(selected.lfFaceName, LF_FACESIZE);
    std::memset(selected.lfFaceName + nameLength, 0, LF_FACESIZE - nameLength);
    const std::string key(reinterpret_cast<const char*>(&selected), sizeof selected);

    struct Answer {
        bool found;
        FontFile file;
    };
    static std::mutex mutex;
    static std::map<std::string, Answer> answers;
    Answer answer;
    {
        std::lock_guard<std::mutex> guard(mutex);
        auto known = answers.find(key);
        if (known == answers.end()) {
            Answer fresh;
            fresh.found = FindFontFile(selected, &fresh.file);
            known = answers.emplace(key, fresh).first;
        }
        answer = known->second;
    }
    if (!answer.found)
        return false;
    if (logFont)
        *logFont = selected;
    if (file)
        *file = answer.file;
    return true;
}
