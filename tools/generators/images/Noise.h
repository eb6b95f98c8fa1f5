#pragma once

// Deterministic noise: the same seed and coordinates give the same value on
// every machine, so the pictures rebuild bit for bit.

// Integer hash of a seed and two coordinates, as a float in [0, 1).
float HashUnit(unsigned seed, int x, int y);

// Smooth value noise in [0, 1) with one lattice cell per unit.
float ValueNoise(unsigned seed, float x, float y);

// Sum of octaves of value noise, normalised to [0, 1).
float FractalNoise(unsigned seed, float x, float y, int octaves, float lacunarity = 2.0f,
                   float gain = 0.5f);

// A small deterministic random sequence (for placing stars and the like).
class RandomSequence {
public:
    explicit RandomSequence(unsigned seed) : m_state(seed * 2654435761u + 1u) {}
    // Uniform in [0, 1).
    float Next();
    // Uniform in [low, high).
    float Range(float low, float high) { return low + (high - low) * Next(); }

private:
    unsigned m_state;
};
