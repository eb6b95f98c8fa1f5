#include "Noise.h"

#include <cmath>

namespace {

unsigned Mix32(unsigned h)
{
    h ^= h >> 16;
    h *= 0x7feb352du;
    h ^= h >> 15;
    h *= 0x846ca68bu;
    h ^= h >> 16;
    return h;
}

float Fade(float t)
{
    return t * t * (3.0f - 2.0f * t);
}

} // namespace

float HashUnit(unsigned seed, int x, int y)
{
    const unsigned h = Mix32(seed * 0x9E3779B9u ^
                             Mix32(unsigned(x) * 0x85EBCA6Bu ^ Mix32(unsigned(y) * 0xC2B2AE35u)));
    return float(h >> 8) * (1.0f / 16777216.0f);
}

float ValueNoise(unsigned seed, float x, float y)
{
    const float fx = std::floor(x);
    const float fy = std::floor(y);
    const int ix = int(fx);
    const int iy = int(fy);
    const float tx = Fade(x - fx);
    const float ty = Fade(y - fy);
    const float a = HashUnit(seed, ix, iy);
    const float b = HashUnit(seed, ix + 1, iy);
    const float c = HashUnit(seed, ix, iy + 1);
    const float d = HashUnit(seed, ix + 1, iy + 1);
    const float top = a + (b - a) * tx;
    const float bottom = c + (d - c) * tx;
    return top + (bottom - top) * ty;
}

float FractalNoise(unsigned seed, float x, float y, int octaves, float lacunarity, float gain)
{
    float sum = 0.0f;
    float amplitude = 1.0f;
    float total = 0.0f;
    for (int o = 0; o < octaves; ++o) {
        sum += amplitude * ValueNoise(seed + unsigned(o) * 101u, x, y);
        total += amplitude;
        x *= lacunarity;
        y *= lacunarity;
        amplitude *= gain;
    }
    return total > 0.0f ? sum / total : 0.0f;
}

float RandomSequence::Next()
{
    m_state = m_state * 1664525u + 1013904223u;
    return float(Mix32(m_state) >> 8) * (1.0f / 16777216.0f);
}
