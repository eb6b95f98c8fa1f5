#include "DecodedVideo.h"
#include "VideoWriter.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

// The writer on its own, with pictures and sound made here: what it writes decodes
// to what it was given, and a file it does not finish goes.
namespace {

const int WIDTH = 320, HEIGHT = 240, FRAMES = 5, SOUND_FRAMES = 22050;

// A gradient with a white square that moves along from frame to frame.
std::vector<uint32_t> Picture(int frame)
{
    std::vector<uint32_t> argb(WIDTH * HEIGHT);
    for (int y = 0; y < HEIGHT; ++y)
        for (int x = 0; x < WIDTH; ++x)
            argb[y * WIDTH + x] = x / 40 == frame && y / 40 == 2
                                      ? 0xFFFFFFFFu
                                      : 0xFF000060u | (x * 255 / WIDTH) << 16 | (y * 255 / HEIGHT) << 8;
    return argb;
}

}  // namespace

TEST(VideoWriter, WebmHoldsVp9AndOpusOfWhatItWasGiven)
{
    const std::string path = "/tmp/skv_writer_" + std::to_string(getpid()) + ".webm";
    VideoFormat format;
    format.container = ContainerOf(path);
    format.width = WIDTH;
    format.height = HEIGHT;
    format.fps = 10;
    VideoWriter writer;
    std::string error;
    ASSERT_TRUE(writer.Open(path, format, error)) << error;
    for (int frame = 0; frame < FRAMES; ++frame) {
        ASSERT_TRUE(writer.ConvertPicture(Picture(frame).data(), frame + 1 < FRAMES ? 1.0 : 0.0));
        ASSERT_TRUE(writer.EncodePicture(error)) << error;
    }
    // A half-scale sweep, in two uneven pieces.
    std::vector<float> sound(2 * SOUND_FRAMES);
    for (int i = 0; i < SOUND_FRAMES; ++i)
        sound[2 * i] = sound[2 * i + 1] = 0.5f * static_cast<float>(std::sin(i * (0.03 + i * 1e-6)));
    ASSERT_TRUE(writer.WriteSound(sound.data(), 1000, error)) << error;
    ASSERT_TRUE(writer.WriteSound(sound.data() + 2000, SOUND_FRAMES - 1000, error)) << error;
    ASSERT_TRUE(writer.Finish(error)) << error;

    DecodedVideo video;
    ASSERT_TRUE(DecodeVideo(path, video, error)) << error;
    std::remove(path.c_str());
    EXPECT_EQ(video.streams, 2);
    EXPECT_EQ(video.pictureCodec + " " + video.soundCodec, "vp9 opus");
    EXPECT_EQ(video.width, WIDTH);
    EXPECT_EQ(video.height, HEIGHT);
    EXPECT_EQ(video.pictures, FRAMES);
    EXPECT_NEAR(video.seconds, 0.5, 0.05);
    EXPECT_LT(MeanPictureDifference(video.first, Picture(0)), 4.0);
    EXPECT_GT(MeanPictureDifference(video.first, Picture(1)), 4.0) << "the square is where it was";
    EXPECT_LT(MeanPictureDifference(video.last, std::vector<uint32_t>(WIDTH * HEIGHT, 0xFF000000u)), 2.0) << "level 0";
    EXPECT_EQ(video.soundRate, 48000) << "Opus knows no 44,100 Hz";
    EXPECT_EQ(video.soundChannels, 2);
    EXPECT_NEAR(video.sound.size() / 2.0, SOUND_FRAMES * 48000.0 / 44100.0, 960.0);
    double energy = 0.0;
    for (float s : video.sound)
        energy += s * s;
    EXPECT_NEAR(std::sqrt(energy / video.sound.size()), 0.5 / std::sqrt(2.0), 0.04) << "the sweep's level";
}

TEST(VideoWriter, LeavesNoFileWhenItCannotWriteOrIsNotFinished)
{
    const std::string path = "/tmp/skv_writer_" + std::to_string(getpid()) + ".mp4";
    VideoFormat format;
    VideoWriter writer;
    std::string error;
    EXPECT_FALSE(writer.Open("/nonexistent-folder/v.mp4", format, error));
    EXPECT_NE(error.find("/nonexistent-folder/v.mp4"), std::string::npos) << error;
    EXPECT_FALSE(writer.Finish(error)) << "nothing open";
    ASSERT_TRUE(writer.Open(path, format, error)) << error;
    ASSERT_EQ(access(path.c_str(), F_OK), 0);
    writer.Abandon();
    EXPECT_EQ(access(path.c_str(), F_OK), -1);
    {
        VideoWriter unfinished;
        ASSERT_TRUE(unfinished.Open(path, format, error)) << error;
        ASSERT_TRUE(unfinished.ConvertPicture(std::vector<uint32_t>(1024 * 768).data(), 1.0));
        ASSERT_TRUE(unfinished.EncodePicture(error)) << error;
    }
    EXPECT_EQ(access(path.c_str(), F_OK), -1) << "an unfinished writer takes its file along";
}
