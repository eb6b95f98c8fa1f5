#include "WaveHeaderQueue.h"
#include "WaveOutRequest.h"

#include <mmsystem.h>

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <new>
#include <vector>

// One open wave-out device: an SDL audio device whose callback plays the queued
// headers in order. Everything the callback reads is changed only with the SDL
// device locked.
struct HWAVEOUT__ {
    SDL_AudioDeviceID device;
    WAVEFORMATEX format;
    Uint8 silence;
    WaveHeaderQueue headers;
    uint64_t bytesPlayed;  // handed to the device since open or reset
    bool running;
};

namespace {

const Uint16 DEVICE_BUFFER_FRAMES = 1024;
const DWORD MAX_RATE = 384000;

std::mutex s_handlesLock;
std::vector<HWAVEOUT> s_handles;

bool IsOpen(HWAVEOUT waveOut)
{
    std::lock_guard<std::mutex> guard(s_handlesLock);
    return waveOut && std::find(s_handles.begin(), s_handles.end(), waveOut) != s_handles.end();
}

// A header call on an open device's queue, made while the callback cannot run.
MMRESULT LockedHeaderCall(HWAVEOUT waveOut, MMRESULT (WaveHeaderQueue::*call)(LPWAVEHDR, UINT), LPWAVEHDR header,
                          UINT headerSize)
{
    if (!IsOpen(waveOut))
        return MMSYSERR_INVALHANDLE;
    SDL_LockAudioDevice(waveOut->device);
    const MMRESULT result = (waveOut->headers.*call)(header, headerSize);
    SDL_UnlockAudioDevice(waveOut->device);
    return result;
}

void SDLCALL Feed(void* userData, Uint8* stream, int length)
{
    HWAVEOUT waveOut = static_cast<HWAVEOUT>(userData);
    const size_t played = waveOut->headers.Play(stream, static_cast<size_t>(length));
    waveOut->bytesPlayed += played;
    std::memset(stream + played, waveOut->silence, static_cast<size_t>(length) - played);
}

}  // namespace

MMRESULT WINAPI waveOutOpen(LPHWAVEOUT waveOut, UINT deviceId, LPCWAVEFORMATEX format, DWORD_PTR, DWORD_PTR,
                            DWORD flags)
{
    const MMRESULT checked = CheckOpenRequest(waveOut, deviceId, format, flags, 1, MAX_RATE);
    if (checked != MMSYSERR_NOERROR || (flags & WAVE_FORMAT_QUERY))
        return checked;

    HWAVEOUT opened = new (std::nothrow) HWAVEOUT__();
    if (!opened)
        return MMSYSERR_NOMEM;
    opened->format = *format;
    opened->format.cbSize = 0;

    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        delete opened;
        return MMSYSERR_NODRIVER;
    }
    SDL_AudioSpec wanted = {};
    wanted.freq = static_cast<int>(format->nSamplesPerSec);
    wanted.format = format->wBitsPerSample == 16 ? AUDIO_S16LSB : AUDIO_U8;
    wanted.channels = static_cast<Uint8>(format->nChannels);
    wanted.samples = DEVICE_BUFFER_FRAMES;
    wanted.callback = &Feed;
    wanted.userdata = opened;
    SDL_AudioSpec obtained = {};
    // No changes allowed: SDL converts to whatever the hardware wants, so the
    // callback always receives bytes in the format the caller gave.
    opened->device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (opened->device == 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        delete opened;
        return MMSYSERR_NODRIVER;
    }
    opened->silence = obtained.silence;
    {
        std::lock_guard<std::mutex> guard(s_handlesLock);
        s_handles.push_back(opened);
    }
    *waveOut = opened;
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI waveOutPrepareHeader(HWAVEOUT waveOut, LPWAVEHDR header, UINT headerSize)
{
    return LockedHeaderCall(waveOut, &WaveHeaderQueue::Prepare, header, headerSize);
}

MMRESULT WINAPI waveOutWrite(HWAVEOUT waveOut, LPWAVEHDR header, UINT headerSize)
{
    if (!IsOpen(waveOut))
        return MMSYSERR_INVALHANDLE;
    SDL_LockAudioDevice(waveOut->device);
    const MMRESULT result = waveOut->headers.Write(header, headerSize);
    const bool start = result == MMSYSERR_NOERROR && !waveOut->running;
    if (start)
        waveOut->running = true;
    SDL_UnlockAudioDevice(waveOut->device);
    if (start)
        SDL_PauseAudioDevice(waveOut->device, 0);
    return result;
}

MMRESULT WINAPI waveOutGetPosition(HWAVEOUT waveOut, LPMMTIME time, UINT timeSize)
{
    if (!IsOpen(waveOut))
        return MMSYSERR_INVALHANDLE;
    if (!time || timeSize < sizeof(MMTIME))
        return MMSYSERR_INVALPARAM;
    SDL_LockAudioDevice(waveOut->device);
    const uint64_t bytes = waveOut->bytesPlayed;
    SDL_UnlockAudioDevice(waveOut->device);

    switch (time->wType) {
    case TIME_SAMPLES: time->u.sample = static_cast<DWORD>(bytes / waveOut->format.nBlockAlign); break;
    case TIME_MS: time->u.ms = static_cast<DWORD>(bytes * 1000 / waveOut->format.nAvgBytesPerSec); break;
    default:
        time->wType = TIME_BYTES;
        time->u.cb = static_cast<DWORD>(bytes);  // wraps after 2^32 bytes, as winmm's count does
        break;
    }
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI waveOutReset(HWAVEOUT waveOut)
{
    if (!IsOpen(waveOut))
        return MMSYSERR_INVALHANDLE;
    SDL_PauseAudioDevice(waveOut->device, 1);
    SDL_LockAudioDevice(waveOut->device);
    waveOut->headers.RetireAll();
    waveOut->bytesPlayed = 0;
    waveOut->running = false;
    SDL_UnlockAudioDevice(waveOut->device);
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI waveOutUnprepareHeader(HWAVEOUT waveOut, LPWAVEHDR header, UINT headerSize)
{
    return LockedHeaderCall(waveOut, &WaveHeaderQueue::Unprepare, header, headerSize);
}

MMRESULT WINAPI waveOutClose(HWAVEOUT waveOut)
{
    if (!IsOpen(waveOut))
        return MMSYSERR_INVALHANDLE;
    SDL_LockAudioDevice(waveOut->device);
    const bool playing = !waveOut->headers.Empty();
    SDL_UnlockAudioDevice(waveOut->device);
    if (playing)
        return WAVERR_STILLPLAYING;
    {
        std::lock_guard<std::mutex> guard(s_handlesLock);
        s_handles.erase(std::find(s_handles.begin(), s_handles.end(), waveOut));
    }
    SDL_CloseAudioDevice(waveOut->device);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    delete waveOut;
    return MMSYSERR_NOERROR;
}
