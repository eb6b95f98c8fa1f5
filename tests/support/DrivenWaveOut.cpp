#include "DrivenWaveOut.h"
#include "AudioOutput.h"
#include "WaveHeaderQueue.h"

#include <chrono>
#include <thread>

namespace {

DrivenWaveOut s_device;
WaveHeaderQueue s_headers;
HWAVEOUT const DRIVEN_HANDLE = reinterpret_cast<HWAVEOUT>(&s_device);

bool IsOpen(HWAVEOUT waveOut)
{
    return waveOut == DRIVEN_HANDLE && s_device.open;
}

MMRESULT WINAPI Open(LPHWAVEOUT waveOut, UINT deviceId, LPCWAVEFORMATEX format, DWORD_PTR, DWORD_PTR, DWORD flags)
{
    if (s_device.failOpen)
        return MMSYSERR_NODRIVER;
    if (s_device.open)
        return MMSYSERR_ALLOCATED;
    ++s_device.opens;
    s_device.format = *format;
    s_device.deviceId = deviceId;
    s_device.openFlags = flags;
    s_device.positionBytes = 0;
    s_device.open = true;
    *waveOut = DRIVEN_HANDLE;
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI Prepare(HWAVEOUT waveOut, LPWAVEHDR header, UINT size)
{
    ++s_device.prepares;
    s_device.preparedHeaderSize = size;
    return IsOpen(waveOut) ? s_headers.Prepare(header, size) : MMSYSERR_INVALHANDLE;
}

MMRESULT WINAPI Write(HWAVEOUT waveOut, LPWAVEHDR header, UINT size)
{
    ++s_device.writes;
    if (!IsOpen(waveOut))
        return MMSYSERR_INVALHANDLE;
    const MMRESULT result = s_headers.Write(header, size);
    if (result == MMSYSERR_NOERROR)
        s_device.writtenHeader = header;
    return result;
}

MMRESULT WINAPI GetPosition(HWAVEOUT waveOut, LPMMTIME time, UINT size)
{
    if (!IsOpen(waveOut))
        return MMSYSERR_INVALHANDLE;
    if (size < sizeof(MMTIME))
        return MMSYSERR_INVALPARAM;
    time->wType = TIME_BYTES;
    time->u.cb = s_device.positionBytes;
    ++s_device.positionReads;
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI Reset(HWAVEOUT waveOut)
{
    if (!IsOpen(waveOut))
        return MMSYSERR_INVALHANDLE;
    ++s_device.resets;
    if (s_device.onReset)
        s_device.onReset();
    s_headers.RetireAll();
    s_device.positionBytes = 0;
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI Unprepare(HWAVEOUT waveOut, LPWAVEHDR header, UINT size)
{
    ++s_device.unprepares;
    return IsOpen(waveOut) ? s_headers.Unprepare(header, size) : MMSYSERR_INVALHANDLE;
}

MMRESULT WINAPI Close(HWAVEOUT waveOut)
{
    if (!IsOpen(waveOut))
        return MMSYSERR_INVALHANDLE;
    if (!s_headers.Empty())
        return WAVERR_STILLPLAYING;
    ++s_device.closes;
    s_device.open = false;
    s_device.writtenHeader = nullptr;
    return MMSYSERR_NOERROR;
}

const WaveOutDevice DRIVEN_DEVICE = {&Open, &Prepare, &Write, &GetPosition, &Reset, &Unprepare, &Close};

bool WaitUntil(int positionReads)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (s_device.positionReads < positionReads) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

}  // namespace

DrivenWaveOut& InstallDrivenWaveOut()
{
    s_device.opens = 0;
    s_device.closes = 0;
    s_device.resets = 0;
    s_device.writes = 0;
    s_device.prepares = 0;
    s_device.unprepares = 0;
    s_device.positionReads = 0;
    s_device.open = false;
    s_device.failOpen = false;
    s_device.positionBytes = 0;
    s_device.writtenHeader = nullptr;
    s_headers = WaveHeaderQueue();
    s_device.format = WAVEFORMATEX();
    s_device.onReset = nullptr;
    UseWaveOutDevice(&DRIVEN_DEVICE);
    return s_device;
}

void RemoveDrivenWaveOut()
{
    UseWaveOutDevice(nullptr);
}

// Without a mixing thread the test is the host: it runs the service step itself.
bool ServiceByHand(int steps)
{
    const int reads = s_device.positionReads + steps;
    for (int step = 0; step < steps; ++step)
        ServiceAudioOutput();
    return s_device.positionReads == reads;
}

bool WaitForPolls(int count)
{
    if (!Output.thread)
        return ServiceByHand(count);
    return WaitUntil(s_device.positionReads + count);
}

bool DriveTo(uint32_t positionBytes)
{
    s_device.positionBytes = positionBytes;
    if (!Output.thread)
        return ServiceByHand(1);
    // A poll counts itself after reading, so the next count may belong to a read
    // of the old position; the one after it read the new position, and the third
    // can only come once that poll's fills are done.
    return WaitUntil(s_device.positionReads + 3);
}
