#include "ReportError.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace {

const UINT BOX_STYLE = MB_ABORTRETRYIGNORE | MB_ICONWARNING | MB_SYSTEMMODAL;
const int MESSAGE_SIZE = 2048;

MessageBoxProc s_pMessageBox = &MessageBoxA;

}  // namespace

void SetMessageBoxProc(MessageBoxProc proc)
{
    s_pMessageBox = proc ? proc : &MessageBoxA;
}

MessageBoxProc GetDefaultMessageBoxProc()
{
    return &MessageBoxA;
}

bool ReportError(const char* format, ...)
{
    char message[MESSAGE_SIZE];
    va_list args;
    va_start(args, format);
    // Bounded: an over-long message is cut, never written past the buffer.
    if (std::vsnprintf(message, sizeof message, format, args) < 0)
        message[0] = 0;
    va_end(args);

    switch (s_pMessageBox(NULL, message, "BREAK!", BOX_STYLE)) {
    case IDABORT: std::exit(-1);
    case IDRETRY:
        // Retry is for debugging. With a debugger attached we stop here; without
        // one a breakpoint would end the intro silently, so Retry then counts as
        // Ignore and the caller goes on.
        if (IsDebuggerPresent())
            DebugBreak();
        return true;
    case IDIGNORE: return true;
    default: return false;
    }
}
