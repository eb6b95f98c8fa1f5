#include "FrameClock.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// A counter the test moves by hand.
LONGLONG s_counter = 0;

LONGLONG ReadTestCounter()
{
    return s_counter;
}

// Runs one frame of the given length in ticks and returns its frame time in whole
// milliseconds.
long long FrameMilliseconds(LONGLONG ticks)
{
    s_counter += ticks;
    UpdateFrameClock();
    const double ms = GetFrameTime() * 1000.0;
    EXPECT_NEAR(ms, std::round(ms), 1e-3) << "frame times are whole milliseconds";
    return std::llround(ms);
}

const LONGLONG TEN_MHZ = 10000000;
// The ACPI power-management timer: a rate that is no whole number of ticks per ms.
const LONGLONG ACPI_TIMER_HZ = 3579545;

}  // namespace

TEST(FrameClock, TruncatesEachFrameToWholeMilliseconds)
{
    s_counter = 5000;  // the counter need not start at 0
    StartFrameClockWith(TEN_MHZ, &ReadTestCounter);
    EXPECT_EQ(FrameMilliseconds(19996000), 1999);  // 1.9996 s
    EXPECT_FLOAT_EQ(GetFrameTime(), 1.999f);

    StartFrameClockWith(TEN_MHZ, &ReadTestCounter);
    EXPECT_EQ(FrameMilliseconds(29000), 2);  // 2.9 ms
    EXPECT_FLOAT_EQ(GetFrameTime(), 0.002f);
}

TEST(FrameClock, FrameTimeChangesOnlyAtATick)
{
    StartFrameClockWith(TEN_MHZ, &ReadTestCounter);
    FrameMilliseconds(150000);
    s_counter += 990000;
    EXPECT_FLOAT_EQ(GetFrameTime(), 0.015f);
    EXPECT_FLOAT_EQ(GetFrameTime(), 0.015f);
}

TEST(FrameClock, ShortFramesStillAddUp)
{
    // Frames of 0.4 ms: each alone is under a millisecond, together they are 0.4 s.
    StartFrameClockWith(TEN_MHZ, &ReadTestCounter);
    long long total = 0;
    int zeroFrames = 0;
    for (int i = 0; i < 1000; ++i) {
        const long long ms = FrameMilliseconds(4000);
        total += ms;
        zeroFrames += ms == 0;
    }
    EXPECT_EQ(total, 400);
    EXPECT_GT(zeroFrames, 0) << "most frames are shorter than the clock's resolution";
}

TEST(FrameClock, SixtyHertzFramesAddUpToRealTime)
{
    StartFrameClockWith(TEN_MHZ, &ReadTestCounter);
    long long total = 0;
    for (int i = 0; i < 1000; ++i) {
        const long long ms = FrameMilliseconds(167000);  // 16.7 ms
        EXPECT_TRUE(ms == 16 || ms == 17) << ms;
        total += ms;
    }
    EXPECT_LE(std::llabs(total - 16700), 1);
}

TEST(FrameClock, StaysExactWhenAMillisecondIsNoWholeNumberOfTicks)
{
    s_counter = 123456789;
    StartFrameClockWith(ACPI_TIMER_HZ, &ReadTestCounter);
    // Irregular frame lengths; every frame's sum must stay within 1 ms of real time.
    LONGLONG elapsedTicks = 0;
    long long total = 0;
    for (int i = 0; i < 20000; ++i) {
        const LONGLONG ticks = 1 + (i * 7919) % 60000;
        elapsedTicks += ticks;
        total += FrameMilliseconds(ticks);
        const double real = static_cast<double>(elapsedTicks) * 1000.0 / ACPI_TIMER_HZ;
        ASSERT_LE(real - total, 1.0) << "frame " << i;
        ASSERT_GE(real - total, 0.0) << "frame " << i;
    }
}

TEST(FrameClock, PrimingTickDiscardsTheTimeBeforeIt)
{
    StartFrameClockWith(TEN_MHZ, &ReadTestCounter);
    s_counter += 30 * TEN_MHZ;  // loading
    UpdateFrameClock();         // the tick before the loop, result discarded
    EXPECT_EQ(FrameMilliseconds(200000), 20);
}

TEST(FrameClock, NoCounterFrequencyFallsBackToTheTickCount)
{
    // A counter that reports no frequency must not be divided by; the clock runs
    // on the millisecond tick count instead and the test counter is never read.
    s_counter = 0;
    StartFrameClockWith(0, &ReadTestCounter);
    s_counter = 1000000;
    Sleep(100);
    UpdateFrameClock();
    // The tick count may step in 15.6 ms increments (Windows' default timer).
    EXPECT_GE(GetFrameTime(), 0.07f);
    EXPECT_LT(GetFrameTime(), 5.0f);

    StartFrameClockWith(-1, &ReadTestCounter);
    UpdateFrameClock();
    EXPECT_LT(GetFrameTime(), 5.0f);
}

TEST(FrameClock, RealCounterMeasuresASleep)
{
    StartFrameClock();
    Sleep(40);
    UpdateFrameClock();
    EXPECT_GE(GetFrameTime(), 0.039f);
    EXPECT_LT(GetFrameTime(), 5.0f);
}

TEST(FrameClock, FixedFrameTimeIgnoresTheCounter)
{
    s_counter = 0;
    StartFrameClockWith(TEN_MHZ, &ReadTestCounter);
    UseFixedFrameTime(16);
    EXPECT_EQ(FrameMilliseconds(0), 16) << "a frame that took no time still steps 16 ms";
    EXPECT_EQ(FrameMilliseconds(5000000), 16) << "half a second of real time is not seen";
    EXPECT_FLOAT_EQ(GetFrameTime(), 0.016f);

    // A thousand fixed frames add up as measured frames of 16 ms would.
    float demoTime = 0.0f;
    for (int frame = 0; frame < 1000; ++frame) {
        UpdateFrameClock();
        demoTime += GetFrameTime();
    }
    EXPECT_NEAR(demoTime, 16.0f, 0.01f);

    // Back to measuring: the next frame counts from the switch, not from the
    // last measured tick.
    s_counter += 30000000;
    UseFixedFrameTime(0);
    EXPECT_EQ(FrameMilliseconds(120000), 12);
    UseFixedFrameTime(-5);
    EXPECT_EQ(FrameMilliseconds(70000), 7) << "a negative step keeps measuring";

    // A schedule of its own: zero-length frames too, until measuring is asked for.
    FixFrameTime(0);
    EXPECT_EQ(FrameMilliseconds(5000000), 0);
    FixFrameTime(17);
    EXPECT_EQ(FrameMilliseconds(0), 17);
    FixFrameTime(-3);
    EXPECT_EQ(FrameMilliseconds(90000), 0);
    s_counter += 10000000;
    UseFixedFrameTime(0);
    EXPECT_EQ(FrameMilliseconds(40000), 4) << "measured from the switch";
}
