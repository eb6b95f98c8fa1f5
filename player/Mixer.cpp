#include "Mixer.h"

#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
// Eight frames at a time where the processor has AVX2, chosen at run time.
// Not on Windows: mingw-w64's GCC does not keep 32-byte stack slots aligned
// there, so a spilled AVX register could fault.
#if defined(__GNUC__) && defined(__x86_64__) && !defined(_WIN32)
#define SKV_MIXER_AVX2 1
#include <immintrin.h>
#endif

Voice VoiceTable[VOICE_TABLE_SIZE];

namespace {

const float INV_255 = 1.0f / 255.0f;
const float INV_256 = 1.0f / 256.0f;
const float RAMP_SCALE = 1.0f / float(RampFrames);
const float WEIGHT_SCALE = 1.0f / 2147483648.0f;  // 2^-31
const uint64_t CLEAR_LOW_BIT = ~uint64_t(1);

inline uint64_t PositionOf(const Voice& voice)
{
    return (uint64_t(uint32_t(voice.positionInt)) << 32) | voice.positionFrac;
}

inline void StorePosition(Voice& voice, uint64_t position)
{
    voice.positionInt = int32_t(uint32_t(position >> 32));
    voice.positionFrac = uint32_t(position);
}

// The frame at the position, interpolated towards the next one.
inline float FrameAt(const int16_t* data, uint64_t position)
{
    const int16_t* frame = data + uint32_t(position >> 32);
    const float weight = float(int32_t(uint32_t(position) >> 1)) * WEIGHT_SCALE;
    const float first = float(frame[0]);
    return first + weight * float(frame[1] - frame[0]);
}

inline uint64_t CeilDivide(uint64_t numerator, uint64_t denominator)
{
    return numerator / denominator + (numerator % denominator != 0 ? 1 : 0);
}

// A frame clears bit 0 of the position and then adds the step (the
// increment, or its negative going backward). From the first frame on, the
// positions therefore form a plain progression: position k of a run is
// base + k x (step with bit 0 cleared), where base is the start position with
// bit 0 replaced by the step's bit 0. Bit 0 changes neither the frame read
// nor its weight, so a run renders from that progression and ends on its
// next term.
struct Progression {
    uint64_t base;
    uint64_t step;
};

inline Progression ProgressionOf(uint64_t position, uint64_t step)
{
    return {(position & CLEAR_LOW_BIT) + (step & 1), step & CLEAR_LOW_BIT};
}

// Output frames until the position reaches the boundary the voice moves
// towards, counted exactly for the way a frame advances the position (bit 0
// cleared, then the increment added or subtracted), so that no rendered frame
// lies beyond the boundary. 0 when the position is at or past it.
uint64_t FramesToBoundary(uint64_t position, uint64_t increment, bool forward, uint64_t boundary,
                          uint64_t limit)
{
    // Most chunks end long before the boundary: a bound on the quotient
    // (whole frames to go over whole frames per step, rounded up) spares the
    // division then. Any value above limit means "not within limit frames".
    auto beyond = [limit](uint64_t distance, uint64_t step) {
        return (distance >> 32) > limit * ((step >> 32) + 1);
    };
    const uint64_t even = position & CLEAR_LOW_BIT;
    const uint64_t odd = increment & 1;
    if (forward) {
        if (position >= boundary)
            return 0;
        uint64_t step = increment & CLEAR_LOW_BIT;
        uint64_t carry = odd;
        if (step == 0) {  // a voice that does not move ends as if it played at 256 Hz
            step = FALLBACK_INCREMENT;
            carry = 0;
        }
        const uint64_t distance = boundary - even;
        if (beyond(distance, step))
            return limit + 1;
        const uint64_t frames = distance > carry ? CeilDivide(distance - carry, step) : 0;
        return frames > 0 ? frames : 1;
    }
    if (position <= boundary)
        return 0;
    uint64_t step = increment + odd;
    uint64_t carry = odd;
    if (increment == 0) {
        step = FALLBACK_INCREMENT;
        carry = 0;
    }
    if (beyond(even + carry - boundary, step))
        return limit + 1;
    const uint64_t frames = CeilDivide(even + carry - boundary, step);
    return frames > 0 ? frames : 1;
}

// Where a run of frames leaves the position without rendering it: the
// progression that RenderSteady and RenderRamp follow.
uint64_t Advance(uint64_t position, uint64_t step, int32_t frames)
{
    if (frames <= 0)
        return position;
    const Progression run = ProgressionOf(position, step);
    return run.base + uint64_t(frames) * run.step;
}

// Folds a ping-pong position that has left [loopStart, loopEnd) back into it,
// reflecting at the end (moving backward afterwards) and at the start (moving
// forward afterwards) as often as needed. Two reflections in a row move the
// position by twice the loop length, so long overshoots are reduced first.
void FoldPingPong(int64_t& position, int32_t& direction, int64_t loopStart, int64_t loopEnd)
{
    const int64_t period = 2 * (loopEnd - loopStart);
    for (;;) {
        if (position >= loopEnd) {
            position -= (position - loopEnd) / period * period;
            position = 2 * loopEnd - position - 1;
            direction = 2;
        } else if (position < loopStart) {
            position += (loopStart - position - 1) / period * period;
            position = 2 * loopStart - position - 1;
            direction = 1;
        } else {
            return;
        }
    }
}

// The voice's position has reached the end of its playable region (or the
// loop start going backward): wrap, reflect, or free the voice. False when the
// voice is free.
bool HandleBoundary(Voice& voice, uint64_t position, bool forward)
{
    const Sample& sample = *voice.sample;
    const int64_t loopStart = int64_t(sample.loopStart) << 32;
    const int64_t loopEnd = (int64_t(sample.loopStart) + sample.loopLength) << 32;
    int64_t at = int64_t(position);
    if (sample.loopLength != 0 && sample.loopKind == LOOP_FORWARD) {
        // Only a voice that does not move can stop short of the loop end.
        if (at < loopEnd)
            at = loopEnd;
        const int64_t length = loopEnd - loopStart;
        at = loopStart + (at - loopStart) % length;
        StorePosition(voice, uint64_t(at));
        return true;
    }
    if (sample.loopLength != 0 && sample.loopKind == LOOP_PINGPONG) {
        if (forward) {
            if (at < loopEnd)
                at = loopEnd;
            at = 2 * loopEnd - at - 1;
            voice.direction = 2;
        } else {
            if (at > loopStart)
                at = loopStart;
            at = 2 * loopStart - at - 1;
            // Landing exactly on the loop start would reflect to just before
            // it, outside the sample when the loop starts at frame 0.
            if (at < loopStart)
                at = loopStart;
            voice.direction = 1;
        }
        FoldPingPong(at, voice.direction, loopStart, loopEnd);
        StorePosition(voice, uint64_t(at));
        return true;
    }
    voice.sample = nullptr;
    voice.positionInt = 0;
    voice.positionFrac = 0;
    return false;
}

#if defined(__SSE2__)
// Interpolated values of four frames whose positions are at, at + step,
// at + 2 x step and at + 3 x step: the same float operations as FrameAt. The
// positions are also the 64-bit lanes of firstTwo and lastTwo, from which the
// fractions are taken; the frame numbers come from the scalar positions,
// which need no shuffling.
inline __m128 FourFrames(const int16_t* data, uint64_t at, uint64_t step, __m128i firstTwo,
                         __m128i lastTwo)
{
    int32_t pairs[4];  // each (frame, next frame) as two 16-bit halves
    std::memcpy(&pairs[0], data + uint32_t(at >> 32), sizeof(int32_t));
    std::memcpy(&pairs[1], data + uint32_t((at + step) >> 32), sizeof(int32_t));
    std::memcpy(&pairs[2], data + uint32_t((at + 2 * step) >> 32), sizeof(int32_t));
    std::memcpy(&pairs[3], data + uint32_t((at + 3 * step) >> 32), sizeof(int32_t));
    const __m128i packed = _mm_setr_epi32(pairs[0], pairs[1], pairs[2], pairs[3]);
    const __m128i frame = _mm_srai_epi32(_mm_slli_epi32(packed, 16), 16);
    const __m128i next = _mm_srai_epi32(packed, 16);
    const __m128 lows = _mm_shuffle_ps(_mm_castsi128_ps(firstTwo), _mm_castsi128_ps(lastTwo),
                                       _MM_SHUFFLE(2, 0, 2, 0));
    const __m128i halfFractions = _mm_srli_epi32(_mm_castps_si128(lows), 1);
    const __m128 weight = _mm_mul_ps(_mm_cvtepi32_ps(halfFractions), _mm_set1_ps(WEIGHT_SCALE));
    const __m128 difference = _mm_cvtepi32_ps(_mm_sub_epi32(next, frame));
    return _mm_add_ps(_mm_cvtepi32_ps(frame), _mm_mul_ps(weight, difference));
}

// A progression read four frames at a time: the scalar position of the first
// frame and the 64-bit positions of all four, moved on together.
struct FourFrameRun {
    uint64_t at;
    uint64_t step;
    __m128i firstTwo;
    __m128i lastTwo;
    __m128i advance;
};

inline FourFrameRun StartFourFrameRun(uint64_t at, uint64_t step)
{
    return {at, step, _mm_set_epi64x(int64_t(at + step), int64_t(at)),
            _mm_set_epi64x(int64_t(at + 3 * step), int64_t(at + 2 * step)),
            _mm_set1_epi64x(int64_t(4 * step))};
}

// Adds four frames to out (left and right each): the values times the gains
// of the first two frames and of the last two.
inline void AddFourFrames(float* out, __m128 values, __m128 firstGains, __m128 lastGains)
{
    const __m128 firstSpread = _mm_unpacklo_ps(values, values);
    const __m128 lastSpread = _mm_unpackhi_ps(values, values);
    _mm_storeu_ps(out, _mm_add_ps(_mm_loadu_ps(out), _mm_mul_ps(firstSpread, firstGains)));
    _mm_storeu_ps(out + 4, _mm_add_ps(_mm_loadu_ps(out + 4), _mm_mul_ps(lastSpread, lastGains)));
}

// The next four frames' interpolated values.
inline __m128 NextFourFrames(const int16_t* data, FourFrameRun& run)
{
    const __m128 values = FourFrames(data, run.at, run.step, run.firstTwo, run.lastTwo);
    run.at += 4 * run.step;
    run.firstTwo = _mm_add_epi64(run.firstTwo, run.advance);
    run.lastTwo = _mm_add_epi64(run.lastTwo, run.advance);
    return values;
}
#endif

#if defined(SKV_MIXER_AVX2)
bool s_wideAllowed = true;

bool UseAvx2()
{
    static const bool present = (__builtin_cpu_init(), __builtin_cpu_supports("avx2") != 0);
    return present && s_wideAllowed;
}

// `octets` runs of eight frames at constant gains from position `at`: the
// float operations of FrameAt and of the loop below in the same order, and
// no fused multiply-add, so the same samples. Returns the position after them.
__attribute__((target("avx2"))) uint64_t RenderSteadyAvx2(const int16_t* data, uint64_t at,
                                                          uint64_t step, float* out, int32_t octets,
                                                          float leftGain, float rightGain)
{
    const __m256 gains = _mm256_setr_ps(leftGain, rightGain, leftGain, rightGain, leftGain,
                                        rightGain, leftGain, rightGain);
    const __m256 weightScale = _mm256_set1_ps(WEIGHT_SCALE);
    // Puts the low halves (fractions) of four 64-bit positions first.
    const __m256i halves = _mm256_setr_epi32(0, 2, 4, 6, 1, 3, 5, 7);
    const __m256i advance = _mm256_set1_epi64x(int64_t(8 * step));
    __m256i firstFour = _mm256_setr_epi64x(int64_t(at), int64_t(at + step), int64_t(at + 2 * step),
                                           int64_t(at + 3 * step));
    __m256i lastFour = _mm256_setr_epi64x(int64_t(at + 4 * step), int64_t(at + 5 * step),
                                          int64_t(at + 6 * step), int64_t(at + 7 * step));
    for (int32_t i = 0; i < octets; ++i) {
        const __m256i first = _mm256_permutevar8x32_epi32(firstFour, halves);
        const __m256i last = _mm256_permutevar8x32_epi32(lastFour, halves);
        const __m256i fractions = _mm256_permute2x128_si256(first, last, 0x20);  // frames 0..7
        // Each (frame, next frame) as the two 16-bit halves of one load;
        // plain loads beat a gather instruction on many processors.
        int32_t p[8];
        for (int k = 0; k < 8; ++k)
            std::memcpy(&p[k], data + uint32_t((at + uint64_t(k) * step) >> 32), sizeof(int32_t));
        at += 8 * step;
        const __m256i pairs = _mm256_setr_epi32(p[0], p[1], p[2], p[3], p[4], p[5], p[6], p[7]);
        const __m256i frame = _mm256_srai_epi32(_mm256_slli_epi32(pairs, 16), 16);
        const __m256i next = _mm256_srai_epi32(pairs, 16);
        const __m256 weight = _mm256_mul_ps(_mm256_cvtepi32_ps(_mm256_srli_epi32(fractions, 1)),
                                            weightScale);
        const __m256 difference = _mm256_cvtepi32_ps(_mm256_sub_epi32(next, frame));
        const __m256 values = _mm256_add_ps(_mm256_cvtepi32_ps(frame),
                                            _mm256_mul_ps(weight, difference));
        const __m256 low = _mm256_unpacklo_ps(values, values);   // 0 0 1 1 | 4 4 5 5
        const __m256 high = _mm256_unpackhi_ps(values, values);  // 2 2 3 3 | 6 6 7 7
        const __m256 firstSpread = _mm256_permute2f128_ps(low, high, 0x20);
        const __m256 lastSpread = _mm256_permute2f128_ps(low, high, 0x31);
        _mm256_storeu_ps(out,
                         _mm256_add_ps(_mm256_loadu_ps(out), _mm256_mul_ps(firstSpread, gains)));
        _mm256_storeu_ps(out + 8,
                         _mm256_add_ps(_mm256_loadu_ps(out + 8), _mm256_mul_ps(lastSpread, gains)));
        out += 16;
        firstFour = _mm256_add_epi64(firstFour, advance);
        lastFour = _mm256_add_epi64(lastFour, advance);
    }
    return at;
}
#endif

// Frames at constant gains, two per iteration (four or eight where the
// machine allows); the same samples either way. Returns the position after
// them.
uint64_t RenderSteady(const int16_t* data, uint64_t position, uint64_t step, float* out,
                      int32_t pairs, float leftGain, float rightGain)
{
    if (pairs <= 0)
        return position;
    const Progression run = ProgressionOf(position, step);
    uint64_t at = run.base;
    int32_t i = 0;
#if defined(SKV_MIXER_AVX2)
    if (pairs >= 4 && UseAvx2()) {
        const int32_t octets = pairs / 4;
        at = RenderSteadyAvx2(data, at, run.step, out, octets, leftGain, rightGain);
        out += 16 * octets;
        i = 4 * octets;
    }
#endif
#if defined(__SSE2__)
    const __m128 gains = _mm_setr_ps(leftGain, rightGain, leftGain, rightGain);
    FourFrameRun four = StartFourFrameRun(at, run.step);
    for (; i + 2 <= pairs; i += 2) {
        AddFourFrames(out, NextFourFrames(data, four), gains, gains);
        out += 8;
    }
    at = four.at;
#endif
    for (; i < pairs; ++i) {
        const float first = FrameAt(data, at);
        at += run.step;
        const float second = FrameAt(data, at);
        at += run.step;
        out[0] += first * leftGain;
        out[1] += first * rightGain;
        out[2] += second * leftGain;
        out[3] += second * rightGain;
        out += 4;
    }
    return at;
}

// Frames whose gains change by a step per frame; the gains are left as they
// stand after the last frame's step. The gains are summed frame by frame in
// both forms, so both give the same samples. Returns the position after them.
uint64_t RenderRamp(const int16_t* data, uint64_t position, uint64_t step, float* out,
                    int32_t frames, float& leftGain, float& rightGain, float leftStep,
                    float rightStep)
{
    if (frames <= 0)
        return position;
    const Progression run = ProgressionOf(position, step);
    uint64_t at = run.base;
    int32_t i = 0;
#if defined(__SSE2__)
    if (frames >= 4) {
        __m128 gain = _mm_setr_ps(leftGain, rightGain, 0.0f, 0.0f);
        const __m128 gainStep = _mm_setr_ps(leftStep, rightStep, 0.0f, 0.0f);
        FourFrameRun four = StartFourFrameRun(at, run.step);
        for (; i + 4 <= frames; i += 4) {
            const __m128 values = NextFourFrames(data, four);
            const __m128 g1 = _mm_add_ps(gain, gainStep);
            const __m128 g2 = _mm_add_ps(g1, gainStep);
            const __m128 g3 = _mm_add_ps(g2, gainStep);
            const __m128 firstGains = _mm_movelh_ps(gain, g1);
            const __m128 lastGains = _mm_movelh_ps(g2, g3);
            gain = _mm_add_ps(g3, gainStep);
            AddFourFrames(out, values, firstGains, lastGains);
            out += 8;
        }
        at = four.at;
        float stored[4];
        _mm_storeu_ps(stored, gain);
        leftGain = stored[0];
        rightGain = stored[1];
    }
#endif
    for (; i < frames; ++i) {
        const float value = FrameAt(data, at);
        at += run.step;
        out[0] += value * leftGain;
        out[1] += value * rightGain;
        leftGain += leftStep;
        rightGain += rightStep;
        out += 2;
    }
    return at;
}

bool IsSilentOrphan(const Voice& voice)
{
    return voice.orphaned && voice.rampFramesLeft == 0 && voice.leftTarget == 0 &&
           voice.rightTarget == 0 && voice.leftLevel == 0 && voice.rightLevel == 0;
}

// Chunk planning: the frames, of at most `remaining`, before the voice reaches
// the boundary it moves towards (going forward the loop end, or the sample end
// once past the loop; going backward the loop start). boundaryReached tells
// whether the boundary ends the chunk.
int32_t FramesBeforeBoundary(const Voice& voice, uint64_t position, bool forward, int32_t remaining,
                             bool& boundaryReached)
{
    const Sample& sample = *voice.sample;
    uint64_t boundary;
    if (forward) {
        uint32_t end = sample.loopStart + sample.loopLength;
        if (voice.positionInt > int32_t(end))
            end = sample.length;
        boundary = uint64_t(end) << 32;
    } else {
        boundary = uint64_t(sample.loopStart) << 32;
    }
    const uint64_t toBoundary = FramesToBoundary(position, voice.increment, forward, boundary,
                                                 uint64_t(remaining));
    boundaryReached = toBoundary <= uint64_t(remaining);
    return boundaryReached ? int32_t(toBoundary) : remaining;
}

// The gains of a chunk: a ramp of `length` frames from the levels reached,
// moving by the steps each frame, or none (length 0) at the target gains.
struct RampPlan {
    int32_t length;
    float leftStep;
    float rightStep;
};

// Ramp planning: a change of target starts a new ramp from the levels reached
// so far; otherwise a running ramp continues.
RampPlan PlanRamp(Voice& voice)
{
    if (voice.rampFramesLeft != 0 && voice.leftTarget == voice.leftSeen &&
        voice.rightTarget == voice.rightSeen)
        return {voice.rampFramesLeft, voice.leftRampStep, voice.rightRampStep};
    RampPlan ramp = {0, 0.0f, 0.0f};
    voice.leftSeen = voice.leftTarget;
    voice.rightSeen = voice.rightTarget;
    const int32_t leftChange = voice.leftTarget - (voice.leftLevel >> 8);
    const int32_t rightChange = voice.rightTarget - (voice.rightLevel >> 8);
    if (leftChange != 0) {
        ramp.leftStep = float(leftChange) * INV_255 * RAMP_SCALE;
        voice.leftRampStep = ramp.leftStep;
        ramp.length = RampFrames;
    }
    if (rightChange != 0) {
        ramp.rightStep = float(rightChange) * INV_255 * RAMP_SCALE;
        voice.rightRampStep = ramp.rightStep;
        ramp.length = RampFrames;
    }
    if (ramp.length == 0)
        voice.rampFramesLeft = 0;
    return ramp;
}

// Rendering: `count` frames of the voice from `position` added into `out`.
// The gains start at the voice's levels and are left as they stand after the
// last frame. Returns the position after the frames.
uint64_t RenderChunk(const Voice& voice, uint64_t position, bool forward, const RampPlan& ramp,
                     float* out, int32_t count, float& leftGain, float& rightGain)
{
    const int16_t* data = voice.sample->data;
    const uint64_t step = forward ? voice.increment : uint64_t(0) - voice.increment;
    const bool silent = ramp.length == 0 && voice.leftTarget == 0 && voice.rightTarget == 0 &&
                        voice.leftLevel == 0 && voice.rightLevel == 0;
    if (silent) {
        // Every frame would add exactly nothing: only the position moves.
        return Advance(position, step, count);
    }
    if (count <= 0)
        return position;
    if (ramp.length > 0)
        return RenderRamp(data, position, step, out, count, leftGain, rightGain, ramp.leftStep,
                          ramp.rightStep);
    const int32_t pairs = count / 2;
    uint64_t moved = RenderSteady(data, position, step, out, pairs,
                                  float(voice.leftTarget) * INV_255,
                                  float(voice.rightTarget) * INV_255);
    if (count & 1)
        moved = RenderRamp(data, moved, step, out + 4 * pairs, 1, leftGain, rightGain, 0.0f, 0.0f);
    return moved;
}

// Ramp bookkeeping after a chunk of `count` frames: the levels reached and the
// ramp frames left; a finished ramp lands exactly on the targets. True when the
// ramp finished with this chunk.
bool AdvanceRamp(Voice& voice, const RampPlan& ramp, int32_t count, float leftGain, float rightGain)
{
    voice.leftLevel = int32_t(std::lrintf(leftGain * 255.0f * 256.0f));
    voice.rightLevel = int32_t(std::lrintf(rightGain * 255.0f * 256.0f));
    voice.rampFramesLeft = ramp.length - count;
    if (voice.rampFramesLeft != 0)
        return false;
    voice.leftRampStep = 0.0f;
    voice.rightRampStep = 0.0f;
    voice.leftLevel = voice.leftTarget * 256;
    voice.rightLevel = voice.rightTarget * 256;
    return true;
}

void MixVoice(Voice& voice, float* out, int32_t frames)
{
    if (voice.increment > MAX_INCREMENT)
        voice.increment = MAX_INCREMENT;
    int32_t remaining = frames;
    while (remaining > 0) {
        // A voice left behind by a retrigger adds nothing once it has ramped
        // to silence; freeing it then changes no output sample.
        if (IsSilentOrphan(voice)) {
            voice.sample = nullptr;
            return;
        }
        const uint64_t position = PositionOf(voice);
        const bool forward = voice.direction == 1;

        // A chunk ends at the boundary, at the end of a ramp, or with the frames.
        bool boundaryReached = false;
        const int32_t unclamped = FramesBeforeBoundary(voice, position, forward, remaining,
                                                       boundaryReached);
        const RampPlan ramp = PlanRamp(voice);
        int32_t count = unclamped;
        if (ramp.length > 0) {
            voice.rampFramesLeft = ramp.length;
            if (ramp.length < count)
                count = ramp.length;
        }

        float leftGain = float(voice.leftLevel) * INV_256 * INV_255;
        float rightGain = float(voice.rightLevel) * INV_256 * INV_255;
        float* chunkOut = out + 2 * (frames - remaining);
        const uint64_t moved = RenderChunk(voice, position, forward, ramp, chunkOut, count,
                                           leftGain, rightGain);
        remaining -= count;

        if (ramp.length > 0 && AdvanceRamp(voice, ramp, count, leftGain, rightGain) &&
            count < unclamped) {
            // The ramp, not the boundary, ended the chunk.
            StorePosition(voice, moved);
            continue;
        }
        if (!boundaryReached) {
            StorePosition(voice, moved);
            return;
        }
        if (!HandleBoundary(voice, moved, forward))
            return;
        if (remaining == 0)
            return;
    }
}

}  // namespace

