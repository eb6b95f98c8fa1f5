#include "Synth.h"

#include <algorithm>
#include <cmath>

namespace {
const double PI = 3.14159265358979323846;
}

double NoiseSource::Next()
{
    // xorshift32: cheap, and the same everywhere.
    m_state ^= m_state << 13;
    m_state ^= m_state >> 17;
    m_state ^= m_state << 5;
    return double(m_state) / 2147483648.0 - 1.0;
}

namespace {

double Blep(double t, double dt)
{
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

} // namespace

double PolyBlepSaw(double phase, double increment)
{
    return 2.0 * phase - 1.0 - Blep(phase, increment);
}

double PolyBlepSquare(double phase, double increment, double duty)
{
    double value = phase < duty ? 1.0 : -1.0;
    value += Blep(phase, increment);
    double shifted = phase - duty;
    if (shifted < 0.0)
        shifted += 1.0;
    value -= Blep(shifted, increment);
    return value;
}

Biquad::Biquad(Response response, double sampleRate, double frequency, double q)
{
    Design(response, sampleRate, frequency, q);
}

Biquad Biquad::LowPass(double sampleRate, double cutoff, double q)
{
    return Biquad(Response::LowPass, sampleRate, cutoff, q);
}

Biquad Biquad::HighPass(double sampleRate, double cutoff, double q)
{
    return Biquad(Response::HighPass, sampleRate, cutoff, q);
}

Biquad Biquad::BandPass(double sampleRate, double centre, double q)
{
    return Biquad(Response::BandPass, sampleRate, centre, q);
}

void Biquad::SetLowPass(double sampleRate, double cutoff, double q)
{
    Design(Response::LowPass, sampleRate, cutoff, q);
}

void Biquad::SetBandPass(double sampleRate, double centre, double q)
{
    Design(Response::BandPass, sampleRate, centre, q);
}

void Biquad::Design(Response response, double sampleRate, double frequency, double q)
{
    // Low- and band-pass sweeps may ask for more than the rate can carry and
    // stop short of Nyquist; the high-passes sit at fixed cutoffs below it.
    if (response != Response::HighPass)
        frequency = std::min(frequency, sampleRate * 0.45);
    const double w = 2.0 * PI * frequency / sampleRate;
    const double alpha = std::sin(w) / (2.0 * q);
    const double c = std::cos(w);
    const double a0 = 1.0 + alpha;
    switch (response) {
    case Response::LowPass:
        m_b0 = (1.0 - c) / 2.0 / a0;
        m_b1 = (1.0 - c) / a0;
        m_b2 = (1.0 - c) / 2.0 / a0;
        break;
    case Response::HighPass:
        m_b0 = (1.0 + c) / 2.0 / a0;
        m_b1 = -(1.0 + c) / a0;
        m_b2 = (1.0 + c) / 2.0 / a0;
        break;
    case Response::BandPass:
        m_b0 = alpha / a0;
        m_b1 = 0.0;
        m_b2 = -alpha / a0;
        break;
    }
    m_a1 = -2.0 * c / a0;
    m_a2 = (1.0 - alpha) / a0;
}

double Biquad::Process(double x)
{
    const double y = m_b0 * x + m_b1 * m_x1 + m_b2 * m_x2 - m_a1 * m_y1 - m_a2 * m_y2;
    m_x2 = m_x1;
    m_x1 = x;
    m_y2 = m_y1;
    m_y1 = y;
    return y;
}

double AttackDecay(double t, double attack, double tau)
{
    if (t < 0.0)
        return 0.0;
    if (t < attack)
        return t / attack;
    return std::exp(-(t - attack) / tau);
}

double SoftClip(double x, double drive)
{
    return std::tanh(x * drive) / std::tanh(drive);
}

void Normalise(Wave& wave, double peak)
{
    double largest = 0.0;
    for (double v : wave)
        largest = std::max(largest, std::fabs(v));
    if (largest <= 0.0)
        return;
    for (double& v : wave)
        v *= peak / largest;
}

void FadeOutTail(Wave& wave, size_t n)
{
    n = std::min(n, wave.size());
    for (size_t i = 0; i < n; ++i)
        wave[wave.size() - n + i] *= 1.0 - double(i + 1) / double(n);
}

void CrossFadeLoop(Wave& wave, size_t start, size_t end, size_t fade)
{
    if (end > wave.size() || start >= end)
        return;
    fade = std::min({fade, start, (end - start) / 2});
    const Wave original = wave;
    const size_t length = end - start;
    for (size_t k = 0; k < fade; ++k) {
        const size_t i = end - fade + k;
        // Equal-power weights from the loop's own tail to what precedes its start.
        const double w = double(k + 1) / double(fade);
        const double into = std::sin(w * PI / 2.0);
        const double outOf = std::cos(w * PI / 2.0);
        wave[i] = original[i] * outOf + original[i - length] * into;
    }
}

std::vector<int16_t> ToPcm16(const Wave& wave)
{
    std::vector<int16_t> out(wave.size());
    for (size_t i = 0; i < wave.size(); ++i)
        out[i] = int16_t(std::clamp(std::lround(wave[i] * 32767.0), -32768L, 32767L));
    return out;
}

std::vector<int8_t> ToPcm8(const Wave& wave)
{
    std::vector<int8_t> out(wave.size());
    for (size_t i = 0; i < wave.size(); ++i)
        out[i] = int8_t(std::clamp(std::lround(wave[i] * 127.0), -128L, 127L));
    return out;
}
