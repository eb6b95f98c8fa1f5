#pragma once

// What runs the audio output's service step (ServiceAudioOutput) while a song
// plays; one small file per kind of build. MixingThread.cpp, on Windows and Linux,
// runs it on a thread of its own every 5 ms; MixingByHost.cpp, for a build without
// threads, starts nothing and leaves the calls to the host's frame loop and timer.

#include <windows.h>

// StartPlayback's last step, once the ring is mixed and the device loops over it.
void StartMixing();

// Part of StopPlayback, after it has set stopRequested and waited out a running
// fill: returns once no service step runs or will run for this play.
void StopMixing();

// The thread function, where there are threads: the service step every 5 ms until
// stopRequested is set.
DWORD WINAPI MixingThread(LPVOID parameter);
