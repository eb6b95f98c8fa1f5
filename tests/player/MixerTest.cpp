#include "Mixer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

// A sample laid out as the loader leaves it: frames, the loop guard frame,
// zero slack. The data lives in its own allocation so that AddressSanitizer
// sees any read outside it.
struct TestSample {
    std::unique_ptr<int16_t[]> frames;
    Sample sample = {};

    TestSample(const std::vector<int16_t>& values, uint8_t loopKind = LOOP_NONE,
               uint32_t loopStart = 0, uint32_t loopLength = 0)
    {
        const size_t length = values.size();
        frames.reset(new int16_t[length + SAMPLE_SLACK_FRAMES]());
        for (size_t i = 0; i < length; ++i)
            frames[i] = values[i];
        sample.data = length ? frames.get() : nullptr;
        sample.length = uint32_t(length);
        sample.loopKind = loopKind;
        sample.bits = 16;
        if (loopKind == LOOP_NONE) {
            sample.loopStart = 0;
            sample.loopLength = uint32_t(length);
        } else {
            sample.loopStart = loopStart;
            sample.loopLength = loopLength;
            const uint32_t end = loopStart + loopLength;
            frames[end] = loopKind == LOOP_FORWARD ? frames[loopStart] : frames[end - 1];
        }
    }
};

std::vector<int16_t> Ramp(size_t frames, int16_t start, int16_t step)
{
    std::vector<int16_t> values(frames);
    for (size_t i = 0; i < frames; ++i)
        values[i] = int16_t(start + int(i) * step);
    return values;
}

uint64_t Fixed(double frames)
{
    return uint64_t(std::llround(frames * 4294967296.0));
}

// A voice playing the sample from its start at full target gains that have
// already been reached (no ramp), as after a finished ramp.
Voice& SteadyVoice(int index, const Sample& sample, uint64_t increment, int32_t left = 255,
                   int32_t right = 255)
{
    Voice& voice = VoiceTable[index];
    voice.sample = &sample;
    voice.increment = increment;
    voice.direction = 1;
    voice.leftTarget = voice.leftSeen = left;
    voice.rightTarget = voice.rightSeen = right;
    voice.leftLevel = left * 256;
    voice.rightLevel = right * 256;
    voice.rampFramesLeft = 0;
    return voice;
}

std::vector<float> Mix(int32_t frames)
{
    std::vector<float> out(size_t(frames) * 2, 0.0f);
    MixVoices(out.data(), frames);
    return out;
}

uint64_t PositionOf(const Voice& voice)
{
    return (uint64_t(uint32_t(voice.positionInt)) << 32) | voice.positionFrac;
}

class Mixer : public testing::Test {
protected:
    void SetUp() override { ResetVoiceTable(); }
    void TearDown() override
    {
        ResetVoiceTable();
        AllowWideMixing(true);
    }
};

}  // namespace

TEST_F(Mixer, ResetFreesEveryVoice)
{
    VoiceTable[7].sample = &EmptySample;
    VoiceTable[200].volume = 9;
    ResetVoiceTable();
    for (int i = 0; i < VOICE_TABLE_SIZE; ++i) {
        EXPECT_EQ(VoiceTable[i].index, i);
        EXPECT_EQ(VoiceTable[i].sample, nullptr);
        EXPECT_EQ(VoiceTable[i].increment, FIXED_ONE);
        EXPECT_EQ(VoiceTable[i].volume, 0);
    }
    EXPECT_EQ(RampFrames, 128);
}

TEST_F(Mixer, IncrementOfOnePlaysFrameByFrame)
{
    TestSample sample(Ramp(64, -3000, 97));
    SteadyVoice(0, sample.sample, FIXED_ONE, 255, 51);
    const std::vector<float> out = Mix(20);
    for (int i = 0; i < 20; ++i) {
        const float frame = float(-3000 + 97 * i);
        EXPECT_FLOAT_EQ(out[2 * i], frame) << i;
        EXPECT_FLOAT_EQ(out[2 * i + 1], frame * (51.0f / 255.0f)) << i;
    }
    EXPECT_EQ(VoiceTable[0].positionInt, 20);
    EXPECT_EQ(VoiceTable[0].positionFrac, 0u);
}

TEST_F(Mixer, IncrementOfOneHalfInterpolatesEveryOtherFrame)
{
    TestSample sample({0, 1000, -1000, 3000, 0});
    SteadyVoice(0, sample.sample, FIXED_ONE / 2);
    const std::vector<float> out = Mix(7);
    const float expected[] = {0, 500, 1000, 0, -1000, 1000, 3000};
    for (int i = 0; i < 7; ++i)
        EXPECT_FLOAT_EQ(out[2 * i], expected[i]) << i;
}

