#pragma once

// Plays one Song through the wave-out device: the block ring (BlockFill.h) is
// played by the device in an endless loop, and a mixing thread refills every
// block as soon as the device has left it. There is one output per process.
//
// The host calls StartPlayback and StopPlayback from one thread. Between them the
// Song, its Channels, the voices and the ring belong to the mixing thread.

#include "BlockFill.h"
#include "DevicePosition.h"
#include "Song.h"

#include <windows.h>

#include <mmsystem.h>

#include <atomic>

struct AudioOutput {
    HWAVEOUT device = nullptr;  // null while closed
    WAVEHDR header = {};        // the whole PCM ring, looped endlessly
    HANDLE thread = nullptr;    // the mixing thread; null when none runs
    DevicePosition position = {};
    // Sequentially consistent: StopPlayback stores stopRequested and then reads
    // mixBusy and threadDone; the thread stores threadDone = false and then reads
    // stopRequested. Neither store may pass the read after it.
    std::atomic<bool> stopRequested{false};
    std::atomic<bool> mixBusy{false};    // the thread is inside FillBlock
    std::atomic<bool> threadDone{true};  // true until a thread starts, and once it has left
    // The audible block's position, published by the thread (see GetAudiblePosition).
    std::atomic<uint64_t> audible{0};
};

extern AudioOutput Output;

// Stops whatever plays, puts the song at its beginning, mixes the whole ring
// (about 2 s) on the caller's thread, starts the device looping over it and
// starts the mixing thread at time-critical priority. False, with nothing left
// allocated or open, for a null song, while the FileCallbacks are not all
// registered (no device is opened then), when memory runs out or when no
// wave-out device can be opened.
bool StartPlayback(Song* song);

// Stops the output, whatever song plays: waits for the mixing thread to end,
// stops and closes the device, frees the ring. False, doing nothing, for a null
// song; true otherwise, also when nothing played.
bool StopPlayback(Song* song);

// The thread function: polls the device every 5 ms and refills every block it
// has finished, up to the one it plays.
DWORD WINAPI MixingThread(LPVOID parameter);

// Where the song stands in what is audible now: the block position of the block
// the device plays, as the mixing thread saw it at its last poll. Safe from any
// thread. False while nothing plays.
bool GetAudiblePosition(BlockPosition* position);
