#include "Instruments.h"
#include "Synth.h"

#include <cmath>

namespace {

const double PI = 3.14159265358979323846;
const double C4_HZ = 261.6255653;
// The playback rate of a sample at C-4 with no relative note or finetune.
const double XM_C4_RATE = 8363.0;

size_t Frames(double seconds, double sampleRate)
{
    return size_t(std::lround(seconds * sampleRate));
}

// The sound over the given length: voice(t) is asked for each sample in turn,
// t in seconds from the start, and may keep its own state from one to the next.
template <typename Voice>
Wave Render(double seconds, double sampleRate, Voice voice)
{
    Wave wave(Frames(seconds, sampleRate));
    for (size_t i = 0; i < wave.size(); ++i)
        wave[i] = voice(double(i) / sampleRate);
    return wave;
}

// A single-cycle wave: copies of one cycle of period frames, cycle(k) giving
// its frame k. Looping the last copy plays the cycle; the copies before it
// let the interpolation settle.
template <typename Cycle>
Wave Cycles(int period, int copies, Cycle cycle)
{
    Wave wave(size_t(period) * copies);
    for (size_t i = 0; i < wave.size(); ++i)
        wave[i] = cycle(i % period);
    return wave;
}

XmEnvelope Envelope(std::vector<XmEnvelopePoint> points, int sustain = -1, int loopStart = -1,
                    int loopEnd = -1)
{
    XmEnvelope envelope;
    envelope.points = points;
    envelope.type = XM_ENVELOPE_ON;
    if (sustain >= 0) {
        envelope.type |= XM_ENVELOPE_SUSTAIN;
        envelope.sustain = uint8_t(sustain);
    }
    if (loopStart >= 0) {
        envelope.type |= XM_ENVELOPE_LOOP;
        envelope.loopStart = uint8_t(loopStart);
        envelope.loopEnd = uint8_t(loopEnd);
    }
    return envelope;
}

XmInstrument Instrument(const XmSample& sample, const char* name, uint8_t volume,
                        uint8_t panning = 128)
{
    XmSample s = sample;
    s.name = name;
    s.volume = volume;
    // Where the instrument sits in the stereo field; each note with an
    // instrument number starts from here.
    s.panning = panning;
    return MakeXmInstrument(s, name);
}

// The wave as a sample whose C-4 sounds at toneHz; drums keep the default and
// are heard at their own pitch on C-4.
XmSample Tuned16(const Wave& wave, double sampleRate, double toneHz = C4_HZ)
{
    XmSample sample = MakeXmSample16(ToPcm16(wave));
    TuneSample(sample, sampleRate, toneHz);
    return sample;
}

XmSample Tuned8(const Wave& wave, double sampleRate, double toneHz = C4_HZ)
{
    XmSample sample = MakeXmSample8(ToPcm8(wave));
    TuneSample(sample, sampleRate, toneHz);
    return sample;
}

// The sample loops from loopStart to its last frame.
XmSample LoopedFrom(XmSample sample, XmLoopKind kind, size_t loopStart)
{
    const size_t frames = sample.sixteenBit ? sample.data16.size() : sample.data8.size();
    SetXmLoop(sample, kind, uint32_t(loopStart), uint32_t(frames - loopStart));
    return sample;
}

// An instrument that holds while its key is down: the volume envelope
// sustains, and after the key-off the fadeout lets it go.
XmInstrument Held(const XmSample& sample, const char* name, uint8_t volume,
                  const XmEnvelope& volumeEnvelope, uint16_t fadeout, uint8_t panning = 128)
{
    XmInstrument instrument = Instrument(sample, name, volume, panning);
    instrument.volumeEnvelope = volumeEnvelope;
    instrument.fadeout = fadeout;
    return instrument;
}

// A sine vibrato that grows in over sweep ticks after the note starts.
void SineVibrato(XmInstrument& instrument, uint8_t sweep, uint8_t depth, uint8_t rate)
{
    instrument.vibratoType = 0;
    instrument.vibratoSweep = sweep;
    instrument.vibratoDepth = depth;
    instrument.vibratoRate = rate;
}

XmInstrument Kick()
{
    const double rate = 44100.0;
    NoiseSource noise(101u);
    Biquad clickFilter = Biquad::LowPass(rate, 4000.0, 0.7);
    double phase = 0.0;
    Wave wave = Render(0.42, rate, [&](double t) {
        const double frequency = 46.0 + (170.0 - 46.0) * std::exp(-t / 0.028);
        phase += frequency / rate;
        const double body = std::sin(2.0 * PI * phase) * AttackDecay(t, 0.0008, 0.17);
        const double click = clickFilter.Process(noise.Next()) * std::exp(-t / 0.002) * 0.6;
        return SoftClip(body + click, 1.8);
    });
    FadeOutTail(wave, 600);
    Normalise(wave, 0.98);
    return Instrument(Tuned16(wave, rate), "kick", 64);
}

XmInstrument Snare()
{
    const double rate = 44100.0;
    NoiseSource noise(202u);
    Biquad band = Biquad::BandPass(rate, 3200.0, 0.6);
    Biquad high = Biquad::HighPass(rate, 1100.0, 0.7);
    Wave wave = Render(0.32, rate, [&](double t) {
        const double tone = 0.55 * std::sin(2.0 * PI * 190.0 * t) * std::exp(-t / 0.05) +
                            0.25 * std::sin(2.0 * PI * 330.0 * t) * std::exp(-t / 0.03);
        const double n = noise.Next();
        const double hiss = (band.Process(n) * 1.4 + high.Process(n) * 0.6) * std::exp(-t / 0.11);
        return SoftClip((tone + 0.9 * hiss) * std::min(1.0, t / 0.0005), 1.3);
    });
    FadeOutTail(wave, 800);
    Normalise(wave, 0.95);
    return Instrument(Tuned16(wave, rate), "snare", 56);
}

XmInstrument Clap()
{
    const double rate = 44100.0;
    NoiseSource noise(303u);
    Biquad band = Biquad::BandPass(rate, 1300.0, 1.1);
    const double bursts[3] = {0.0, 0.011, 0.022};
    Wave wave = Render(0.28, rate, [&](double t) {
        double envelope = 0.0;
        for (double start : bursts) {
            if (t >= start)
                envelope = std::max(envelope, std::exp(-(t - start) / 0.0045));
        }
        if (t >= 0.03)
            envelope = std::max(envelope, 0.8 * std::exp(-(t - 0.03) / 0.07));
        return band.Process(noise.Next()) * envelope;
    });
    FadeOutTail(wave, 600);
    Normalise(wave, 0.9);
    return Instrument(Tuned8(wave, rate), "clap", 44, 152);
}

// Six detuned square waves through a high-pass: the classic metallic hat.
Wave Metal(double seconds, double rate, double tau, uint32_t seed)
{
    const double partials[6] = {205.3, 304.4, 369.6, 522.7, 540.0, 800.0};
    double phases[6] = {0, 0.13, 0.37, 0.61, 0.29, 0.83};
    NoiseSource noise(seed);
    Biquad high = Biquad::HighPass(rate, 7000.0, 0.7);
    Biquad high2 = Biquad::HighPass(rate, 7000.0, 0.7);
    Wave wave = Render(seconds, rate, [&](double t) {
        double metal = 0.0;
        for (int k = 0; k < 6; ++k) {
            phases[k] += partials[k] * 8.0 / rate;
            phases[k] -= std::floor(phases[k]);
            metal += phases[k] < 0.5 ? 1.0 : -1.0;
        }
        const double mix = metal / 6.0 * 0.6 + noise.Next() * 0.5;
        return high2.Process(high.Process(mix)) * AttackDecay(t, 0.0005, tau);
    });
    return wave;
}

// The hats differ only in how long the metal rings.
XmInstrument Hat(const char* name, uint8_t volume, double seconds, double tau, uint32_t seed,
                 size_t fade)
{
    const double rate = 44100.0;
    Wave wave = Metal(seconds, rate, tau, seed);
    FadeOutTail(wave, fade);
    Normalise(wave, 0.85);
    return Instrument(Tuned8(wave, rate), name, volume, 100);
}

XmInstrument HatClosed()
{
    return Hat("closed hat", 34, 0.07, 0.014, 404u, 300);
}

XmInstrument HatOpen()
{
    return Hat("open hat", 30, 0.4, 0.11, 505u, 2000);
}

XmInstrument Crash()
{
    const double rate = 22050.0;
    NoiseSource noise(606u);
    Biquad high = Biquad::HighPass(rate, 2500.0, 0.6);
    Wave wave = Render(1.5, rate, [&](double t) {
        return high.Process(noise.Next()) * AttackDecay(t, 0.002, 0.42);
    });
    const Wave metal = Metal(1.5, rate, 0.5, 607u);
    for (size_t i = 0; i < wave.size(); ++i)
        wave[i] += 0.5 * metal[i];
    FadeOutTail(wave, 4000);
    Normalise(wave, 0.9);
    return Instrument(Tuned8(wave, rate), "crash", 34, 156);
}

XmInstrument Tom()
{
    const double rate = 44100.0;
    const double tone = 110.0; // settles on A-2
    NoiseSource noise(707u);
    Biquad low = Biquad::LowPass(rate, 2500.0, 0.7);
    double phase = 0.0;
    Wave wave = Render(0.4, rate, [&](double t) {
        phase += tone * (1.0 + 0.6 * std::exp(-t / 0.03)) / rate;
        return SoftClip(std::sin(2.0 * PI * phase) * AttackDecay(t, 0.001, 0.15) +
                            low.Process(noise.Next()) * 0.2 * std::exp(-t / 0.02),
                        1.4);
    });
    FadeOutTail(wave, 800);
    Normalise(wave, 0.95);
    return Instrument(Tuned16(wave, rate, tone), "tom", 48, 112);
}

XmInstrument SubBass()
{
    // One cycle of a rounded sine, looped.
    const double rate = 44100.0;
    const int period = 512;
    Wave wave = Cycles(period, 4, [&](size_t k) {
        const double p = 2.0 * PI * double(k) / period;
        return std::sin(p) + 0.18 * std::sin(2.0 * p) + 0.06 * std::sin(3.0 * p);
    });
    Normalise(wave, 0.95);
    const XmSample sample = LoopedFrom(Tuned16(wave, rate, rate / period), XM_FORWARD_LOOP,
                                       size_t(period) * 3);
    return Held(sample, "sub bass", 52, Envelope({{0, 64}, {6, 58}, {40, 50}}, 1), 2400);
}

XmInstrument ReeseBass()
{
    // Two detuned saws and their fundamental, darkened and gently driven.
    const double rate = 22050.0;
    const double tone = 110.0;
    Wave wave(Frames(0.7, rate));
    Biquad low = Biquad::LowPass(rate, 1100.0, 0.9);
    double a = 0.0, b = 0.37, c = 0.0;
    for (size_t i = 0; i < wave.size(); ++i) {
        const double fa = tone * 0.994, fb = tone * 1.006;
        a += fa / rate;
        a -= std::floor(a);
        b += fb / rate;
        b -= std::floor(b);
        c += tone / rate;
        c -= std::floor(c);
        const double raw = 0.5 * PolyBlepSaw(a, fa / rate) + 0.5 * PolyBlepSaw(b, fb / rate) +
                           0.45 * std::sin(2.0 * PI * c);
        wave[i] = SoftClip(low.Process(raw), 1.5);
    }
    const size_t loopStart = Frames(0.12, rate);
    CrossFadeLoop(wave, loopStart, wave.size(), Frames(0.09, rate));
    Normalise(wave, 0.95);
    const XmSample sample = LoopedFrom(Tuned16(wave, rate, tone), XM_FORWARD_LOOP, loopStart);
    return Held(sample, "reese bass", 50, Envelope({{0, 48}, {2, 64}, {12, 54}}, 2), 2200);
}

// A bank of detuned saws: the warm pad's body.
Wave SawEnsemble(double seconds, double rate, double tone, int voices, double spreadCents,
                 uint32_t seed)
{
    Wave wave(Frames(seconds, rate));
    NoiseSource random(seed);
    std::vector<double> phase(static_cast<size_t>(voices)), frequency(static_cast<size_t>(voices));
    for (int v = 0; v < voices; ++v) {
        const double cents = voices > 1 ? spreadCents * (2.0 * v / (voices - 1) - 1.0) : 0.0;
        frequency[size_t(v)] = tone * std::pow(2.0, cents / 1200.0);
        phase[size_t(v)] = 0.5 * (random.Next() + 1.0);
    }
    for (size_t i = 0; i < wave.size(); ++i) {
        double sum = 0.0;
        for (int v = 0; v < voices; ++v) {
            const double inc = frequency[size_t(v)] / rate;
            phase[size_t(v)] += inc;
            phase[size_t(v)] -= std::floor(phase[size_t(v)]);
            sum += PolyBlepSaw(phase[size_t(v)], inc);
        }
        wave[i] = sum / voices;
    }
    return wave;
}

XmInstrument PadWarm()
{
    const double rate = 22050.0;
    Wave wave = SawEnsemble(1.4, rate, C4_HZ, 7, 14.0, 1010u);
    Biquad low = Biquad::LowPass(rate, 2200.0, 0.7);
    Biquad low2 = Biquad::LowPass(rate, 2600.0, 0.6);
    Biquad high = Biquad::HighPass(rate, 110.0, 0.7);
    for (double& v : wave)
        v = high.Process(low2.Process(low.Process(v)));
    Normalise(wave, 0.95);
    const XmSample sample = LoopedFrom(Tuned16(wave, rate), XM_PINGPONG_LOOP, Frames(0.25, rate));
    XmInstrument instrument = Held(sample, "warm pad", 40,
                                   Envelope({{0, 0}, {18, 56}, {40, 64}}, 2), 700);
    // A slow drift across the stereo field, looped.
    instrument.panningEnvelope = Envelope({{0, 32}, {48, 44}, {144, 20}, {192, 32}}, -1, 0, 3);
    return instrument;
}

XmInstrument PadVox()
{
    // Detuned saws through three vowel formants: a soft "aah".
    const double rate = 22050.0;
    Wave source = SawEnsemble(1.4, rate, C4_HZ, 3, 7.0, 1111u);
    Biquad f1 = Biquad::BandPass(rate, 730.0, 5.0);
    Biquad f2 = Biquad::BandPass(rate, 1090.0, 7.0);
    Biquad f3 = Biquad::BandPass(rate, 2440.0, 9.0);
    Biquad low = Biquad::LowPass(rate, 3000.0, 0.7);
    Wave wave(source.size());
    for (size_t i = 0; i < source.size(); ++i) {
        const double x = source[i];
        wave[i] = low.Process(f1.Process(x) + 0.55 * f2.Process(x) + 0.3 * f3.Process(x) +
                              0.08 * x);
    }
    Normalise(wave, 0.95);
    const XmSample sample = LoopedFrom(Tuned16(wave, rate), XM_PINGPONG_LOOP, Frames(0.3, rate));
    XmInstrument instrument = Held(sample, "vox pad", 44, Envelope({{0, 0}, {30, 64}}, 1), 600);
    SineVibrato(instrument, 40, 4, 10);
    return instrument;
}

XmInstrument Pluck()
{
    // A bright attack that closes quickly: the filter sweep is in the sample.
    const double rate = 22050.0;
    Biquad low;
    double a = 0.0, b = 0.25;
    Wave wave = Render(0.6, rate, [&](double t) {
        const double inc = C4_HZ / rate;
        a += inc;
        a -= std::floor(a);
        b += inc * 1.004;
        b -= std::floor(b);
        low.SetLowPass(rate, 500.0 + 6500.0 * std::exp(-t / 0.07), 1.2);
        const double raw = 0.6 * PolyBlepSaw(a, inc) + 0.4 * PolyBlepSquare(b, inc * 1.004, 0.5);
        return low.Process(raw) * AttackDecay(t, 0.001, 0.22);
    });
    FadeOutTail(wave, 1500);
    Normalise(wave, 0.95);
    return Instrument(Tuned8(wave, rate), "pluck", 40, 160);
}

XmInstrument Lead()
{
    const double rate = 22050.0;
    Wave wave = SawEnsemble(0.55, rate, C4_HZ, 3, 9.0, 1313u);
    // A square an octave below for body.
    double phase = 0.0;
    Biquad low = Biquad::LowPass(rate, 4500.0, 0.8);
    for (size_t i = 0; i < wave.size(); ++i) {
        const double inc = C4_HZ * 0.5 / rate;
        phase += inc;
        phase -= std::floor(phase);
        wave[i] = SoftClip(low.Process(wave[i] + 0.3 * PolyBlepSquare(phase, inc, 0.5)), 1.2);
    }
    const size_t loopStart = Frames(0.1, rate);
    CrossFadeLoop(wave, loopStart, wave.size(), Frames(0.07, rate));
    Normalise(wave, 0.95);
    const XmSample sample = LoopedFrom(Tuned16(wave, rate), XM_FORWARD_LOOP, loopStart);
    XmInstrument instrument = Held(sample, "lead", 44, Envelope({{0, 24}, {2, 64}, {14, 50}}, 2),
                                   1400);
    // Notes start straight and sing after a moment.
    SineVibrato(instrument, 24, 6, 16);
    return instrument;
}

XmInstrument Bell()
{
    // Two-operator FM with a decaying index: glassy attack, soft tail.
    const double rate = 22050.0;
    const double tone = 2.0 * C4_HZ; // C-5
    double carrier = 0.0, modulator = 0.0, partial = 0.0;
    Wave wave = Render(1.6, rate, [&](double t) {
        carrier += tone / rate;
        modulator += tone * 3.5 / rate;
        partial += tone * 2.0 / rate;
        const double index = 2.6 * std::exp(-t / 0.25) + 0.3;
        const double fm = std::sin(2.0 * PI * carrier + index * std::sin(2.0 * PI * modulator));
        return (fm + 0.25 * std::sin(2.0 * PI * partial) * std::exp(-t / 0.3)) *
               AttackDecay(t, 0.002, 0.55);
    });
    FadeOutTail(wave, 3000);
    Normalise(wave, 0.95);
    return Instrument(Tuned16(wave, rate, tone), "bell", 46, 104);
}

XmInstrument Chip()
{
    // One cycle of a 25% pulse, raw, for the arpeggios.
    const double rate = 16726.0;
    const int period = 64;
    const Wave wave = Cycles(period, 2,
                             [&](size_t k) { return k < size_t(period / 4) ? 0.8 : -0.8; });
    const XmSample sample = LoopedFrom(Tuned8(wave, rate, rate / period), XM_FORWARD_LOOP,
                                       size_t(period));
    return Held(sample, "chip", 24, Envelope({{0, 64}, {5, 40}, {24, 30}}, 2), 3000, 164);
}

XmInstrument Riser()
{
    // Noise through a band-pass that climbs; the pitch and volume slides of
    // the patterns carry it further.
    const double rate = 22050.0;
    NoiseSource noise(1616u);
    Biquad band;
    Wave wave = Render(2.0, rate, [&](double t) {
        band.SetBandPass(rate, 400.0 * std::pow(15.0, t / 2.0), 2.0);
        return band.Process(noise.Next()) * (0.3 + 0.7 * t / 2.0);
    });
    Normalise(wave, 0.9);
    const XmSample sample = LoopedFrom(Tuned8(wave, rate), XM_PINGPONG_LOOP, Frames(1.5, rate));
    return Held(sample, "riser", 40, Envelope({{0, 64}, {8, 64}}, 1), 1200);
}

XmInstrument Impact()
{
    const double rate = 44100.0;
    NoiseSource noise(1717u);
    Biquad low = Biquad::LowPass(rate, 800.0, 0.7);
    double phase = 0.0;
    Wave wave = Render(0.9, rate, [&](double t) {
        phase += (30.0 + 90.0 * std::exp(-t / 0.25)) / rate;
        return SoftClip(std::sin(2.0 * PI * phase) * AttackDecay(t, 0.001, 0.35) +
                            low.Process(noise.Next()) * 0.8 * std::exp(-t / 0.12),
                        2.0);
    });
    FadeOutTail(wave, 3000);
    Normalise(wave, 0.95);
    return Instrument(Tuned16(wave, rate), "impact", 50);
}

} // namespace

void TuneSample(XmSample& sample, double sampleRate, double toneHz)
{
    // Semitones by which the sample must be raised so that C-4 sounds as C-4.
    const double offset = 12.0 * std::log2(C4_HZ * sampleRate / (XM_C4_RATE * toneHz));
    const long total = std::lround(offset * 128.0);
    const long relative = std::lround(double(total) / 128.0);
    sample.relativeNote = int8_t(relative);
    sample.finetune = int8_t(total - relative * 128);
}

void AddInstruments(XmModule& module)
{
    const XmInstrument instruments[INSTRUMENT_COUNT] = {
        Kick(), Snare(),   Clap(),      HatClosed(), HatOpen(), Crash(),
        Tom(),  SubBass(), ReeseBass(), PadWarm(),   PadVox(),  Pluck(),
        Lead(), Bell(),    Chip(),      Riser(),     Impact(),
    };
    for (const XmInstrument& instrument : instruments)
        AddXmInstrument(module, instrument);
}