TEST_F(Mixer, OddStretchesAddAllFramesOnceEach)
{
    TestSample sample(std::vector<int16_t>(100, 1000));
    SteadyVoice(3, sample.sample, FIXED_ONE, 128, 255);
    for (int frames : {1, 2, 3, 17}) {
        VoiceTable[3].positionInt = 0;
        const std::vector<float> out = Mix(frames);
        for (int i = 0; i < frames; ++i) {
            EXPECT_FLOAT_EQ(out[2 * i], 1000.0f * 128.0f / 255.0f);
            EXPECT_FLOAT_EQ(out[2 * i + 1], 1000.0f);
        }
    }
}

TEST_F(Mixer, TriggeredVoiceReachesItsTargetsAfterExactly128Frames)
{
    TestSample sample(std::vector<int16_t>(1000, 10000), LOOP_FORWARD, 0, 1000);
    Voice& voice = VoiceTable[5];
    voice.sample = &sample.sample;
    voice.direction = 1;
    voice.leftTarget = 200;
    voice.rightTarget = 100;
    const std::vector<float> first = Mix(100);
    EXPECT_EQ(voice.rampFramesLeft, 28);
    EXPECT_GT(voice.leftLevel, 0);
    EXPECT_LT(voice.leftLevel, 200 * 256);
    // The ramp rises steadily from silence.
    EXPECT_FLOAT_EQ(first[0], 0.0f);
    for (int i = 1; i < 100; ++i)
        EXPECT_GT(first[2 * i], first[2 * i - 2]);
    const std::vector<float> second = Mix(28);
    EXPECT_EQ(voice.rampFramesLeft, 0);
    EXPECT_EQ(voice.leftLevel, 200 * 256);
    EXPECT_EQ(voice.rightLevel, 100 * 256);
    EXPECT_NEAR(second[2 * 27], 10000.0f * 200.0f / 255.0f * 127.0f / 128.0f, 1.0f);
    const std::vector<float> after = Mix(4);
    EXPECT_FLOAT_EQ(after[0], 10000.0f * 200.0f / 255.0f);
    EXPECT_FLOAT_EQ(after[1], 10000.0f * 100.0f / 255.0f);
}

TEST_F(Mixer, RampEndsWithinAStretchAndTheVoiceGoesOnSteadily)
{
    TestSample sample(std::vector<int16_t>(2000, -8000), LOOP_FORWARD, 0, 2000);
    Voice& voice = VoiceTable[0];
    voice.sample = &sample.sample;
    voice.direction = 1;
    voice.leftTarget = 255;
    voice.rightTarget = 0;
    const std::vector<float> out = Mix(300);
    EXPECT_EQ(voice.rampFramesLeft, 0);
    for (int i = 128; i < 300; ++i) {
        EXPECT_FLOAT_EQ(out[2 * i], -8000.0f) << i;
        EXPECT_FLOAT_EQ(out[2 * i + 1], 0.0f) << i;
    }
    EXPECT_EQ(voice.positionInt, 300);
}

TEST_F(Mixer, RetargetDuringARampStartsAFullRampFromTheLevelsReached)
{
    TestSample sample(std::vector<int16_t>(4000, 16000), LOOP_FORWARD, 0, 4000);
    Voice& voice = VoiceTable[1];
    voice.sample = &sample.sample;
    voice.direction = 1;
    voice.leftTarget = voice.rightTarget = 255;
    Mix(64);
    const int32_t halfway = voice.leftLevel;
    EXPECT_NEAR(halfway, 255 * 128, 300);
    voice.leftTarget = voice.rightTarget = 0;
    const std::vector<float> out = Mix(127);
    EXPECT_EQ(voice.rampFramesLeft, 1);
    EXPECT_NEAR(out[0], 16000.0f * halfway / 65280.0f, 1.0f);
    Mix(1);
    EXPECT_EQ(voice.rampFramesLeft, 0);
    EXPECT_EQ(voice.leftLevel, 0);
}

TEST_F(Mixer, ForwardLoopContinuesAtTheLoopStartWithTheSameFraction)
{
    TestSample sample(Ramp(10, 0, 100), LOOP_FORWARD, 4, 6);
    Voice& voice = SteadyVoice(0, sample.sample, FIXED_ONE);
    voice.positionFrac = 0x40000000;  // a quarter frame
    Mix(10);                          // reaches frame 10.25 exactly at the end of the stretch
    EXPECT_EQ(voice.positionInt, 4);
    EXPECT_EQ(voice.positionFrac, 0x40000000u);
    // Interpolation across the loop end reads the guard frame (the loop start).
    const std::vector<float> out = Mix(7);
    EXPECT_FLOAT_EQ(out[2 * 5], 900.0f + 0.25f * (400.0f - 900.0f));
    EXPECT_EQ(voice.positionInt, 5);
}

