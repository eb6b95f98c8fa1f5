#include <windows.h>

#include <csignal>
#include <cstdlib>
#include <cstdio>
#include <cstring>

BOOL WINAPI IsDebuggerPresent(void)
{
    FILE* status = std::fopen("/proc/self/status", "r");
    if (!status)
        return FALSE;
    char line[256];
    int tracer = 0;
    while (std::fgets(line, sizeof line, status)) {
        if (std::strncmp(line, "TracerPid:", 10) == 0) {
            tracer = std::atoi(line + 10);
            break;
        }
    }
    std::fclose(status);
    return tracer != 0 ? TRUE : FALSE;
}

void WINAPI DebugBreak(void)
{
    if (IsDebuggerPresent())
        std::raise(SIGTRAP);
}
