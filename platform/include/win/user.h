#pragma once

#include "types.h"

#define MB_OK 0x00000000u
#define MB_ABORTRETRYIGNORE 0x00000002u
#define MB_ICONWARNING 0x00000030u
#define MB_ICONEXCLAMATION 0x00000030u
#define MB_SYSTEMMODAL 0x00001000u

#define IDOK 1
#define IDCANCEL 2
#define IDABORT 3
#define IDRETRY 4
#define IDIGNORE 5

// Returns the chosen button, or 0 when no box can be shown (no display).
int WINAPI MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType);
