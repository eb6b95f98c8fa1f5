#include "RuntimeDll.h"

const char* const D3DX_DLL_NAME = "d3dx9_38.dll";
const char* const MISSING_D3DX_MESSAGE =
    "Skelvane needs d3dx9_38.dll, which the DirectX 9.0c end-user runtime provides: "
    "install that runtime from Microsoft and start Skelvane again.";

bool RequireRuntimeDll(const char* dllName, const char* message,
                       int(WINAPI* showBox)(HWND, LPCSTR, LPCSTR, UINT))
{
    // Stays loaded: the delay-load helper finds it there on the first call.
    if (LoadLibraryA(dllName))
        return true;
    showBox(NULL, message, "Skelvane", MB_OK | MB_ICONERROR);
    return false;
}
