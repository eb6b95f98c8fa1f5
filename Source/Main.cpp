#include "Intro.h"

#ifdef _WIN32
#include "RuntimeDll.h"
#endif

// The intro's entry: no command line, no configuration. Returns 0 on every path;
// only an Abort in an error box ends the process otherwise (with -1).
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
#ifdef _WIN32
    // Before anything touches D3DX, whose DLL a fresh Windows does not have.
    if (!RequireRuntimeDll(D3DX_DLL_NAME, MISSING_D3DX_MESSAGE))
        return 0;
#endif
    return RunIntro(GetIntroSteps());
}
