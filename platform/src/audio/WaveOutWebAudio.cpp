#include "WaveHeaderQueue.h"
#include "WaveOutRequest.h"

#include <mmsystem.h>

#include <emscripten/emscripten.h>

// Wave-out in the browser, over Web Audio. A page has no audio thread of its own to
// pull the headers, so the device pushes: whenever it is asked for its position it
// copies the queued headers a chunk at a time into AudioBufferSourceNodes scheduled
// back to back, until they reach LEAD_SECONDS past the audio clock, and it answers
// the position from that clock. The caller's polls are therefore what keeps the
// sound going; a poll gap longer than the lead is heard as a pause, after which the
// schedule starts again from the audio clock where it ran dry.
//
// The schedule lives in JavaScript, in Module.skvWebAudio: the context, the frames
// handed over, the time the current run of back-to-back nodes started at and the
// nodes not yet ended. A page that sets Module.skvWaveOutTap to a function is
// handed every AudioBuffer as it is scheduled. (clang-format formats the JavaScript
// as C++ and would split a `===`, hence the `==`.)

namespace {

// Long enough to ride out a slow animation frame, short against the ring the
// audio output refills behind the position (2 s), so what is copied is refilled.
const double LEAD_SECONDS = 0.5;
const uint32_t CHUNK_FRAMES = 2048;
const uint32_t MAX_FRAME_BYTES = 4;  // 16-bit stereo
// What Web Audio buffers take in every browser.
const DWORD MIN_RATE = 8000;
const DWORD MAX_RATE = 96000;

struct Device {
    bool open = false;
    bool running = false;
    WAVEFORMATEX format = {};
    WaveHeaderQueue headers;
};

Device s_device;
uint8_t s_chunk[CHUNK_FRAMES * MAX_FRAME_BYTES];
HWAVEOUT const HANDLE_OF_DEVICE = reinterpret_cast<HWAVEOUT>(&s_device);

}  // namespace

// Creates the page's one audio context at the first open (the browser lets it run
// once the page has had a click) and keeps it for later opens. 0 when the browser
// has no Web Audio.
EM_JS(int, skv_webaudio_open, (int rate), {
    var state = Module.skvWebAudio;
    if (!state) {
        var Context = globalThis.AudioContext || globalThis.webkitAudioContext;
        if (!Context)
            return 0;
        var context;
        try {
            context = new Context({sampleRate : rate, latencyHint : 'playback'});
        } catch (error) {
            context = new Context();  // one that will not run at this rate resamples
        }
        state = Module.skvWebAudio = {context : context, sources : []};
    }
    // The schedule of this open; firstStart, silence and underruns are for pages that watch it.
    Object.assign(state,
                  {frames : 0, runFrames : 0, runStart : 0, end : 0, firstStart : -1, silence : 0, underruns : 0});
    if (state.context.state == 'suspended')
        state.context.resume();
    return 1;
});

// Seconds of sound scheduled beyond the audio clock; 0 once the schedule ran dry.
EM_JS(double, skv_webaudio_ahead, (), {
    var state = Module.skvWebAudio;
    return Math.max(0, state.end - state.context.currentTime);
});

// Schedules `frames` frames of 8- or 16-bit PCM at `pcm` right after the last ones,
// or, when those have ended, a moment after the audio clock on one of its frames.
EM_JS(void, skv_webaudio_schedule, (const uint8_t* pcm, int frames, int channels, int bits, int rate), {
    var state = Module.skvWebAudio;
    var context = state.context;
    var now = context.currentTime;
    if (state.end < now + 0.02) {
        var start = Math.ceil((now + 0.05) * context.sampleRate) / context.sampleRate;
        if (state.firstStart < 0)
            state.firstStart = start;
        else {
            state.silence += start - state.end;
            state.underruns += 1;
        }
        state.runStart = start;
        state.runFrames = state.frames;
    }
    var buffer = context.createBuffer(channels, frames, rate);
    for (var channel = 0; channel < channels; ++channel) {
        var out = buffer.getChannelData(channel);
        if (bits == 16) {
            var first = (pcm >> 1) + channel;
            for (var i = 0; i < frames; ++i)
                out[i] = HEAP16[first + i * channels] / 32768;
        } else {
            for (var i = 0; i < frames; ++i)
                out[i] = (HEAPU8[pcm + channel + i * channels] - 128) / 128;
        }
    }
    var source = context.createBufferSource();
    source.buffer = buffer;
    source.connect(context.destination);
    source.onended = function()
    {
        var index = state.sources.indexOf(source);
        if (index >= 0)
            state.sources.splice(index, 1);
    };
    // The start time from whole frames of the run, so no rounding adds up over it.
    source.start(state.runStart + (state.frames - state.runFrames) / rate);
    state.sources.push(source);
    state.frames += frames;
    state.end = state.runStart + (state.frames - state.runFrames) / rate;
    if (Module.skvWaveOutTap)
        Module.skvWaveOutTap(buffer);
});

