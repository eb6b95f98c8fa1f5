#include "BenchFigures.h"
#include "CaptureOptions.h"

#include <gtest/gtest.h>

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
    const std::string line = FormatBenchLine(f, 0.8449);
    EXPECT_NE(line.find("median 24.0 ms"), std::string::npos) << line;
    EXPECT_NE(line.find("95th percentile 32.0 ms"), std::string::npos) << line;
    EXPECT_NE(line.find("812"), std::string::npos) << line;
    EXPECT_NE(line.find("0.84 s"), std::string::npos) << line;
    EXPECT_EQ(line.find('\n'), std::string::npos) << "one line";
}
