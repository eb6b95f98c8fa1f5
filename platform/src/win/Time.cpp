#include <windows.h>

#include <sched.h>
#include <time.h>

#include <cerrno>

namespace {

const LONGLONG NANOSECONDS_PER_SECOND = 1000000000;

LONGLONG MonotonicNanoseconds()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<LONGLONG>(now.tv_sec) * NANOSECONDS_PER_SECOND + now.tv_nsec;
}

}  // namespace

// The counter ticks in nanoseconds of the monotonic clock, so its frequency is fixed.
BOOL WINAPI QueryPerformanceCounter(LARGE_INTEGER* count)
{
    if (!count)
        return FALSE;
    count->QuadPart = MonotonicNanoseconds();
    return TRUE;
}

BOOL WINAPI QueryPerformanceFrequency(LARGE_INTEGER* frequency)
{
    if (!frequency)
        return FALSE;
    frequency->QuadPart = NANOSECONDS_PER_SECOND;
    return TRUE;
}

ULONGLONG WINAPI GetTickCount64(void)
{
    return static_cast<ULONGLONG>(MonotonicNanoseconds() / 1000000);
}

void WINAPI Sleep(DWORD milliseconds)
{
    if (milliseconds == 0) {
        sched_yield();
        return;
    }
    if (milliseconds == INFINITE) {
        for (;;) {
            timespec day = {86400, 0};
            nanosleep(&day, nullptr);
        }
    }
    timespec left = {static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L};
    // Signals do not cut the sleep short.
    while (nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
}
