#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Small sound-synthesis kit for the instruments: everything in double
// precision on buffers of samples in -1..1, deterministic from its seeds.
using std::size_t;
using Wave = std::vector<double>;

// A deterministic white-noise source in -1..1.
class NoiseSource {
public:
    explicit NoiseSource(uint32_t seed) : m_state(seed ? seed : 1u) {}
    double Next();

private:
    uint32_t m_state;
};

// Band-limited oscillators (polyBLEP), phase in cycles 0..1.
double PolyBlepSaw(double phase, double increment);
double PolyBlepSquare(double phase, double increment, double duty);

// Biquad filter (RBJ cookbook) in direct form I.
class Biquad {
public:
    Biquad() = default;
    static Biquad LowPass(double sampleRate, double cutoff, double q);
    static Biquad HighPass(double sampleRate, double cutoff, double q);
    static Biquad BandPass(double sampleRate, double centre, double q);
    double Process(double x);
    // Re-tunes a low-pass in place (for sweeps) without resetting its state.
    void SetLowPass(double sampleRate, double cutoff, double q);
    void SetBandPass(double sampleRate, double centre, double q);

private:
    enum class Response { LowPass, HighPass, BandPass };
    Biquad(Response response, double sampleRate, double frequency, double q);
    // The cookbook's shared design: every response has the same poles and
    // differs only in its numerator.
    void Design(Response response, double sampleRate, double frequency, double q);

    double m_b0 = 1, m_b1 = 0, m_b2 = 0, m_a1 = 0, m_a2 = 0;
    double m_x1 = 0, m_x2 = 0, m_y1 = 0, m_y2 = 0;
};

// Exponential decay exp(-t / tau) with a linear attack of the given length.
double AttackDecay(double t, double attack, double tau);

// Soft clipping that keeps small signals linear.
double SoftClip(double x, double drive);

// Scales the wave so that its largest magnitude is peak.
void Normalise(Wave& wave, double peak);

// Fades the last n samples out linearly (for one-shot samples).
void FadeOutTail(Wave& wave, size_t n);

// Makes a forward loop over [start, end) seamless: the last fade samples of
// the loop are cross-faded with the samples just before its start, so that
// the jump from end back to start continues the wave smoothly.
void CrossFadeLoop(Wave& wave, size_t start, size_t end, size_t fade);

// Converts to signed 16-bit and 8-bit frames (rounded, clamped).
std::vector<int16_t> ToPcm16(const Wave& wave);
std::vector<int8_t> ToPcm8(const Wave& wave);