// Frames played since open or reset, by the audio clock: of the current run as much
// as the clock has passed, never more than was handed over.
EM_JS(double, skv_webaudio_played, (int rate), {
    var state = Module.skvWebAudio;
    var run = Math.floor((state.context.currentTime - state.runStart) * rate);
    return state.runFrames + Math.min(Math.max(run, 0), state.frames - state.runFrames);
});

// Silences every scheduled node at once and forgets the schedule.
EM_JS(void, skv_webaudio_stop, (), {
    var state = Module.skvWebAudio;
    state.sources.forEach(function(source) {
        source.onended = null;
        source.stop();
        source.disconnect();
    });
    state.sources = [];
    state.frames = 0;
    state.runFrames = 0;
    state.end = 0;
});

namespace {

// Every call but open names the one open device.
MMRESULT CheckHandle(HWAVEOUT waveOut)
{
    return waveOut == HANDLE_OF_DEVICE && s_device.open ? MMSYSERR_NOERROR : MMSYSERR_INVALHANDLE;
}

void ScheduleAhead()
{
    const WAVEFORMATEX& format = s_device.format;
    while (s_device.running && skv_webaudio_ahead() < LEAD_SECONDS) {
        const size_t bytes = s_device.headers.Play(s_chunk, CHUNK_FRAMES * format.nBlockAlign);
        const int frames = static_cast<int>(bytes / format.nBlockAlign);
        if (frames == 0)
            return;
        skv_webaudio_schedule(s_chunk, frames, format.nChannels, format.wBitsPerSample,
                              static_cast<int>(format.nSamplesPerSec));
    }
}

}  // namespace

MMRESULT WINAPI waveOutOpen(LPHWAVEOUT waveOut, UINT deviceId, LPCWAVEFORMATEX format, DWORD_PTR, DWORD_PTR,
                            DWORD flags)
{
    const MMRESULT checked = CheckOpenRequest(waveOut, deviceId, format, flags, MIN_RATE, MAX_RATE);
    if (checked != MMSYSERR_NOERROR || (flags & WAVE_FORMAT_QUERY))
        return checked;
    if (s_device.open)
        return MMSYSERR_ALLOCATED;
    if (!skv_webaudio_open(static_cast<int>(format->nSamplesPerSec)))
        return MMSYSERR_NODRIVER;
    s_device.open = true;
    s_device.running = false;
    s_device.format = *format;
    s_device.format.cbSize = 0;
    s_device.headers = WaveHeaderQueue();
    *waveOut = HANDLE_OF_DEVICE;
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI waveOutPrepareHeader(HWAVEOUT waveOut, LPWAVEHDR header, UINT headerSize)
{
    return CheckHandle(waveOut) ? MMSYSERR_INVALHANDLE : s_device.headers.Prepare(header, headerSize);
}

MMRESULT WINAPI waveOutUnprepareHeader(HWAVEOUT waveOut, LPWAVEHDR header, UINT headerSize)
{
    return CheckHandle(waveOut) ? MMSYSERR_INVALHANDLE : s_device.headers.Unprepare(header, headerSize);
}

MMRESULT WINAPI waveOutWrite(HWAVEOUT waveOut, LPWAVEHDR header, UINT headerSize)
{
    if (const MMRESULT checked = CheckHandle(waveOut))
        return checked;
    const MMRESULT result = s_device.headers.Write(header, headerSize);
    if (result == MMSYSERR_NOERROR) {
        s_device.running = true;
        ScheduleAhead();
    }
    return result;
}

// Schedules on first, so every poll keeps the sound LEAD_SECONDS ahead. Bytes in a
// 32-bit count that wraps as winmm's does, or samples; other types get bytes.
MMRESULT WINAPI waveOutGetPosition(HWAVEOUT waveOut, LPMMTIME time, UINT timeSize)
{
    if (const MMRESULT checked = CheckHandle(waveOut))
        return checked;
    if (!time || timeSize < sizeof(MMTIME))
        return MMSYSERR_INVALPARAM;
    ScheduleAhead();
    const WAVEFORMATEX& format = s_device.format;
    const uint64_t frames = static_cast<uint64_t>(skv_webaudio_played(static_cast<int>(format.nSamplesPerSec)));
    if (time->wType == TIME_SAMPLES) {
        time->u.sample = static_cast<DWORD>(frames);
    } else {
        time->wType = TIME_BYTES;
        time->u.cb = static_cast<DWORD>(frames * format.nBlockAlign);
    }
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI waveOutReset(HWAVEOUT waveOut)
{
    if (const MMRESULT checked = CheckHandle(waveOut))
        return checked;
    skv_webaudio_stop();
    s_device.headers.RetireAll();
    s_device.running = false;
    return MMSYSERR_NOERROR;
}

// The context stays for the next open: a new one would need another click.
MMRESULT WINAPI waveOutClose(HWAVEOUT waveOut)
{
    if (const MMRESULT checked = CheckHandle(waveOut))
        return checked;
    if (!s_device.headers.Empty())
        return WAVERR_STILLPLAYING;
    skv_webaudio_stop();
    s_device.open = false;
    s_device.running = false;
    return MMSYSERR_NOERROR;
}
