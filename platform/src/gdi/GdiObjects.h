#pragma once

// Inside the stand-in layer: what stands behind the GDI handles.
#include <windows.h>

// The logical font selected into a live memory device context. False for a dead or foreign
// handle, or when the selected font is not an outline font (a fresh context holds the raster
// "System" font, as on Windows).
bool GetSelectedLogFont(HDC dc, LOGFONTA* logFont);
