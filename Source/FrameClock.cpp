#include "FrameClock.h"

namespace {

struct FrameClock {
    LONGLONG frequency;
    CounterReadFunc readCounter;
    // The reference point lies referenceThousandths / 1000 of a tick after the
    // reference counter value: a whole number of milliseconds after start-up is
    // rarely a whole number of ticks.
    LONGLONG reference;
    LONGLONG referenceThousandths;
};

FrameClock s_clock = {};
float s_fFrameTime = 0.0f;
int s_fixedFrameMs = -1;  // negative: measuring

LONGLONG ReadPerformanceCounter()
{
    LARGE_INTEGER count;
    count.QuadPart = 0;
    QueryPerformanceCounter(&count);
    return count.QuadPart;
}

LONGLONG ReadTickCount()
{
    return static_cast<LONGLONG>(GetTickCount64());
}

}  // namespace

void StartFrameClockWith(LONGLONG frequency, CounterReadFunc readCounter)
{
    if (frequency <= 0 || !readCounter) {
        // Without a high-resolution counter the clock divides by nothing: the
        // millisecond tick count is coarser but always there.
        frequency = 1000;
        readCounter = &ReadTickCount;
    }
    s_clock.frequency = frequency;
    s_clock.readCounter = readCounter;
    s_clock.reference = readCounter();
    s_clock.referenceThousandths = 0;
}

void StartFrameClock()
{
    LARGE_INTEGER frequency;
    frequency.QuadPart = 0;
    if (!QueryPerformanceFrequency(&frequency))
        frequency.QuadPart = 0;
    StartFrameClockWith(frequency.QuadPart, &ReadPerformanceCounter);
}

void FixFrameTime(int milliseconds)
{
    s_fixedFrameMs = milliseconds > 0 ? milliseconds : 0;
}

void UseFixedFrameTime(int milliseconds)
{
    const bool wasFixed = s_fixedFrameMs >= 0;
    s_fixedFrameMs = milliseconds > 0 ? milliseconds : -1;
    // Back to measuring: the next frame counts from here, not from the last
    // measured tick before the fixed steps.
    if (wasFixed && s_fixedFrameMs < 0 && s_clock.readCounter) {
        s_clock.reference = s_clock.readCounter();
        s_clock.referenceThousandths = 0;
    }
}

void UpdateFrameClock()
{
    if (s_fixedFrameMs >= 0) {
        // Computed as a measured frame of that length would be.
        s_fFrameTime = static_cast<float>(static_cast<double>(s_fixedFrameMs) / 1000.0);
        return;
    }
    if (!s_clock.readCounter)
        return;
    const LONGLONG now = s_clock.readCounter();
    // In thousandths of a tick, so that (milliseconds x frequency) / 1000 ticks can
    // be taken off exactly.
    const LONGLONG elapsedThousandths = (now - s_clock.reference) * 1000 -
                                        s_clock.referenceThousandths;
    const LONGLONG milliseconds = elapsedThousandths > 0 ? elapsedThousandths / s_clock.frequency
                                                         : 0;

    // Move the reference only by the ticks the counted milliseconds stand for; the
    // rest belongs to the next frame.
    const LONGLONG advance = s_clock.referenceThousandths + milliseconds * s_clock.frequency;
    s_clock.reference += advance / 1000;
    s_clock.referenceThousandths = advance % 1000;

    s_fFrameTime = static_cast<float>(static_cast<double>(milliseconds) / 1000.0);
}

float GetFrameTime()
{
    return s_fFrameTime;
}
