#pragma once

// Plays one Song through the wave-out device: the block ring (BlockFill.h) is
// played by the device in an endless loop, and a service step refills every
// block as soon as the device has left it. On Windows and Linux a mixing thread
// runs the step (MixingThread.cpp); a build without threads (MixingByHost.cpp)
// leaves it to the host. There is one output per process.
//
// The host calls StartPlayback and StopPlayback from one thread. Between them the
// Song, its Channels, the voices and the ring belong to whoever runs the step.

#include "BlockFill.h"
#include "DevicePosition.h"
#include "Song.h"

#include <windows.h>

#include <mmsystem.h>

#include <atomic>

struct AudioOutput {
    HWAVEOUT device = nullptr;  // null while closed
    WAVEHDR header = {};        // the whole PCM ring, looped endlessly
    HANDLE thread = nullptr;    // the mixing thread; null when none runs (always, without threads)
    DevicePosition position = {};
    // Sequentially consistent: StopPlayback stores stopRequested and then reads
    // mixBusy and threadDone; the thread stores threadDone = false and then reads
    // stopRequested. Neither store may pass the read after it.
    std::atomic<bool> stopRequested{false};
    std::atomic<bool> mixBusy{false};    // the service step is inside FillBlock
    std::atomic<bool> threadDone{true};  // true until a thread starts, and once it has left
    // The audible block's position, published by the service step (see GetAudiblePosition).
    std::atomic<uint64_t> audible{0};
};

extern AudioOutput Output;

// Stops whatever plays, puts the song at its beginning, mixes the whole ring
// (about 2 s) on the caller's thread, starts the device looping over it and
// starts the mixing thread at time-critical priority (where there are threads).
// False, with nothing left
// allocated or open, for a null song, while the FileCallbacks are not all
// registered (no device is opened then), when memory runs out or when no
// wave-out device can be opened.
bool StartPlayback(Song* song);

// Stops the output, whatever song plays: waits for a running fill and the
// mixing thread to end, stops and closes the device, frees the ring. False, doing nothing, for a null
// song; true otherwise, also when nothing played.
bool StopPlayback(Song* song);

// One service step: reads the device's play position, refills every block the
// device has finished, up to the one it plays, and publishes that block's
// position. The mixing thread runs it every 5 ms; a build without threads calls
// it from its frame loop and a timer, often enough that the device never
// reaches a block before it is refilled (the ring holds about 2 s). Only one
// caller at a time; does nothing while nothing plays.
void ServiceAudioOutput();

// Where the song stands in what is audible now: the block position of the block
// the device plays, as the service step saw it at its last poll. Safe from any
// thread. False while nothing plays.
bool GetAudiblePosition(BlockPosition* position);