TEST_F(Mixer, ForwardLoopShorterThanTheIncrementWrapsAsOftenAsNeeded)
{
    TestSample sample(Ramp(8, 0, 10), LOOP_FORWARD, 5, 2);
    Voice& voice = SteadyVoice(0, sample.sample, 5 * FIXED_ONE);
    const std::vector<float> out = Mix(4);
    // Frames read: 0, 5, then 10 -> 6, 11 -> 5.
    const float expected[] = {0, 50, 60, 50};
    for (int i = 0; i < 4; ++i)
        EXPECT_FLOAT_EQ(out[2 * i], expected[i]) << i;
    EXPECT_EQ(voice.positionInt, 6);
    EXPECT_EQ(voice.sample, &sample.sample);
}

TEST_F(Mixer, PingPongReflectsAtBothEndsAndAlternatesDirection)
{
    TestSample sample(Ramp(12, 0, 100), LOOP_PINGPONG, 2, 6);
    Voice& voice = SteadyVoice(0, sample.sample, FIXED_ONE + FIXED_ONE / 2);
    // Forward from 0 by 1.5: 0, 1.5, 3, 4.5, 6, 7.5, then 9 >= 8 reflects to
    // 2 x 8 - 9 - 2^-32.
    Mix(6);
    EXPECT_EQ(voice.direction, 2);
    EXPECT_EQ(PositionOf(voice), 2 * Fixed(8) - Fixed(9) - 1);
    // Backward by 1.5 from just below 7 (bit 0 cleared first): just below
    // 5.5, 4, 2.5 and 1; 1 - 2^-31 lies one frame before the loop start and
    // reflects to 2 x 2 - (1 - 2^-31) - 2^-32 = 3 + 2^-32.
    std::vector<int32_t> directions;
    for (int i = 0; i < 4; ++i) {
        Mix(1);
        directions.push_back(voice.direction);
    }
    EXPECT_EQ(directions, (std::vector<int32_t>{2, 2, 2, 1}));
    EXPECT_EQ(PositionOf(voice), Fixed(3) + 1);
    Mix(4);  // forward again: 4.5, 6, 7.5, then 9 reflects
    EXPECT_EQ(voice.direction, 2);
}

TEST_F(Mixer, PingPongNeverReadsBeforeAFrameZeroLoopStart)
{
    // Increment 1.0 going backward lands exactly on frame 0, the loop start.
    TestSample sample(Ramp(4, 1000, 1000), LOOP_PINGPONG, 0, 4);
    Voice& voice = SteadyVoice(0, sample.sample, FIXED_ONE);
    for (int i = 0; i < 50; ++i) {
        Mix(3);
        EXPECT_GE(voice.positionInt, 0);
        EXPECT_LT(voice.positionInt, 4);
    }
}

TEST_F(Mixer, BackwardVoiceRewoundBeforeTheLoopFoldsBackIntoIt)
{
    TestSample sample(Ramp(1000, 0, 1), LOOP_PINGPONG, 900, 50);
    Voice& voice = SteadyVoice(0, sample.sample, FIXED_ONE);
    voice.direction = 2;
    voice.positionInt = 0;  // as a rewind leaves a voice that was moving backward
    Mix(64);
    EXPECT_GE(voice.positionInt, 900);
    EXPECT_LT(voice.positionInt, 950);
}

TEST_F(Mixer, SampleWithoutLoopEndsAfterTheRightNumberOfFrames)
{
    TestSample sample(std::vector<int16_t>(10, 500));
    Voice& voice = SteadyVoice(2, sample.sample, FIXED_ONE * 3 / 4);
    // 10 frames at 0.75 a frame: ceil(10 / 0.75) = 14 frames.
    const std::vector<float> out = Mix(20);
    EXPECT_EQ(voice.sample, nullptr);
    EXPECT_EQ(voice.positionInt, 0);
    EXPECT_EQ(voice.positionFrac, 0u);
    for (int i = 0; i < 13; ++i)
        EXPECT_NE(out[2 * i], 0.0f) << i;
    EXPECT_NE(out[2 * 13], 0.0f);  // frame 9.75, towards the zero slack
    for (int i = 14; i < 20; ++i)
        EXPECT_EQ(out[2 * i], 0.0f) << i;
}

