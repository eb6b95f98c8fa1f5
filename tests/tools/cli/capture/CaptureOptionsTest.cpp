#include "BenchFigures.h"
#include "CaptureOptions.h"
#include "VideoProgress.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// Parses a command line given as words after the program name.
bool Parse(std::vector<std::string> words, CaptureOptions& options, std::string& error)
{
    words.insert(words.begin(), "skelvane-capture");
    std::vector<const char*> argv;
    for (const std::string& w : words)
        argv.push_back(w.c_str());
    return ParseCaptureOptions(static_cast<int>(argv.size()), argv.data(), options, error);
}

bool Rejects(std::vector<std::string> words, const std::string& expectedWord)
{
    CaptureOptions options;
    std::string error;
    if (Parse(words, options, error))
        return false;
    EXPECT_NE(error.find(expectedWord), std::string::npos) << error;
    return true;
}

}  // namespace

TEST(CaptureOptions, TakesEveryOption)
{
    CaptureOptions options;
    std::string error;
    ASSERT_TRUE(Parse({"--at", "12.5,5,0", "--out", "frames", "--frame-ms", "20", "--bench", "20", "--audio",
                       "music.wav", "--audio-seconds", "60", "--progress"},
                      options, error))
        << error;
    EXPECT_EQ(options.times, (std::vector<double>{0.0, 5.0, 12.5})) << "sorted";
    EXPECT_EQ(options.outDir, "frames");
    EXPECT_EQ(options.frameMs, 20);
    EXPECT_EQ(options.benchSeconds, 20.0);
    EXPECT_EQ(options.audioPath, "music.wav");
    EXPECT_EQ(options.audioSeconds, 60.0);
    EXPECT_TRUE(options.progress);
}

TEST(CaptureOptions, DefaultsToSixteenMillisecondsAndMutedMusic)
{
    CaptureOptions options;
    std::string error;
    ASSERT_TRUE(Parse({"--at", "5", "--out", "."}, options, error)) << error;
    EXPECT_EQ(options.frameMs, 16);
    EXPECT_EQ(options.benchSeconds, 0.0);
    EXPECT_TRUE(options.audioPath.empty());
    EXPECT_EQ(options.audioSeconds, 0.0) << "the music ends with the frames";
    EXPECT_FALSE(options.progress);

    ASSERT_TRUE(Parse({"--bench", "2.5"}, options, error)) << "a bench alone needs no folder: " << error;
    EXPECT_TRUE(options.times.empty());
    EXPECT_EQ(options.benchSeconds, 2.5);
}

TEST(CaptureOptions, TimesNamingTheSameFileAreOneCapture)
{
    CaptureOptions options;
    std::string error;
    ASSERT_TRUE(Parse({"--at", "5,5.0,5.0001,7", "--out", "o"}, options, error)) << error;
    EXPECT_EQ(options.times.size(), 2u);
    EXPECT_EQ(options.times.back(), 7.0);
}

