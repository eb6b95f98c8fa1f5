#pragma once

// The wave-out functions the audio output plays through. Normally the system's
// (winmm on Windows, the stand-in layer on Linux); a test installs a device of its
// own to drive the play position by hand and look at what reaches the device.

#include <windows.h>

#include <mmsystem.h>

struct WaveOutDevice {
    MMRESULT(WINAPI* open)(LPHWAVEOUT, UINT, LPCWAVEFORMATEX, DWORD_PTR, DWORD_PTR, DWORD);
    MMRESULT(WINAPI* prepareHeader)(HWAVEOUT, LPWAVEHDR, UINT);
    MMRESULT(WINAPI* write)(HWAVEOUT, LPWAVEHDR, UINT);
    MMRESULT(WINAPI* getPosition)(HWAVEOUT, LPMMTIME, UINT);
    MMRESULT(WINAPI* reset)(HWAVEOUT);
    MMRESULT(WINAPI* unprepareHeader)(HWAVEOUT, LPWAVEHDR, UINT);
    MMRESULT(WINAPI* close)(HWAVEOUT);
};

// The device in use. Change it only while nothing plays.
const WaveOutDevice& CurrentWaveOutDevice();
// Null puts the system's wave-out back.
void UseWaveOutDevice(const WaveOutDevice* device);