TEST_F(Mixer, ZeroLengthSampleIsFreedWithoutReading)
{
    TestSample sample({});
    SteadyVoice(0, sample.sample, FIXED_ONE);
    SteadyVoice(1, EmptySample, FIXED_ONE);
    const std::vector<float> out = Mix(8);
    EXPECT_EQ(VoiceTable[0].sample, nullptr);
    EXPECT_EQ(VoiceTable[1].sample, nullptr);
    for (float value : out)
        EXPECT_EQ(value, 0.0f);
}

TEST_F(Mixer, VoiceThatDoesNotMoveEndsAsIfAt256Hz)
{
    TestSample sample(std::vector<int16_t>(20, 100));
    Voice& voice = SteadyVoice(0, sample.sample, 0);
    // 20 frames at 256/44100 frames per output frame.
    const int32_t frames = int32_t(std::ceil(20.0 * 4294967296.0 / double(FALLBACK_INCREMENT)));
    Mix(frames - 1);
    EXPECT_NE(voice.sample, nullptr);
    EXPECT_EQ(voice.positionInt, 0);
    // The voice has not moved: a stretch of the full count is needed.
    Mix(frames);
    EXPECT_EQ(voice.sample, nullptr);
}

TEST_F(Mixer, VoicesBeyondTheMixedSixtyFourAreNotMixed)
{
    TestSample sample(std::vector<int16_t>(50, 100));
    SteadyVoice(64, sample.sample, FIXED_ONE);
    SteadyVoice(63, sample.sample, FIXED_ONE);
    const std::vector<float> out = Mix(4);
    EXPECT_FLOAT_EQ(out[0], 100.0f);
    EXPECT_EQ(VoiceTable[64].positionInt, 0);
    EXPECT_EQ(VoiceTable[63].positionInt, 4);
}

TEST_F(Mixer, SilencedOrphanIsFreedWithoutChangingTheOutput)
{
    TestSample sample(Ramp(300, -9000, 61), LOOP_FORWARD, 10, 290);
    std::vector<float> outputs[2];
    for (int run = 0; run < 2; ++run) {
        ResetVoiceTable();
        Voice& voice = SteadyVoice(4, sample.sample, FIXED_ONE * 7 / 5, 180, 90);
        Voice& other = SteadyVoice(5, sample.sample, FIXED_ONE / 3, 30, 255);
        voice.leftTarget = voice.rightTarget = 0;  // left behind by a retrigger
        voice.orphaned = uint8_t(run);
        std::vector<float> out;
        for (int block = 0; block < 5; ++block) {
            const std::vector<float> part = Mix(97);
            out.insert(out.end(), part.begin(), part.end());
        }
        EXPECT_EQ(voice.sample == nullptr, run == 1);
        EXPECT_NE(other.sample, nullptr);
        outputs[run] = out;
    }
    ASSERT_EQ(outputs[0].size(), outputs[1].size());
    for (size_t i = 0; i < outputs[0].size(); ++i)
        ASSERT_EQ(outputs[0][i], outputs[1][i]) << i;
}

TEST_F(Mixer, ConvertToPcm16RoundsToEvenAndClamps)
{
    const std::vector<float> in = {32767.5f, -40000.0f, 0.5f,     1.5f,      -0.5f,  -1.5f,
                                   2.4f,     -2.6f,     40000.0f, -32768.5f, 100.0f, 0.0f};
    std::vector<int16_t> out(in.size());
    ConvertToPcm16(out.data(), in.data(), int32_t(in.size() / 2));
    EXPECT_EQ(out,
              (std::vector<int16_t>{32767, -32768, 0, 2, 0, -2, 2, -3, 32767, -32768, 100, 0}));
    std::vector<int16_t> untouched = {7, 7};
    ConvertToPcm16(untouched.data(), in.data(), 0);
    ConvertToPcm16(nullptr, in.data(), 1);
    ConvertToPcm16(untouched.data(), nullptr, 1);
    EXPECT_EQ(untouched, (std::vector<int16_t>{7, 7}));
}

TEST_F(Mixer, NothingHappensForEmptyStretches)
{
    TestSample sample(std::vector<int16_t>(10, 100));
    SteadyVoice(0, sample.sample, FIXED_ONE);
    MixVoices(nullptr, 10);
    float out[2] = {1.0f, 2.0f};
    MixVoices(out, 0);
    MixVoices(out, -5);
    EXPECT_EQ(out[0], 1.0f);
    EXPECT_EQ(VoiceTable[0].positionInt, 0);
}