TEST(CaptureOptions, RefusesWhatItCannotTake)
{
    EXPECT_TRUE(Rejects({}, "nothing to do"));
    EXPECT_TRUE(Rejects({"--at", "5"}, "--out"));
    EXPECT_TRUE(Rejects({"--at", "5,", "--out", "o"}, "\"\""));
    EXPECT_TRUE(Rejects({"--at", "five", "--out", "o"}, "five"));
    EXPECT_TRUE(Rejects({"--at", "-1", "--out", "o"}, "-1"));
    EXPECT_TRUE(Rejects({"--at", "nan", "--out", "o"}, "nan"));
    EXPECT_TRUE(Rejects({"--at", "inf", "--out", "o"}, "inf"));
    EXPECT_TRUE(Rejects({"--at", "1e9", "--out", "o"}, "1e9"));
    EXPECT_TRUE(Rejects({"--at", " 5", "--out", "o"}, "5"));
    EXPECT_TRUE(Rejects({"--at", "5", "--out", "o", "--frame-ms", "0"}, "--frame-ms"));
    EXPECT_TRUE(Rejects({"--at", "5", "--out", "o", "--frame-ms", "16.5"}, "--frame-ms"));
    EXPECT_TRUE(Rejects({"--at", "5", "--out", "o", "--frame-ms", "10001"}, "--frame-ms"));
    EXPECT_TRUE(Rejects({"--bench", "0"}, "--bench"));
    EXPECT_TRUE(Rejects({"--bench", "-3"}, "--bench"));
    EXPECT_TRUE(Rejects({"--bench", "3601"}, "--bench"));
    EXPECT_TRUE(Rejects({"--bench"}, "needs a value"));
    EXPECT_TRUE(Rejects({"--bench", "5", "--audio", ""}, "--audio"));
    EXPECT_TRUE(Rejects({"--bench", "5", "--audio-seconds", "60"}, "needs --audio"));
    EXPECT_TRUE(Rejects({"--bench", "5", "--audio", "a.wav", "--audio-seconds", "0"}, "--audio-seconds"));
    EXPECT_TRUE(Rejects({"--bench", "5", "--audio", "a.wav", "--audio-seconds", "3601"}, "--audio-seconds"));
    EXPECT_TRUE(Rejects({"--bench", "5", "--out", ""}, "--out"));
    EXPECT_TRUE(Rejects({"--bench", "5", "--fast"}, "--fast"));
}

TEST(CaptureOptions, FileNamesUseTheShortestTime)
{
    EXPECT_EQ(FrameFileName(5.0), "frame-5.png");
    EXPECT_EQ(FrameFileName(0.0), "frame-0.png");
    EXPECT_EQ(FrameFileName(10.5), "frame-10.5.png");
    EXPECT_EQ(FrameFileName(10.25), "frame-10.25.png");
    EXPECT_EQ(FrameFileName(9.9999), "frame-10.png") << "three decimals at most";
    EXPECT_EQ(FrameFileName(123.456), "frame-123.456.png");
}

TEST(CaptureOptions, AFrameReachesItsTimeDespiteFloatSums)
{
    // 625 frames of 16 ms, summed as the Demo sums them, should be the frame for 10 s.
    float demoTime = 0.0f;
    int frames = 0;
    while (!FrameReaches(demoTime, 10.0)) {
        demoTime += 0.016f;
        ++frames;
    }
    EXPECT_EQ(frames, 625);
    EXPECT_FALSE(FrameReaches(4.99f, 5.0));
    EXPECT_TRUE(FrameReaches(5.0f, 5.0));
    EXPECT_TRUE(FrameReaches(0.016f, 0.0)) << "time 0 is the first frame";
}

TEST(BenchFigures, MedianAndNearestRankPercentile)
{
    BenchFigures f = ComputeBenchFigures({});
    EXPECT_EQ(f.frames, 0u);
    EXPECT_EQ(f.medianMs, 0.0);

    f = ComputeBenchFigures({30.0});
    EXPECT_EQ(f.medianMs, 30.0);
    EXPECT_EQ(f.percentile95Ms, 30.0);

    f = ComputeBenchFigures({40.0, 10.0, 20.0, 30.0});
    EXPECT_EQ(f.medianMs, 25.0) << "the mean of the middle two";
    EXPECT_EQ(f.percentile95Ms, 40.0);

    // 100 frames of 1 ... 100 ms: the 95th is the 95th smallest.
    std::vector<double> ms;
    for (int i = 100; i >= 1; --i)
        ms.push_back(i);
    f = ComputeBenchFigures(ms);
    EXPECT_EQ(f.frames, 100u);
    EXPECT_EQ(f.medianMs, 50.5);
    EXPECT_EQ(f.percentile95Ms, 95.0);

    // One slow frame in twenty does not move the 95th percentile; two do.
    std::vector<double> steady(19, 20.0);
    steady.push_back(500.0);
    EXPECT_EQ(ComputeBenchFigures(steady).percentile95Ms, 20.0);
    steady[0] = 400.0;
    EXPECT_EQ(ComputeBenchFigures(steady).percentile95Ms, 400.0);
}

