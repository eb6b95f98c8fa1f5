#pragma once

#include <windows.h>

// The frame clock: once per drawn frame it measures how long the previous frame
// took, in whole milliseconds. Every animation advances by that value. Main thread only.

// Reads a counter that runs at a fixed frequency.
typedef LONGLONG (*CounterReadFunc)();

// Starts on the performance counter; when that reports no frequency, on the
// millisecond tick count instead.
void StartFrameClock();
// Starts on the given counter (tests drive the clock with their own). A frequency
// of 0 or less selects the millisecond tick count instead, as StartFrameClock does.
void StartFrameClockWith(LONGLONG frequency, CounterReadFunc readCounter);

// One tick: the time since the previous tick, truncated to whole milliseconds,
// becomes the frame time. The sub-millisecond rest is carried into the next frame,
// so the frame times add up to the real elapsed time within one millisecond.
void UpdateFrameClock();
// From now on every tick yields exactly this many milliseconds, whatever the
// counter says: a fixed time step for tools that render the timeline frame by
// frame. 0 or less goes back to measuring.
void UseFixedFrameTime(int milliseconds);
// The same with 0 allowed (a negative time counts as 0): a tool that renders on a
// schedule of its own sets the length of each coming frame, a frame that shows the
// timeline's start or the same time again included. UseFixedFrameTime(0) goes back
// to measuring.
void FixFrameTime(int milliseconds);

// The previous frame's duration in seconds; changes only at a tick.
float GetFrameTime();
