#pragma once

#include "types.h"

#include <cstring>

// Debugging: true when a tracer (gdb, strace, ...) is attached to the process.
BOOL WINAPI IsDebuggerPresent(void);
// Stops in an attached debugger (SIGTRAP); without one the signal is ignored.
void WINAPI DebugBreak(void);

HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName);

#define ZeroMemory(destination, length) std::memset((destination), 0, (length))

// The GUI entry point. On Linux the stand-in layer's main() calls it.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine,
                   int showCommand);

// High-resolution counter: a monotonic tick count and its fixed frequency.
BOOL WINAPI QueryPerformanceCounter(LARGE_INTEGER* count);
BOOL WINAPI QueryPerformanceFrequency(LARGE_INTEGER* frequency);
// Milliseconds since an arbitrary start; never wraps.
ULONGLONG WINAPI GetTickCount64(void);

void WINAPI Sleep(DWORD milliseconds);

// Threads. A thread handle stays valid until CloseHandle, even after the thread ended.
typedef DWORD(WINAPI* LPTHREAD_START_ROUTINE)(LPVOID parameter);
typedef struct _SECURITY_ATTRIBUTES {
    DWORD nLength;
    LPVOID lpSecurityDescriptor;
    BOOL bInheritHandle;
} SECURITY_ATTRIBUTES, *LPSECURITY_ATTRIBUTES;

#define INFINITE 0xFFFFFFFFu
#define WAIT_OBJECT_0 0x00000000u
#define WAIT_TIMEOUT 0x00000102u
#define WAIT_FAILED 0xFFFFFFFFu
#define STILL_ACTIVE 0x00000103u
#define CREATE_SUSPENDED 0x00000004u

#define THREAD_PRIORITY_IDLE (-15)
#define THREAD_PRIORITY_LOWEST (-2)
#define THREAD_PRIORITY_BELOW_NORMAL (-1)
#define THREAD_PRIORITY_NORMAL 0
#define THREAD_PRIORITY_ABOVE_NORMAL 1
#define THREAD_PRIORITY_HIGHEST 2
#define THREAD_PRIORITY_TIME_CRITICAL 15
#define THREAD_PRIORITY_ERROR_RETURN 0x7FFFFFFF

HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES attributes, SIZE_T stackSize,
                           LPTHREAD_START_ROUTINE startAddress, LPVOID parameter,
                           DWORD creationFlags, LPDWORD threadId);
BOOL WINAPI SetThreadPriority(HANDLE thread, int priority);
int WINAPI GetThreadPriority(HANDLE thread);
DWORD WINAPI WaitForSingleObject(HANDLE handle, DWORD milliseconds);
BOOL WINAPI GetExitCodeThread(HANDLE thread, LPDWORD exitCode);
BOOL WINAPI CloseHandle(HANDLE handle);

// Embedded resources of the executable, by numeric id ("#103" or MAKEINTRESOURCE(103))
// and type (a name such as "MUSIC", or RT_RCDATA). The bytes stay valid for the life
// of the process.
#define RT_RCDATA MAKEINTRESOURCEA(10)
HRSRC WINAPI FindResourceA(HMODULE module, LPCSTR name, LPCSTR type);
HGLOBAL WINAPI LoadResource(HMODULE module, HRSRC resource);
DWORD WINAPI SizeofResource(HMODULE module, HRSRC resource);
LPVOID WINAPI LockResource(HGLOBAL resourceData);