TEST(BenchFigures, TheLineNamesEveryFigure)
{
    BenchFigures f;
    f.medianMs = 24.04;
    f.percentile95Ms = 31.96;
    f.frames = 812;
    const std::string line = FormatBenchLine(f, 0.8449, "OpenGL ES 3.2 Mesa 22.3.6");
    EXPECT_NE(line.find("median 24.0 ms"), std::string::npos) << line;
    EXPECT_NE(line.find("95th percentile 32.0 ms"), std::string::npos) << line;
    EXPECT_NE(line.find("812"), std::string::npos) << line;
    EXPECT_NE(line.find("0.84 s"), std::string::npos) << line;
    EXPECT_NE(line.find("drawn with OpenGL ES 3.2 Mesa 22.3.6"), std::string::npos) << line;
    EXPECT_EQ(line.find('\n'), std::string::npos) << "one line";
}

TEST(CaptureOptions, VideoTakesItsOwnOptionsAndNoneOfTheFramePath)
{
    CaptureOptions options;
    std::string error;
#if SKV_CAPTURE_VIDEO
    ASSERT_TRUE(Parse({"--video", "a.b/out.MKV", "--fps", "25", "--from", "9.6", "--to", "20.0004", "--crf", "23"},
                      options, error))
        << error;
    const VideoOptions& v = options.video;
    EXPECT_EQ(v.container, VideoContainer::Matroska);
    EXPECT_EQ(std::vector<int64_t>({v.fps, v.fromMs, v.toMs, v.crf}), std::vector<int64_t>({25, 9600, 20000, 23}));
    ASSERT_TRUE(Parse({"--video", "intro.mp4"}, options, error)) << error;
    EXPECT_EQ(v.container, VideoContainer::Mp4);
    EXPECT_EQ(std::vector<int64_t>({v.fps, v.fromMs, v.toMs, v.crf}), std::vector<int64_t>({60, 0, -1, 18}))
        << "the end: the song's";

    for (const char* bad : {"intro.avi", "a.mp4/intro"})
        EXPECT_TRUE(Rejects({"--video", bad}, bad));
    EXPECT_TRUE(Rejects({"--video", "v.webm", "--from", "5", "--to", "5"}, "--to must come after --from"));
    for (const char* fps : {"0", "241", "29.97"})
        EXPECT_TRUE(Rejects({"--video", "v.webm", "--fps", fps}, "--fps"));
    EXPECT_TRUE(Rejects({"--video", "v.webm", "--from", "-1"}, "--from"));
    EXPECT_TRUE(Rejects({"--video", "v.webm", "--crf", "52"}, "--crf"));
    EXPECT_TRUE(Rejects({"--fps", "30", "--bench", "5"}, "--fps needs --video"));
    for (std::vector<std::string> other : {std::vector<std::string>{"--at", "1", "--out", "o"},
                                           {"--frame-ms", "16"},
                                           {"--audio", "a.wav"},
                                           {"--bench", "3"}}) {
        other.insert(other.begin(), {"--video", "v.mp4"});
        EXPECT_TRUE(Rejects(other, "takes none of")) << other[2];
    }
#else
    EXPECT_TRUE(Rejects({"--video", "out.mp4"}, "not part of this build"));
    EXPECT_NE(std::string(VIDEO_USAGE).find("not part of this build"), std::string::npos);
#endif
}

