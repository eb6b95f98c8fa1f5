#include "AudioOutput.h"
#include "CaptureWaveOut.h"
#include "Player.h"
#include "TestSongs.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

// The clocked wave-out against the offline render of the same song: whatever steps
// the capture takes, what the device "plays" is the song from its first frame.
namespace {

std::vector<int16_t> Offline(const std::vector<uint8_t>& module, int64_t frames)
{
    Song* song = LoadTestSong(module);
    EXPECT_NE(song, nullptr);
    std::vector<int16_t> pcm(static_cast<size_t>(frames) * 2);
    EXPECT_TRUE(RenderSong(song, pcm.data(), frames));
    EXPECT_TRUE(FreeSong(song));
    return pcm;
}

// Plays the module through the capture device in the given steps (frames), cycling
// through them until `frames` have been played; returns what was kept.
std::vector<int16_t> Captured(const std::vector<uint8_t>& module, const std::vector<int64_t>& steps, int64_t frames,
                              bool keep = true)
{
    InstallCaptureWaveOut(keep);
    Song* song = LoadTestSong(module);
    EXPECT_NE(song, nullptr);
    EXPECT_FALSE(CaptureWaveOutOpen()) << "nothing plays yet";
    EXPECT_TRUE(StartPlayback(song));
    EXPECT_TRUE(CaptureWaveOutOpen());
    int64_t position = 0;
    for (size_t i = 0; position < frames; ++i) {
        position = std::min(frames, position + steps[i % steps.size()]);
        EXPECT_TRUE(PlayCaptureWaveOutTo(position));
    }
    EXPECT_TRUE(PlayCaptureWaveOutTo(position - 100)) << "never back";
    std::vector<int16_t> kept = CapturedPcm();
    EXPECT_TRUE(StopPlayback(song));
    EXPECT_FALSE(CaptureWaveOutOpen());
    EXPECT_TRUE(FreeSong(song));
    RemoveCaptureWaveOut();
    return kept;
}

// The first differing stereo frame, or -1.
int64_t FirstDifference(const std::vector<int16_t>& a, const std::vector<int16_t>& b)
{
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i)
        if (a[i] != b[i])
            return static_cast<int64_t>(i / 2);
    return a.size() == b.size() ? -1 : static_cast<int64_t>(n / 2);
}

const int64_t FRAMES_16_MS = MixRate * 16 / 1000;

}  // namespace

TEST(CaptureWaveOut, SixteenMillisecondFramesPlayTheSongAsRendered)
{
    const std::vector<uint8_t> module = MakeTestModule(1);
    const int64_t frames = 5 * MixRate;  // two and a half rings
    const std::vector<int16_t> expected = Offline(module, frames);
    const std::vector<int16_t> kept = Captured(module, {FRAMES_16_MS}, frames);
    EXPECT_EQ(FirstDifference(kept, expected), -1);
}

TEST(CaptureWaveOut, LongAndUnevenStepsPlayTheSameFrames)
{
    // Steps of a frame, of a block, of most of a ring and of several rings in one go.
    const std::vector<uint8_t> module = MakeTestModule(2);
    const int64_t frames = 8 * MixRate;
    const std::vector<int16_t> expected = Offline(module, frames);
    const std::vector<int64_t> steps = {1, BlockFrames, RingFrames - 7, 3 * RingFrames + 5, 13};
    const std::vector<int16_t> kept = Captured(module, steps, frames);
    EXPECT_EQ(FirstDifference(kept, expected), -1);
}

TEST(CaptureWaveOut, MutedKeepsNothingAndStillPlays)
{
    const std::vector<uint8_t> module = MakeTestModule(1);
    const std::vector<int16_t> kept = Captured(module, {FRAMES_16_MS}, 3 * MixRate, false);
    EXPECT_TRUE(kept.empty());
}

TEST(CaptureWaveOut, NothingToDoWhileClosed)
{
    InstallCaptureWaveOut(true);
    EXPECT_FALSE(CaptureWaveOutOpen());
    EXPECT_TRUE(PlayCaptureWaveOutTo(44100));
    EXPECT_TRUE(CapturedPcm().empty());
    RemoveCaptureWaveOut();
}
