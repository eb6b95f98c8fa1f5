#include "CaptureWaveOut.h"

#include "BlockFill.h"
#include "WaveHeaderQueue.h"
#include "WaveOutDevice.h"

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

namespace {

const int BYTES_PER_FRAME = 4;
// Each step the position moves at most half a ring, so the frames it passes are
// always inside what the ring holds ahead of the thread.
const int64_t LARGEST_STEP = RingFrames / 2;

struct CaptureDevice {
    bool keepPcm = false;
    std::atomic<bool> open{false};
    WaveHeaderQueue headers;
    LPWAVEHDR header = nullptr;        // the looping ring, once written
    std::atomic<int64_t> position{0};  // frames played since open
    // The mixing thread polls, fills every block before the one the position is
    // in, then polls again: at each poll, the previous poll's reading is filled.
    int64_t lastReading = 0;            // mixing thread only
    std::atomic<int64_t> filledFor{0};  // a reading whose fills are done
    std::vector<int16_t> pcm;
};

CaptureDevice s_device;
HWAVEOUT const CAPTURE_HANDLE = reinterpret_cast<HWAVEOUT>(&s_device);

bool IsOpen(HWAVEOUT waveOut)
{
    return waveOut == CAPTURE_HANDLE && s_device.open;
}

MMRESULT WINAPI Open(LPHWAVEOUT waveOut, UINT, LPCWAVEFORMATEX format, DWORD_PTR, DWORD_PTR, DWORD)
{
    if (!waveOut || !format)
        return MMSYSERR_INVALPARAM;
    if (s_device.open)
        return MMSYSERR_ALLOCATED;
    if (format->wFormatTag != WAVE_FORMAT_PCM || format->nChannels != 2 || format->wBitsPerSample != 16 ||
        format->nSamplesPerSec != static_cast<DWORD>(MixRate))
        return WAVERR_BADFORMAT;
    s_device.headers = WaveHeaderQueue();
    s_device.header = nullptr;
    s_device.position = 0;
    s_device.lastReading = 0;
    s_device.filledFor = 0;
    s_device.pcm.clear();
    s_device.open = true;
    *waveOut = CAPTURE_HANDLE;
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI Prepare(HWAVEOUT waveOut, LPWAVEHDR header, UINT size)
{
    return IsOpen(waveOut) ? s_device.headers.Prepare(header, size) : MMSYSERR_INVALHANDLE;
}

MMRESULT WINAPI Write(HWAVEOUT waveOut, LPWAVEHDR header, UINT size)
{
    if (!IsOpen(waveOut))
        return MMSYSERR_INVALHANDLE;
    // Only the one looping ring the audio output writes is understood.
    if (s_device.header || !header || header->dwBufferLength != static_cast<DWORD>(RingFrames) * BYTES_PER_FRAME)
        return MMSYSERR_INVALPARAM;
    const MMRESULT result = s_device.headers.Write(header, size);
    if (result == MMSYSERR_NOERROR)
        s_device.header = header;
    return result;
}

MMRESULT WINAPI GetPosition(HWAVEOUT waveOut, LPMMTIME time, UINT size)
{
    if (!IsOpen(waveOut) || !time || size < sizeof(MMTIME))
        return MMSYSERR_INVALPARAM;
    s_device.filledFor = s_device.lastReading;
    const int64_t position = s_device.position;
    s_device.lastReading = position;
    time->wType = TIME_BYTES;
    // A 32-bit byte count that wraps, as a real device's does.
    time->u.cb = static_cast<DWORD>(static_cast<uint64_t>(position) * BYTES_PER_FRAME);
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI Reset(HWAVEOUT waveOut)
{
    if (!IsOpen(waveOut))
        return MMSYSERR_INVALHANDLE;
    s_device.headers.RetireAll();
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI Unprepare(HWAVEOUT waveOut, LPWAVEHDR header, UINT size)
{
    return IsOpen(waveOut) ? s_device.headers.Unprepare(header, size) : MMSYSERR_INVALHANDLE;
}

MMRESULT WINAPI Close(HWAVEOUT waveOut)
{
    if (!IsOpen(waveOut))
        return MMSYSERR_INVALHANDLE;
    if (!s_device.headers.Empty())
        return WAVERR_STILLPLAYING;
    s_device.header = nullptr;
    s_device.open = false;
    return MMSYSERR_NOERROR;
}

const WaveOutDevice CAPTURE_DEVICE = {&Open, &Prepare, &Write, &GetPosition, &Reset, &Unprepare, &Close};

// The ring holds valid frames from the start of the block that holds `filled` up
// to one ring length later.
int64_t RingHoldsUpTo(int64_t filled)
{
    return filled - filled % BlockFrames + RingFrames;
}

bool WaitUntilRingHolds(int64_t frame)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (RingHoldsUpTo(s_device.filledFor) < frame) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

void KeepFrames(int64_t from, int64_t to)
{
    const int16_t* ring = reinterpret_cast<const int16_t*>(s_device.header->lpData);
    while (from < to) {
        const int64_t index = from % RingFrames;
        const int64_t count = std::min<int64_t>(to - from, RingFrames - index);
        s_device.pcm.insert(s_device.pcm.end(), ring + index * 2, ring + (index + count) * 2);
        from += count;
    }
}

}  // namespace

void InstallCaptureWaveOut(bool keepPcm)
{
    s_device.keepPcm = keepPcm;
    s_device.pcm.clear();
    UseWaveOutDevice(&CAPTURE_DEVICE);
}

void RemoveCaptureWaveOut()
{
    UseWaveOutDevice(nullptr);
}

bool CaptureWaveOutOpen()
{
    return s_device.open && s_device.header;
}

bool PlayCaptureWaveOutTo(int64_t frame)
{
    if (!CaptureWaveOutOpen())
        return true;
    int64_t played = s_device.position;
    while (played < frame) {
        const int64_t next = std::min(frame, played + LARGEST_STEP);
        if (s_device.keepPcm) {
            if (!WaitUntilRingHolds(next))
                return false;
            KeepFrames(played, next);
        }
        played = next;
        s_device.position = played;
    }
    return true;
}

const std::vector<int16_t>& CapturedPcm()
{
    return s_device.pcm;
}
