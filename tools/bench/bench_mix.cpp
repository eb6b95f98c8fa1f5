// Prints the voice mixer's cost in nanoseconds per voice-frame: 32 voices on
// looped samples (forward and ping-pong, assorted lengths and steps) at
// steady gains, mixed in 20 ms blocks as the block fill does.
//
//     bench_mix [--seconds S] [--voices N] [--narrow]
//
// --narrow keeps the mixer off its eight-frames-at-a-time AVX2 path.

#include "Mixer.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

namespace {

const int32_t BLOCK = 884;
const int ROUNDS = 5;

struct BenchSample {
    std::vector<int16_t> frames;
    Sample sample = {};
};

void MakeSample(BenchSample& bench, uint32_t length, uint8_t kind, int seed)
{
    bench.frames.assign(length + SAMPLE_SLACK_FRAMES, 0);
    for (uint32_t i = 0; i < length; ++i)
        bench.frames[i] = int16_t(12000.0 * std::sin(i * (0.05 + 0.01 * seed)) + 3000.0 * std::sin(i * 0.31));
    Sample& s = bench.sample;
    s.data = bench.frames.data();
    s.length = length;
    s.loopStart = length / 4;
    s.loopLength = length - s.loopStart;
    s.loopKind = kind;
    s.bits = 16;
    const uint32_t end = s.loopStart + s.loopLength;
    bench.frames[end] = kind == LOOP_FORWARD ? bench.frames[s.loopStart] : bench.frames[end - 1];
}

void StartVoices(std::vector<BenchSample>& samples, int voices)
{
    ResetVoiceTable();
    for (int v = 0; v < voices; ++v) {
        Voice& voice = VoiceTable[v];
        voice.sample = &samples[size_t(v) % samples.size()].sample;
        // Steps from about 0.4 to 2.3 frames per output frame.
        voice.increment = uint64_t((0.4 + 0.06 * v) * 4294967296.0);
        voice.direction = 1;
        voice.leftTarget = voice.leftSeen = 40 + 6 * v;
        voice.rightTarget = voice.rightSeen = 230 - 6 * v;
        voice.leftLevel = voice.leftTarget * 256;
        voice.rightLevel = voice.rightTarget * 256;
    }
}

}  // namespace

int main(int argc, char** argv)
{
    double seconds = 20.0;
    int voices = 32;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc)
            seconds = std::atof(argv[++i]);
        else if (std::strcmp(argv[i], "--voices") == 0 && i + 1 < argc)
            voices = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--narrow") == 0)
            AllowWideMixing(false);
        else {
            std::fprintf(stderr, "usage: bench_mix [--seconds S] [--voices N] [--narrow]\n");
            return 1;
        }
    }
    voices = std::max(1, std::min(voices, MIXED_VOICES));
    std::vector<BenchSample> samples(8);
    const uint32_t lengths[8] = {1500, 4000, 9000, 22050, 700, 16000, 3100, 50000};
    for (int i = 0; i < 8; ++i)
        MakeSample(samples[i], lengths[i], i % 2 ? LOOP_PINGPONG : LOOP_FORWARD, i);

    const int32_t blocks = int32_t(seconds * MixRate / BLOCK);
    std::vector<float> mix(size_t(BLOCK) * 2);
    std::vector<double> results;      // processor time: the work on one core
    std::vector<double> wallResults;  // wall clock: slower on a busy machine
    for (int round = 0; round < ROUNDS; ++round) {
        StartVoices(samples, voices);
        const auto start = std::chrono::steady_clock::now();
        const std::clock_t processorStart = std::clock();
        for (int32_t b = 0; b < blocks; ++b) {
            std::memset(mix.data(), 0, mix.size() * sizeof(float));
            MixVoices(mix.data(), BLOCK);
        }
        const double processorNs = double(std::clock() - processorStart) * 1e9 / CLOCKS_PER_SEC;
        const double wallNs =
            std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start).count();
        const double voiceFrames = double(blocks) * BLOCK * voices;
        results.push_back(processorNs / voiceFrames);
        wallResults.push_back(wallNs / voiceFrames);
        for (int v = 0; v < voices; ++v)
            if (!VoiceTable[v].sample) {
                std::fprintf(stderr, "voice %d stopped: looping samples must not end\n", v);
                return 1;
            }
    }
    std::sort(results.begin(), results.end());
    std::sort(wallResults.begin(), wallResults.end());
    std::printf("voices %d, %.0f s of audio per round, %d rounds\n", voices, double(blocks) * BLOCK / MixRate, ROUNDS);
    std::printf("wall clock: best %.3f ns, median %.3f ns per voice-frame\n", wallResults.front(),
                wallResults[wallResults.size() / 2]);
    std::printf("processor time: best %.3f ns, median %.3f ns per voice-frame\n", results.front(),
                results[results.size() / 2]);
    return 0;
}
