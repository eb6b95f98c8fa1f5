#pragma once

// A wave-out device for tests: it plays nothing, and its byte position is whatever
// the test sets. It records what the audio output asked of it and lets the test see
// the header (and so the PCM ring) the output wrote.

#include "WaveOutDevice.h"

#include <atomic>
#include <cstdint>

struct DrivenWaveOut {
    std::atomic<int> opens{0};
    std::atomic<int> closes{0};
    std::atomic<int> resets{0};
    std::atomic<int> writes{0};
    std::atomic<int> prepares{0};
    std::atomic<int> unprepares{0};
    std::atomic<int> positionReads{0};  // the mixing thread's polls
    std::atomic<bool> open{false};
    std::atomic<bool> failOpen{false};
    std::atomic<uint32_t> positionBytes{0};
    std::atomic<LPWAVEHDR> writtenHeader{nullptr};
    // What the last open asked for.
    WAVEFORMATEX format = {};
    UINT deviceId = 0;
    DWORD openFlags = 0;
    UINT preparedHeaderSize = 0;
    // Called by reset, so a test can look at the world as the device stops.
    void (*onReset)() = nullptr;
};

// Installs the driven device (fresh counters, position 0) in place of the system's.
DrivenWaveOut& InstallDrivenWaveOut();
// Puts the system's wave-out back.
void RemoveDrivenWaveOut();

// Sets the device position and waits until every fill the mixing thread does for
// it has finished. False after 10 s. Where no mixing thread runs (an output
// serviced by its host), runs one service step instead.
bool DriveTo(uint32_t positionBytes);
// Waits until the mixing thread has polled `count` more times; false after 10 s.
// Without a thread, runs `count` service steps; false if they did not all poll.
bool WaitForPolls(int count);
