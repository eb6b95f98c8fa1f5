#include "WaveOutDevice.h"

namespace {

const WaveOutDevice SYSTEM_WAVE_OUT = {
    &waveOutOpen,  &waveOutPrepareHeader,   &waveOutWrite, &waveOutGetPosition,
    &waveOutReset, &waveOutUnprepareHeader, &waveOutClose,
};

const WaveOutDevice* s_pDevice = &SYSTEM_WAVE_OUT;

}  // namespace

const WaveOutDevice& CurrentWaveOutDevice()
{
    return *s_pDevice;
}

void UseWaveOutDevice(const WaveOutDevice* device)
{
    s_pDevice = device ? device : &SYSTEM_WAVE_OUT;
}
