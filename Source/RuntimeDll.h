#pragma once

#include <windows.h>

// D3DX 9 is not part of Windows: d3dx9_38.dll comes with the DirectX 9.0c end-user
// runtime. The Windows build links it delay-loaded, so that the intro can say what
// is missing before anything calls into it, in place of the system's message about
// a DLL it cannot find.
extern const char* const D3DX_DLL_NAME;
extern const char* const MISSING_D3DX_MESSAGE;

// True when the DLL loads; otherwise shows the message in an error box through
// showBox and returns false.
bool RequireRuntimeDll(const char* dllName, const char* message,
                       int(WINAPI* showBox)(HWND, LPCSTR, LPCSTR, UINT) = &MessageBoxA);
