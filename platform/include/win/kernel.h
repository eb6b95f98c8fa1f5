#pragma once

#include "types.h"

// Debugging: true when a tracer (gdb, strace, ...) is attached to the process.
BOOL WINAPI IsDebuggerPresent(void);
// Stops in an attached debugger (SIGTRAP); without one the signal is ignored.
void WINAPI DebugBreak(void);

HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName);
