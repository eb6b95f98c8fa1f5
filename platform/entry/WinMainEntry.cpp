#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

// Calls WinMain as Windows' C runtime does for a GUI program, with the command line
// after the program name. Leaving WinMain ends the process the way ExitProcess
// does: threads still running (the audio mixing thread) stop where they are and no
// static object is torn down under them.
int main(int argc, char** argv)
{
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            commandLine += ' ';
        commandLine += argv[i];
    }
    const int exitCode = WinMain(GetModuleHandleA(NULL), NULL, &commandLine[0], SW_SHOWDEFAULT);
    std::fflush(nullptr);
    std::_Exit(exitCode);
}