TEST_F(Mixer, PairedFramesEqualFramesMixedOneByOne)
{
    // Stretches of one frame take the single-frame path; long stretches the
    // paths of two, four and (with AVX2, where present) eight frames per
    // iteration. All must give the same samples.
    TestSample sample(Ramp(5000, -30000, 13), LOOP_PINGPONG, 1000, 3000);
    std::vector<float> outputs[3];
    for (int run = 0; run < 3; ++run) {
        ResetVoiceTable();
        AllowWideMixing(run == 2);
        SteadyVoice(0, sample.sample, FIXED_ONE * 13 / 7 + 12345, 201, 77);
        SteadyVoice(1, sample.sample, FIXED_ONE / 3 + 1, 255, 3);
        std::vector<float> out;
        for (int frame = 0; frame < 4000; frame += run == 0 ? 1 : 401) {
            const std::vector<float> part = Mix(run == 0 ? 1 : 401);
            out.insert(out.end(), part.begin(), part.end());
        }
        out.resize(4000 * 2);
        outputs[run] = out;
    }
    for (int run = 1; run < 3; ++run)
        for (size_t i = 0; i < outputs[0].size(); ++i)
            ASSERT_EQ(outputs[0][i], outputs[run][i]) << "run " << run << ", value " << i;
}

TEST_F(Mixer, ConvertToPcm16AgreesWithRoundingToEvenForEveryValue)
{
    std::vector<float> in;
    for (int i = -70000; i <= 70000; ++i)
        in.push_back(float(i) * 0.5f);
    for (float extreme : {1e10f, -1e10f, 3.4e38f, -3.4e38f, 32767.49f, -32768.49f, 0.49999997f})
        in.push_back(extreme);
    if (in.size() % 2)
        in.push_back(0.0f);
    std::vector<int16_t> out(in.size());
    ConvertToPcm16(out.data(), in.data(), int32_t(in.size() / 2));
    for (size_t i = 0; i < in.size(); ++i) {
        double expected = std::nearbyint(double(in[i]));
        expected = expected < -32768 ? -32768 : (expected > 32767 ? 32767 : expected);
        ASSERT_EQ(out[i], int16_t(expected)) << in[i];
    }
}

TEST_F(Mixer, RampGainsAreSummedFrameByFrame)
{
    // Each ramp frame adds frame x gain and then moves the gain on by the
    // step, in single precision: the reference below does just that.
    TestSample sample(Ramp(600, -20000, 67), LOOP_FORWARD, 0, 600);
    Voice& voice = SteadyVoice(0, sample.sample, FIXED_ONE, 10, 200);
    voice.leftLevel = 10 * 256 + 77;
    voice.rightLevel = 200 * 256 + 3;
    voice.leftTarget = 203;
    voice.rightTarget = 9;
    const std::vector<float> out = Mix(RampFrames);
    float left = float(10 * 256 + 77) * (1.0f / 256.0f) * (1.0f / 255.0f);
    float right = float(200 * 256 + 3) * (1.0f / 256.0f) * (1.0f / 255.0f);
    const float leftStep = float(203 - 10) * (1.0f / 255.0f) * (1.0f / 128.0f);
    const float rightStep = float(9 - 200) * (1.0f / 255.0f) * (1.0f / 128.0f);
    for (int i = 0; i < RampFrames; ++i) {
        const float frame = float(-20000 + 67 * i);
        ASSERT_EQ(out[2 * i], 0.0f + frame * left) << i;
        ASSERT_EQ(out[2 * i + 1], 0.0f + frame * right) << i;
        left += leftStep;
        right += rightStep;
    }
    EXPECT_EQ(voice.rampFramesLeft, 0);
    EXPECT_EQ(voice.leftLevel, 203 * 256);
}

TEST_F(Mixer, SilentVoiceMovesOnAsIfItPlayed)
{
    TestSample sample(Ramp(5000, 0, 3), LOOP_PINGPONG, 100, 4000);
    Voice& silent = SteadyVoice(0, sample.sample, FIXED_ONE * 9 / 7 + 1, 0, 0);
    Voice& audible = SteadyVoice(1, sample.sample, FIXED_ONE * 9 / 7 + 1, 1, 0);
    for (int block = 0; block < 40; ++block) {
        Mix(883);
        ASSERT_EQ(silent.positionInt, audible.positionInt) << block;
        ASSERT_EQ(silent.positionFrac, audible.positionFrac) << block;
        ASSERT_EQ(silent.direction, audible.direction) << block;
    }
}
