#include "DecodedVideo.h"
#include "PngFile.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// The real intro recorded by skelvane-capture --video under the test display,
// read back as a player reads it, against the PNG frames and the WAV sound the
// tool's frame path makes for the same demo times: 2.4 s at 5 frames a second from
// 9.6 s on, through the title card's fade into the main part.
namespace {

const int FPS = 5;
const int FRAMES = 12;
const int64_t FIRST_MUSIC_FRAME = 423360;  // 9.6 s
const int64_t SOUND_FRAMES = 105840;       // 2.4 s

std::string s_folder;
std::string s_failure;
DecodedVideo s_video;
std::vector<uint32_t> s_png[2];  // at 9.6 s and 9.8 s
std::vector<float> s_wav;        // the music from 9.6 s on

struct CaptureRun {
    int status = -1;
    std::string output;
};

CaptureRun Capture(const std::string& arguments)
{
    CaptureRun run;
    FILE* pipe = popen((std::string(SKV_CAPTURE_PATH) + " " + arguments + " 2>&1").c_str(), "r");
    char buffer[256];
    while (pipe && std::fgets(buffer, sizeof buffer, pipe))
        run.output += buffer;
    run.status = pipe ? pclose(pipe) : -1;
    return run;
}

bool Exists(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

std::vector<float> ReadWavFrom(const std::string& path, int64_t firstFrame)
{
    std::ifstream file(path, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::vector<float> samples;
    for (size_t at = 44 + static_cast<size_t>(firstFrame) * 4; at + 1 < bytes.size(); at += 2)
        samples.push_back(static_cast<int16_t>((bytes[at] & 0xFF) | (bytes[at + 1] << 8)) / 32768.0f);
    return samples;
}

double Rms(const std::vector<float>& samples, size_t from, size_t count)
{
    double sum = 0.0;
    for (size_t i = from; i < from + count && i < samples.size(); ++i)
        sum += samples[i] * samples[i];
    return std::sqrt(sum / static_cast<double>(count));
}

class CapturedVideo : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        char folder[] = "/tmp/skv_video_XXXXXX";
        if (!std::getenv("DISPLAY") || !mkdtemp(folder))
            return;
        s_folder = folder;
        const std::string video = s_folder + "/intro.mp4";
        const CaptureRun recorded = Capture("--video " + video + " --fps 5 --from 9.6 --to 12");
        const CaptureRun framed = Capture("--at 9.6,9.8 --out " + s_folder + " --frame-ms 200 --audio " + s_folder +
                                   "/music.wav --audio-seconds 12");
        int width = 0, height = 0;
        if (recorded.status != 0 || framed.status != 0)
            s_failure = "skelvane-capture failed: " + recorded.output + framed.output;
        else if (!DecodeVideo(video, s_video, s_failure))
            s_failure += " (decoding)";
        else if (!ReadPng(s_folder + "/frame-9.6.png", s_png[0], width, height) ||
                 !ReadPng(s_folder + "/frame-9.8.png", s_png[1], width, height))
            s_failure = "no frames from the frame path";
        s_wav = ReadWavFrom(s_folder + "/music.wav", FIRST_MUSIC_FRAME);
        for (const char* name : {"/intro.mp4", "/frame-9.6.png", "/frame-9.8.png", "/music.wav"})
            std::remove((s_folder + name).c_str());
    }

    static void TearDownTestSuite()
    {
        if (!s_folder.empty())
            rmdir(s_folder.c_str());
    }

    void SetUp() override
    {
        if (s_folder.empty())
            GTEST_SKIP() << "needs an X display (the test command runs Xvfb)";
        ASSERT_TRUE(s_failure.empty()) << s_failure;
    }
};

}  // namespace

TEST_F(CapturedVideo, IsAnMp4OfH264AndAacAtTheAskedRateAndLength)
{
    EXPECT_EQ(s_video.streams, 2);
    EXPECT_EQ(s_video.pictureCodec, "h264");
    EXPECT_EQ(s_video.pixelFormat, "yuv420p");
    EXPECT_EQ(s_video.width, 1024);
    EXPECT_EQ(s_video.height, 768);
    EXPECT_EQ(s_video.fps, FPS);
    EXPECT_EQ(s_video.pictures, FRAMES);
    EXPECT_NEAR(s_video.seconds, 2.4, 0.03);
    EXPECT_EQ(s_video.soundCodec, "aac");
    EXPECT_EQ(s_video.soundRate, 44100);
    EXPECT_EQ(s_video.soundChannels, 2);
    // The encoder's last frame of 1,024 may run over; its first is taken off by the file's edit list.
    EXPECT_GE(s_video.sound.size(), 2u * SOUND_FRAMES);
    EXPECT_LT(s_video.sound.size(), 2u * (SOUND_FRAMES + 1024));
}

TEST_F(CapturedVideo, FirstPictureIsTheFrameOfItsDemoTime)
{
    const double same = MeanPictureDifference(s_video.first, s_png[0]);
    EXPECT_LT(same, 3.0) << "the PNG of 9.6 s, within the encoder's loss";
    EXPECT_GT(MeanPictureDifference(s_video.first, s_png[1]), 3.0 * same) << "not the frame after";
}

TEST_F(CapturedVideo, SoundIsTheMusicFromTheFirstFrameOnToTheSample)
{
    ASSERT_GE(s_wav.size(), 2u * SOUND_FRAMES);
    ASSERT_GT(Rms(s_wav, 0, 16384), 0.01) << "the music plays there";
    // The first 0.4 s come before the fade.
    const SoundMatch match = MatchSound(s_video.sound, s_wav, 16384, 2000);
    EXPECT_EQ(match.lag, 0);
    EXPECT_LT(match.error, 0.05) << "AAC's loss only";
}

TEST_F(CapturedVideo, PictureAndSoundFadeOutOverTheLastTwoSeconds)
{
    // The last picture at a tenth of its level: dark, where the title card is light.
    double level = 0.0;
    for (uint32_t c : s_video.last)
        level += ((c >> 16) & 0xFF) + ((c >> 8) & 0xFF) + (c & 0xFF);
    EXPECT_LT(level / (3.0 * s_video.last.size()), 30.0);
    // The last 0.2 s at a tenth of the level on average, against the music as it played.
    const size_t tail = 2 * 8820, end = 2 * SOUND_FRAMES;
    EXPECT_LT(Rms(s_video.sound, end - tail, tail), 0.15 * Rms(s_wav, end - tail, tail));
    EXPECT_GT(Rms(s_video.sound, end - 2 * tail, tail), 0.1 * Rms(s_wav, end - 2 * tail, tail)) << "not cut";
}

TEST_F(CapturedVideo, BadArgumentsGiveOneLineAndNoFile)
{
    for (const std::string& arguments : {"--video " + s_folder + "/v.avi", "--video " + s_folder + "/v.mp4 --from 5 --to 4",
                                         "--video " + s_folder + "/missing/v.mp4 --to 1"}) {
        const CaptureRun run = Capture(arguments);
        EXPECT_TRUE(WIFEXITED(run.status) && WEXITSTATUS(run.status) == 1) << arguments;
        EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), 1) << run.output;
    }
    EXPECT_FALSE(Exists(s_folder + "/v.avi"));
    EXPECT_FALSE(Exists(s_folder + "/v.mp4"));
}
