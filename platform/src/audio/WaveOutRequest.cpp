#include "WaveOutRequest.h"

MMRESULT CheckOpenRequest(LPHWAVEOUT waveOut, UINT deviceId, LPCWAVEFORMATEX format, DWORD flags, DWORD minRate,
                          DWORD maxRate)
{
    if ((flags & CALLBACK_TYPEMASK) != CALLBACK_NULL)
        return MMSYSERR_NOTSUPPORTED;
    if (deviceId != WAVE_MAPPER && deviceId != 0)
        return MMSYSERR_BADDEVICEID;
    if (!format)
        return MMSYSERR_INVALPARAM;
    const bool supported = format->wFormatTag == WAVE_FORMAT_PCM &&
                           (format->wBitsPerSample == 8 || format->wBitsPerSample == 16) &&
                           (format->nChannels == 1 || format->nChannels == 2) && format->nSamplesPerSec >= minRate &&
                           format->nSamplesPerSec <= maxRate &&
                           format->nBlockAlign == format->nChannels * format->wBitsPerSample / 8;
    if (!supported)
        return WAVERR_BADFORMAT;
    if (!waveOut && !(flags & WAVE_FORMAT_QUERY))
        return MMSYSERR_INVALPARAM;
    return MMSYSERR_NOERROR;
}
