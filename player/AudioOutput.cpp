#include "AudioOutput.h"

#include "FileCallbacks.h"
#include "MixingDriver.h"
#include "OutputHook.h"
#include "PlayState.h"
#include "WaveOutDevice.h"

AudioOutput Output;

namespace {

const DWORD ENDLESS_LOOPS = 0xFFFFFFFFu;
const uint64_t AUDIBLE_VALID = uint64_t(1) << 63;

WAVEFORMATEX OutputFormat()
{
    WAVEFORMATEX format;
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 2;
    format.nSamplesPerSec = MixRate;
    format.nAvgBytesPerSec = MixRate * 4;
    format.nBlockAlign = 4;
    format.wBitsPerSample = 16;
    format.cbSize = 0;
    return format;
}

uint64_t PackPosition(const BlockPosition& position)
{
    return AUDIBLE_VALID | uint64_t(position.orderPos) << 40 | uint64_t(position.row) << 32 |
           uint64_t(uint32_t(position.playTimeMs));
}

// Reads the device's byte count; false when the device would not say.
bool ReadDeviceBytes(uint64_t& bytes)
{
    MMTIME time = {};
    time.wType = TIME_BYTES;
    if (CurrentWaveOutDevice().getPosition(Output.device, &time, sizeof time) != MMSYSERR_NOERROR)
        return false;
    uint32_t reading;
    switch (time.wType) {
    case TIME_BYTES: reading = time.u.cb; break;
    case TIME_SAMPLES: reading = time.u.sample * 4u; break;
    default: return false;
    }
    bytes = AdvanceDevicePosition(Output.position, reading);
    return true;
}

// FreeSong calls this before freeing a song: no fill may run on, and no output
// may play, when the memory goes.
void StopBeforeFree(Song* song)
{
    while (Output.mixBusy)
        ;
    StopPlayback(song);
}

}  // namespace

bool StartPlayback(Song* song)
{
    if (!song)
        return false;
    StopPlayback(song);
    if (!FileCallbacksRegistered())
        return false;
    SetOutputStopper(&StopBeforeFree);

    ResetPlayState(song);
    if (!OpenBlockRing(song))
        return false;

    const WAVEFORMATEX format = OutputFormat();
    const WaveOutDevice& device = CurrentWaveOutDevice();
    HWAVEOUT opened = nullptr;
    if (device.open(&opened, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR ||
        !opened) {
        // Nothing may stay behind for a StopPlayback that might never come.
        CloseBlockRing();
        return false;
    }
    Output.device = opened;
    ResetDevicePosition(Output.position);
    Output.audible = 0;

    WAVEHDR& header = Output.header;
    header = WAVEHDR();
    header.lpData = reinterpret_cast<LPSTR>(PlayRing.pcmRing);
    header.dwBufferLength = static_cast<DWORD>(RingFrames) * 4;
    header.dwFlags = WHDR_BEGINLOOP | WHDR_ENDLOOP;
    header.dwLoops = ENDLESS_LOOPS;
    // The header's own size: 32 bytes is right only for 32-bit Windows.
    device.prepareHeader(Output.device, &header, sizeof(WAVEHDR));

    // The first ring length of the song is mixed before anything is heard.
    for (int32_t block = 0; block < BlockCount; ++block)
        FillBlock();

    device.write(Output.device, &header, sizeof(WAVEHDR));

    Output.stopRequested = false;
    StartMixing();
    return true;
}

bool StopPlayback(Song* song)
{
    if (!song)
        return false;
    Output.stopRequested = true;
    while (Output.mixBusy)
        ;
    StopMixing();
    if (Output.device) {
        const WaveOutDevice& device = CurrentWaveOutDevice();
        device.reset(Output.device);
        if (PlayRing.pcmRing)
            device.unprepareHeader(Output.device, &Output.header, sizeof(WAVEHDR));
        device.close(Output.device);
        Output.device = nullptr;
    }
    Output.audible = 0;
    CloseBlockRing();
    return true;
}

void ServiceAudioOutput()
{
    uint64_t bytes;
    if (!Output.device || !PlayRing.currentSong || !ReadDeviceBytes(bytes))
        return;
    const int32_t playing = PlayingBlock(bytes, RingFrames, BlockFrames);
    while (PlayRing.nextBlock != playing) {
        Output.mixBusy = true;
        FillBlock();
        Output.mixBusy = false;
    }
    Output.audible = PackPosition(PlayRing.positions[playing]);
}

bool GetAudiblePosition(BlockPosition* position)
{
    const uint64_t packed = Output.audible;
    if (!(packed & AUDIBLE_VALID) || !position)
        return false;
    position->orderPos = uint8_t(packed >> 40);
    position->row = uint8_t(packed >> 32);
    position->playTimeMs = int32_t(uint32_t(packed));
    return true;
}
