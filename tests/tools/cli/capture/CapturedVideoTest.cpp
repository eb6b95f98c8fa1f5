#include "DecodedVideo.h"
#include "PngFile.h"

#include <gtest/gtest.h>

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

// The real intro recorded by skelvane-capture --video under the test display, read
// back as a player reads it, against the PNG frames and the WAV music the tool's
// frame path makes for the same demo times: 2.4 s at 5 frames a second from 9.6 s
// on, through the title card's fade into the main part.
namespace {

const size_t SOUND_FRAMES = 105840;  // 2.4 s

std::string s_folder, s_failure;
DecodedVideo s_video;
std::vector<uint32_t> s_png[2];  // 9.6 s and 9.8 s
std::vector<float> s_wav;        // the music from 9.6 s on

// The exit status and everything printed.
std::pair<int, std::string> Capture(const std::string& arguments)
{
    std::string output;
    FILE* pipe = popen((std::string(SKV_CAPTURE_PATH) + " " + arguments + " 2>&1").c_str(), "r");
    char buffer[256];
    while (pipe && std::fgets(buffer, sizeof buffer, pipe))
        output += buffer;
    const int status = pipe ? pclose(pipe) : -1;
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
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
        const auto recorded = Capture("--video " + s_folder + "/intro.mp4 --fps 5 --from 9.6 --to 12");
        const auto framed = Capture("--at 9.6,9.8 --out " + s_folder + " --frame-ms 200 --audio " + s_folder +
                                    "/music.wav --audio-seconds 12");
        int width = 0, height = 0;
        if (recorded.first != 0 || framed.first != 0)
            s_failure = "skelvane-capture failed: " + recorded.second + framed.second;
        else if (!DecodeVideo(s_folder + "/intro.mp4", s_video, s_failure) ||
                 !ReadPng(s_folder + "/frame-9.6.png", s_png[0], width, height) ||
                 !ReadPng(s_folder + "/frame-9.8.png", s_png[1], width, height))
            s_failure += " (reading the files back)";
        std::ifstream wav(s_folder + "/music.wav", std::ios::binary);
        const std::vector<char> bytes((std::istreambuf_iterator<char>(wav)), std::istreambuf_iterator<char>());
        for (size_t at = 44 + 423360 * 4; at + 1 < bytes.size(); at += 2)
            s_wav.push_back(static_cast<int16_t>((bytes[at] & 0xFF) | (bytes[at + 1] << 8)) / 32768.0f);
        for (const char* name : {"/intro.mp4", "/frame-9.6.png", "/frame-9.8.png", "/music.wav"})
            std::remove((s_folder + name).c_str());
    }

    static void TearDownTestSuite() { rmdir(s_folder.c_str()); }

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
    EXPECT_EQ(s_video.pictureCodec + " " + s_video.pixelFormat + " " + s_video.soundCodec, "h264 yuv420p aac");
    EXPECT_EQ(s_video.width, 1024);
    EXPECT_EQ(s_video.height, 768);
    EXPECT_EQ(s_video.fps, 5);
    EXPECT_EQ(s_video.pictures, 12);
    EXPECT_NEAR(s_video.seconds, 2.4, 0.03);
    EXPECT_EQ(s_video.soundRate, 44100);
    EXPECT_EQ(s_video.soundChannels, 2);
    // The encoder's last frame of 1,024 may run over; the file's edit list takes its first off.
    EXPECT_GE(s_video.sound.size(), 2 * SOUND_FRAMES);
    EXPECT_LT(s_video.sound.size(), 2 * (SOUND_FRAMES + 1024));
}

TEST_F(CapturedVideo, FirstPictureIsTheFrameOfItsDemoTime)
{
    const double same = MeanPictureDifference(s_video.first, s_png[0]);
    EXPECT_LT(same, 3.0) << "the PNG of 9.6 s, within the encoder's loss";
    EXPECT_GT(MeanPictureDifference(s_video.first, s_png[1]), 3.0 * same) << "not the frame after";
}

TEST_F(CapturedVideo, SoundIsTheMusicFromTheFirstFrameOnToTheSample)
{
    // The first 0.4 s, before the fade: the lag at which the decoded sound lines up
    // best with the music, and what is left of the difference there.
    const size_t n = 2 * 16384;
    ASSERT_GE(s_wav.size(), 2 * SOUND_FRAMES);
    ASSERT_GT(Rms(s_wav, 0, n), 0.01) << "the music plays there";
    int bestLag = 0;
    double least = 1e30;
    for (int lag = -2000; lag <= 2000; ++lag) {
        double sum = 0.0;
        for (size_t i = 0; i < n; ++i) {
            const long at = static_cast<long>(i) + 2 * lag;
            const double d = (at >= 0 ? s_video.sound[at] : 0.0f) - s_wav[i];
            sum += d * d;
        }
        if (sum < least) {
            least = sum;
            bestLag = lag;
        }
    }
    EXPECT_EQ(bestLag, 0);
    EXPECT_LT(std::sqrt(least / n), 0.2 * Rms(s_wav, 0, n)) << "AAC's loss only";
}

TEST_F(CapturedVideo, PictureAndSoundFadeOutOverTheLastTwoSeconds)
{
    // The last picture at a tenth of its level: dark, where the title card is light.
    EXPECT_LT(MeanPictureDifference(s_video.last, std::vector<uint32_t>(s_video.last.size(), 0xFF000000u)), 30.0);
    // The last 0.2 s at a twentieth of the music's level on average, the 0.2 s before at three twentieths.
    const size_t tail = 2 * 8820, end = 2 * SOUND_FRAMES;
    EXPECT_LT(Rms(s_video.sound, end - tail, tail), 0.1 * Rms(s_wav, end - tail, tail));
    EXPECT_GT(Rms(s_video.sound, end - 2 * tail, tail), 0.1 * Rms(s_wav, end - 2 * tail, tail)) << "not cut";
}

TEST_F(CapturedVideo, BadArgumentsGiveOneLineAndNoFile)
{
    for (const std::string& arguments :
         {"--video " + s_folder + "/v.avi", "--video " + s_folder + "/v.mp4 --from 5 --to 4",
          "--video " + s_folder + "/missing/v.mp4 --to 1"}) {
        const auto run = Capture(arguments);
        EXPECT_EQ(run.first, 1) << arguments;
        EXPECT_EQ(std::count(run.second.begin(), run.second.end(), '\n'), 1) << run.second;
    }
    EXPECT_EQ(access((s_folder + "/v.avi").c_str(), F_OK), -1);
    EXPECT_EQ(access((s_folder + "/v.mp4").c_str(), F_OK), -1);
}