void ResetVoiceTable()
{
    std::memset(VoiceTable, 0, sizeof(VoiceTable));
    for (int i = 0; i < VOICE_TABLE_SIZE; ++i) {
        VoiceTable[i].index = i;
        VoiceTable[i].increment = FIXED_ONE;
    }
}

void AllowWideMixing(bool allowed)
{
#if defined(SKV_MIXER_AVX2)
    s_wideAllowed = allowed;
#else
    (void)allowed;
#endif
}

void MixVoices(float* out, int32_t frames)
{
    if (frames <= 0 || !out)
        return;
    for (int i = 0; i < MIXED_VOICES; ++i) {
        Voice& voice = VoiceTable[i];
        if (voice.sample)
            MixVoice(voice, out, frames);
    }
}

void ConvertToPcm16(int16_t* destination, const float* source, int32_t frames)
{
    if (frames <= 0 || !destination || !source)
        return;
    const int32_t count = 2 * frames;
    int32_t i = 0;
#if defined(__SSE2__)
    // Same result as below: clamp, then convert with the default rounding
    // (to nearest, ties to even); the pack cannot saturate any more.
    const __m128 low = _mm_set1_ps(-32768.0f);
    const __m128 high = _mm_set1_ps(32767.0f);
    for (; i + 8 <= count; i += 8) {
        const __m128 first = _mm_min_ps(_mm_max_ps(_mm_loadu_ps(source + i), low), high);
        const __m128 second = _mm_min_ps(_mm_max_ps(_mm_loadu_ps(source + i + 4), low), high);
        const __m128i packed = _mm_packs_epi32(_mm_cvtps_epi32(first), _mm_cvtps_epi32(second));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(destination + i), packed);
    }
#endif
    for (; i < count; ++i) {
        float value = source[i];
        // Clamping first gives the same result as rounding first, and keeps
        // the conversion in range.
        value = value < -32768.0f ? -32768.0f : (value > 32767.0f ? 32767.0f : value);
        destination[i] = int16_t(std::lrintf(value));
    }
}
