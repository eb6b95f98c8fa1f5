#pragma once

// What winmm answers to an open before any device is touched, the same for the
// stand-in's wave-out on every system; each keeps its own rates.

#include <windows.h>

#include <mmsystem.h>

// winmm's refusals in winmm's order: a notification other than CALLBACK_NULL (none is
// offered), a device other than the default, a format other than 8- or 16-bit PCM,
// mono or stereo, at minRate to maxRate frames a second, then a null handle pointer.
// With WAVE_FORMAT_QUERY the answer for the format and nothing more; the caller opens
// nothing then, whatever it is.
MMRESULT CheckOpenRequest(LPHWAVEOUT waveOut, UINT deviceId, LPCWAVEFORMATEX format, DWORD flags, DWORD minRate,
                          DWORD maxRate);
