#pragma once

#include <windows.h>

// Shows the "BREAK!" box with Abort, Retry and Ignore. Abort ends the process
// with exit code -1; the result is true when the viewer chose to go on
// (Ignore, or Retry), false when the box could not be shown.
bool ReportError(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// Reports a failed condition once per site: after Ignore the site stays quiet.
#define ASSERT(expression, message)                                                               \
    do {                                                                                          \
        static bool s_bIgnore = false;                                                            \
        if (!(expression) && !s_bIgnore)                                                          \
            s_bIgnore = ReportError("ASSERT: %s, %s - line: %d file: %s", #expression, (message), \
                                    __LINE__, __FILE__);                                          \
    } while (0)

// The box ReportError shows; tests put their own answer in its place.
typedef int(WINAPI* MessageBoxProc)(HWND, LPCSTR, LPCSTR, UINT);
void SetMessageBoxProc(MessageBoxProc proc);
MessageBoxProc GetDefaultMessageBoxProc();
