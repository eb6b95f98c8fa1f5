#include "Intro.h"

// The intro's entry: no command line, no configuration. Returns 0 on every path;
// only an Abort in an error box ends the process otherwise (with -1).
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return RunIntro(GetIntroSteps());
}
