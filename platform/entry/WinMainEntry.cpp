#include <windows.h>

#include "ProgramInfo.h"

#include <cstdio>
#include <cstdlib>
#include <string>

// Calls WinMain as Windows' C runtime does for a GUI program, with the command line
// after the program name. Leaving WinMain ends the process the way ExitProcess
// does: threads still running (the audio mixing thread) stop where they are and no
// static object is torn down under them.
// --version and --help are answered here, before any window or device: the intro
// itself takes no options and ignores the rest of its command line.
int main(int argc, char** argv)
{
    const char* const usage =
        "Usage: skelvane\n"
        "Plays the intro: a 3D picture with its own music. Escape, closing the\n"
        "window, leaving it, Ctrl-C or a kill ends it.\n"
        "\n";
    if (AnswerVersionOrHelp(argc, argv, "skelvane", usage, stdout))
        return 0;
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
