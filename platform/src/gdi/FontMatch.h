#pragma once

// Finds the font file that stands for a GDI font request, through fontconfig.
#include <windows.h>

#include <string>

struct FontFile {
    std::string path;
    int faceIndex = 0;
};

// The outline font file for a logical font: the requested face when it is installed, else
// a fixed stand-in chosen from the packages the build installs (the same one every time,
// and silently, as GDI's own font mapping is silent). False when no outline font fits.
bool FindFontFile(const LOGFONTA& logFont, FontFile* file);

// The logical font selected into a live memory device context and the outline font file that
// stands for it (asked of fontconfig once per logical font). False where GetSelectedLogFont
// is, or when no outline font fits.
bool GetSelectedFont(HDC dc, LOGFONTA* logFont, FontFile* file);