TEST(VideoSchedule, FrameNShowsFromPlusNOverFpsInWholeMillisecondsAndFadesAtTheEnd)
{
    VideoSchedule s;
    std::string error;
    ASSERT_TRUE(MakeVideoSchedule(60, 0, 1000, s, error)) << error;
    EXPECT_EQ(s.leadFrames, 0);
    EXPECT_EQ(s.frames, 60);
    int64_t sum = 0;
    for (int64_t n = 0; n < s.frames; ++n) {
        sum += DrawnFrameMs(s, n);  // 0 first: frame 0 shows demo time 0
        EXPECT_EQ(sum, DrawnFrameDemoMs(s, n));
        EXPECT_EQ(sum, std::llround(n * 1000.0 / 60.0)) << n;
    }
    EXPECT_EQ(SoundFrames(s), 44100);

    // From 9.6 s at 25 a second: 240 unrecorded frames of 40 ms, as --frame-ms 40 draws them.
    ASSERT_TRUE(MakeVideoSchedule(25, 9600, 12000, s, error)) << error;
    EXPECT_EQ(std::vector<int64_t>({s.leadFrames, s.frames, DrawnFrameDemoMs(s, 239), DrawnFrameDemoMs(s, 240)}),
              std::vector<int64_t>({240, 60, 9560, 9600}));
    EXPECT_EQ(FirstMusicFrame(s), 423360);
    EXPECT_EQ(SoundFrames(s), 105840);
    // A start between two frames of the rate: one shorter step lands on it.
    ASSERT_TRUE(MakeVideoSchedule(60, 10010, 11000, s, error)) << error;
    EXPECT_EQ(DrawnFrameDemoMs(s, s.leadFrames - 1), 10000);
    EXPECT_EQ(DrawnFrameDemoMs(s, s.leadFrames), 10010);
    EXPECT_EQ(DrawnFrameDemoMs(s, s.leadFrames + 1), 10027);
    EXPECT_FALSE(MakeVideoSchedule(60, 5000, 5000, s, error));
    EXPECT_FALSE(MakeVideoSchedule(5, 0, 50, s, error));
    EXPECT_NE(error.find("no frame"), std::string::npos) << error;

    // The last two seconds fall straight to 0; a shorter video fades all along.
    EXPECT_EQ(FadeLevel(480, 600, 60), 1.0);
    EXPECT_DOUBLE_EQ(FadeLevel(540, 600, 60), 0.5);
    EXPECT_DOUBLE_EQ(FadeLevel(599, 600, 60), 1.0 / 120.0);
    EXPECT_DOUBLE_EQ(FadeLevel(110250, 176400, 44100), 0.75) << "sound: at 2.5 of 4 s";
    EXPECT_DOUBLE_EQ(FadeLevel(30, 60, 60), 0.5);
}

TEST(VideoProgress, ABarOnATerminalALineATenthElsewhereAndASmoothedTimeLeft)
{
    const std::string bar = ProgressLine(25, 100, 83.4, true);
    EXPECT_NE(bar.find("[" + std::string(7, '#') + std::string(23, '.') + "] 25 %, frame 25 of 100, 1:23 left"),
              std::string::npos)
        << bar;
    EXPECT_EQ(ClockTime(3723.0), "1:02:03");

    FILE* log = std::tmpfile();
    ASSERT_NE(log, nullptr);
    VideoProgress pipe(log, false, 95);
    for (int frame = 1; frame <= 95; ++frame)
        pipe.Update(frame, frame * 0.5);
    std::rewind(log);
    std::vector<std::string> lines;
    char text[200];
    while (std::fgets(text, sizeof text, log))
        lines.push_back(text);
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[0], "recording: 10 %, frame 10 of 95, 0:43 left\n");
    EXPECT_EQ(lines[9], "recording: 100 %, frame 95 of 95\n");

    VideoProgress terminal(log, true, 1000);
    double wall = 0.0;
    for (int frame = 1; frame <= 100; ++frame)
        terminal.Update(frame, wall += 0.1);
    EXPECT_NEAR(terminal.SecondsLeft(), 90.0, 0.01);
    // Frames ten times as dear: the estimate moves toward ten times, a step at a time;
    // several frames at one update count as they would one by one.
    terminal.Update(101, wall += 1.0);
    EXPECT_GT(terminal.SecondsLeft(), 100.0);
    EXPECT_LT(terminal.SecondsLeft(), 400.0);
    for (int frame = 102; frame <= 300; frame += 10)
        terminal.Update(frame, wall += 10.0);
    EXPECT_NEAR(terminal.SecondsLeft(), 708.0, 10.0);
    std::fclose(log);
}
