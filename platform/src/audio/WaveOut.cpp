#include <mmsystem.h>

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <deque>
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
    std::deque<LPWAVEHDR> queue;
    DWORD offset;         // bytes of the front header already played
    DWORD playsLeft;      // of the front header, counting the one under way
    uint64_t bytesPlayed; // handed to the device since open or reset
    bool running;
};

namespace {

const Uint16 DEVICE_BUFFER_FRAMES = 1024;

std::mutex s_handlesLock;
std::vector<HWAVEOUT> s_handles;

bool IsOpen(HWAVEOUT waveOut)
{
    std::lock_guard<std::mutex> guard(s_handlesLock);
    return waveOut && std::find(s_handles.begin(), s_handles.end(), waveOut) != s_handles.end();
}

// The checks every header call makes first, in winmm's order: the handle, then the header.
MMRESULT CheckHeaderCall(HWAVEOUT waveOut, const WAVEHDR* header, UINT headerSize)
{
    if (!IsOpen(waveOut))
        return MMSYSERR_INVALHANDLE;
    if (!header || headerSize < sizeof(WAVEHDR))
        return MMSYSERR_INVALPARAM;
    return MMSYSERR_NOERROR;
}

bool IsLoopHeader(const WAVEHDR* header)
{
    return (header->dwFlags & (WHDR_BEGINLOOP | WHDR_ENDLOOP)) == (WHDR_BEGINLOOP | WHDR_ENDLOOP);
}

DWORD PlaysOf(const WAVEHDR* header)
{
    return IsLoopHeader(header) && header->dwLoops > 1 ? header->dwLoops : 1;
}

void RetireFront(HWAVEOUT waveOut)
{
    LPWAVEHDR done = waveOut->queue.front();
    waveOut->queue.pop_front();
    done->dwFlags = (done->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
    waveOut->offset = 0;
    waveOut->playsLeft = waveOut->queue.empty() ? 0 : PlaysOf(waveOut->queue.front());
}

void SDLCALL Feed(void* userData, Uint8* stream, int length)
{
    HWAVEOUT waveOut = static_cast<HWAVEOUT>(userData);
    while (length > 0) {
        if (waveOut->queue.empty()) {
            std::memset(stream, waveOut->silence, static_cast<size_t>(length));
            return;
        }
        LPWAVEHDR header = waveOut->queue.front();
        if (header->dwBufferLength == 0 || !header->lpData) {
            RetireFront(waveOut);
            continue;
        }
        const DWORD available = header->dwBufferLength - waveOut->offset;
        const DWORD count = std::min(available, static_cast<DWORD>(length));
        std::memcpy(stream, header->lpData + waveOut->offset, count);
        stream += count;
        length -= static_cast<int>(count);
        waveOut->offset += count;
        waveOut->bytesPlayed += count;
        if (waveOut->offset == header->dwBufferLength) {
            if (waveOut->playsLeft > 1) {
                --waveOut->playsLeft;
                waveOut->offset = 0;
            } else {
                RetireFront(waveOut);
            }
        }
    }
}

MMRESULT CheckFormat(LPCWAVEFORMATEX format)
{
    if (!format)
        return MMSYSERR_INVALPARAM;
    const bool supported = format->wFormatTag == WAVE_FORMAT_PCM &&
                           (format->wBitsPerSample == 8 || format->wBitsPerSample == 16) &&
                           (format->nChannels == 1 || format->nChannels == 2) && format->nSamplesPerSec > 0 &&
                           format->nSamplesPerSec <= 384000 &&
                           format->nBlockAlign == format->nChannels * format->wBitsPerSample / 8;
    return supported ? MMSYSERR_NOERROR : WAVERR_BADFORMAT;
}

}  // namespace

MMRESULT WINAPI waveOutOpen(LPHWAVEOUT waveOut, UINT deviceId, LPCWAVEFORMATEX format, DWORD_PTR,
                            DWORD_PTR, DWORD flags)
{
    // Notifications (window, thread, function or event callbacks) are not offered.
    if ((flags & CALLBACK_TYPEMASK) != CALLBACK_NULL)
        return MMSYSERR_NOTSUPPORTED;
    if (deviceId != WAVE_MAPPER && deviceId != 0)
        return MMSYSERR_BADDEVICEID;
    const MMRESULT formatCheck = CheckFormat(format);
    if (formatCheck != MMSYSERR_NOERROR || (flags & WAVE_FORMAT_QUERY))
        return formatCheck;
    if (!waveOut)
        return MMSYSERR_INVALPARAM;

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
    if (const MMRESULT checked = CheckHeaderCall(waveOut, header, headerSize))
        return checked;
    if (header->dwFlags & WHDR_INQUEUE)
        return WAVERR_STILLPLAYING;
    header->dwFlags = (header->dwFlags & ~WHDR_DONE) | WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI waveOutWrite(HWAVEOUT waveOut, LPWAVEHDR header, UINT headerSize)
{
    if (const MMRESULT checked = CheckHeaderCall(waveOut, header, headerSize))
        return checked;
    if (!(header->dwFlags & WHDR_PREPARED))
        return WAVERR_UNPREPARED;
    if (header->dwFlags & WHDR_INQUEUE)
        return WAVERR_STILLPLAYING;

    SDL_LockAudioDevice(waveOut->device);
    header->dwFlags = (header->dwFlags & ~WHDR_DONE) | WHDR_INQUEUE;
    if (waveOut->queue.empty()) {
        waveOut->offset = 0;
        waveOut->playsLeft = PlaysOf(header);
    }
    waveOut->queue.push_back(header);
    const bool start = !waveOut->running;
    waveOut->running = true;
    SDL_UnlockAudioDevice(waveOut->device);
    if (start)
        SDL_PauseAudioDevice(waveOut->device, 0);
    return MMSYSERR_NOERROR;
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
    case TIME_SAMPLES:
        time->u.sample = static_cast<DWORD>(bytes / waveOut->format.nBlockAlign);
        break;
    case TIME_MS:
        time->u.ms = static_cast<DWORD>(bytes * 1000 / waveOut->format.nAvgBytesPerSec);
        break;
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
    while (!waveOut->queue.empty())
        RetireFront(waveOut);
    waveOut->bytesPlayed = 0;
    waveOut->running = false;
    SDL_UnlockAudioDevice(waveOut->device);
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI waveOutUnprepareHeader(HWAVEOUT waveOut, LPWAVEHDR header, UINT headerSize)
{
    if (const MMRESULT checked = CheckHeaderCall(waveOut, header, headerSize))
        return checked;
    if (header->dwFlags & WHDR_INQUEUE)
        return WAVERR_STILLPLAYING;
    header->dwFlags &= ~WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI waveOutClose(HWAVEOUT waveOut)
{
    if (!IsOpen(waveOut))
        return MMSYSERR_INVALHANDLE;
    SDL_LockAudioDevice(waveOut->device);
    const bool playing = !waveOut->queue.empty();
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
