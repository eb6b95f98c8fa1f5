#include "AudioOutput.h"
#include "DrivenWaveOut.h"
#include "Player.h"
#include "TestSongs.h"
#include "Xm2Wav.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

// What reaches the device, block by block, against the WAV file the xm2wav tool
// writes for the same module.
namespace {

std::vector<int16_t> Xm2WavSamples(const std::string& module, const std::string& wav,
                                   double seconds)
{
    const std::string secondsText = std::to_string(seconds);
    const char* argv[] = {"xm2wav", module.c_str(), wav.c_str(), "--seconds", secondsText.c_str()};
    FILE* sink = std::tmpfile();
    const int status = RunXm2Wav(5, argv, sink, sink);
    if (sink)
        std::fclose(sink);
    EXPECT_EQ(status, 0);
    std::ifstream file(wav, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(file)),
                            std::istreambuf_iterator<char>());
    const size_t HEADER = 44;
    std::vector<int16_t> samples(bytes.size() > HEADER ? (bytes.size() - HEADER) / 2 : 0);
    if (!samples.empty())
        std::memcpy(samples.data(), bytes.data() + HEADER, samples.size() * 2);
    return samples;
}

bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace

TEST(AudioOutputXm2Wav, DeviceReceivesWhatXm2WavRenders)
{
    const std::vector<uint8_t> module = MakeTestModule(1);
    const std::string modulePath = testing::TempDir() + "output_vs_xm2wav.xm";
    const std::string wavPath = testing::TempDir() + "output_vs_xm2wav.wav";
    ASSERT_TRUE(WriteBytes(modulePath, module));
    const std::vector<int16_t> rendered = Xm2WavSamples(modulePath, wavPath, 6.0);
    std::remove(modulePath.c_str());
    std::remove(wavPath.c_str());
    ASSERT_GE(rendered.size(), static_cast<size_t>(2 * RingFrames + 60 * BlockFrames) * 2);

    DrivenWaveOut& device = InstallDrivenWaveOut();
    Song* song = LoadTestSong(module);
    ASSERT_NE(song, nullptr);
    ASSERT_TRUE(StartPlayback(song));
    const int16_t* ring = reinterpret_cast<const int16_t*>(device.writtenHeader.load()->lpData);
    const size_t blockSamples = static_cast<size_t>(BlockFrames) * 2;

    // The pre-fill, then one ring and 60 blocks more as the device plays them.
    for (int32_t block = 0; block < BlockCount; ++block)
        ASSERT_EQ(std::memcmp(ring + block * blockSamples, rendered.data() + block * blockSamples,
                              blockSamples * 2),
                  0)
            << "pre-filled block " << block;
    for (int32_t played = 1; played <= BlockCount + 60; ++played) {
        ASSERT_TRUE(DriveTo(static_cast<uint32_t>(played) * BlockFrames * 4));
        const int32_t refilled = (played - 1) % BlockCount;
        const size_t songBlock = static_cast<size_t>(BlockCount + played - 1);
        ASSERT_EQ(std::memcmp(ring + refilled * blockSamples,
                              rendered.data() + songBlock * blockSamples, blockSamples * 2),
                  0)
            << "block " << refilled << " refilled after " << played << " blocks played";
    }
    EXPECT_TRUE(StopPlayback(song));
    EXPECT_TRUE(FreeSong(song));
    RemoveDrivenWaveOut();
}
