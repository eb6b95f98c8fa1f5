#pragma once

// The voice mixer: a fixed table of voices, each playing one Sample with
// linear interpolation, forward or ping-pong looping and 128-frame volume
// ramps, added into a stereo float buffer on the 16-bit PCM scale.

#include "Song.h"

#include <cstdint>

const int32_t MixRate = 44100;
const int32_t RampFrames = MixRate * 128 / 44100;
const int VOICE_TABLE_SIZE = 256;
const int MIXED_VOICES = 64;
const int VOICE_PAIR_DISTANCE = 32;  // channel i plays on voice i or i + 32
const uint64_t FIXED_ONE = uint64_t(1) << 32;
// Step used only to time the end of a voice whose increment is 0 (256 Hz).
const uint64_t FALLBACK_INCREMENT = 24932236;
// Steps of 256 frames per output frame or more are not supported; the mixer
// holds every increment below that.
const uint64_t MAX_INCREMENT = (uint64_t(256) << 32) - 1;

struct Voice {
    int32_t index;
    int32_t volumeSet;   // recorded only
    int32_t frequency;   // recorded only, before the 100 Hz floor
    int32_t panningSet;  // recorded only
    int32_t volume;      // 0..255
    int32_t panning;     // 0..255
    uint32_t startOffset;
    const Sample* sample;  // null: the voice is free
    int32_t leftTarget;    // 0..255 = unity
    int32_t rightTarget;
    int32_t positionInt;
    uint32_t positionFrac;
    uint64_t increment;  // 32.32 frames per output frame
    int32_t direction;   // 1 forward, anything else backward
    int32_t leftSeen;
    int32_t rightSeen;
    int32_t leftLevel;  // 8.8 on the 0..255 scale
    int32_t rightLevel;
    float leftRampStep;  // per frame, on the 0..1 scale
    float rightRampStep;
    int32_t rampFramesLeft;
    // Set when a retrigger leaves the voice behind (no channel drives it any
    // more): once its ramp down to silence is over, the mixer frees it.
    uint8_t orphaned;
};

extern Voice VoiceTable[VOICE_TABLE_SIZE];

// Every voice free: all fields 0, index set, increment 1.0.
void ResetVoiceTable();

// Adds voices 0..63 into frames stereo frames starting at out.
void MixVoices(float* out, int32_t frames);

// Whether the mixer may render eight frames at a time with AVX2 where the
// processor has it (allowed unless told otherwise). The samples are the same
// either way; tests and benchmarks compare the two.
void AllowWideMixing(bool allowed);

// Rounds (ties to even) and clamps 2 x frames floats into 16-bit PCM.
void ConvertToPcm16(int16_t* destination, const float* source, int32_t frames);
