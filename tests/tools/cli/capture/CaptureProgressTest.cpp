#include "CaptureProgress.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {

// 36 s of demo time in 16 ms frames, a frame written every 3 s. Wall time: 10 ms a
// title-card frame (the first 10 s), 50 ms a main-part frame, 2 s more for writing.
// Returns what was printed.
std::string RunOfTwelveFrames(bool live)
{
    FILE* stream = std::tmpfile();
    CaptureProgress progress(stream, live, {12, 36.0, 10.0, false});
    double wall = 0.0;
    size_t written = 0;
    for (int frame = 1; frame * 0.016 < 36.01; ++frame) {
        const double demoTime = frame * 0.016;
        wall += demoTime < 10.0 ? 0.01 : 0.05;
        if (demoTime >= 3.0 * (written + 1)) {
            ++written;
            wall += 2.0;
        }
        progress.Update(wall, demoTime, written, 0);
    }
    EXPECT_EQ(progress.LineOpen(), live);
    progress.Finish();
    std::string text;
    std::rewind(stream);
    for (int c; (c = std::fgetc(stream)) != EOF;)
        text += static_cast<char>(c);
    std::fclose(stream);
    return text;
}

}  // namespace

TEST(CaptureProgress, ALogGetsALinePerFrameWrittenAndTheSummary)
{
    const std::string log = RunOfTwelveFrames(false);
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 13);
    EXPECT_EQ(log.find('\r'), std::string::npos);
    EXPECT_EQ(log.substr(0, log.find('\n')), "capturing: demo time 3 s of 36 s, 1 of 12 frames written");
}

TEST(CaptureProgress, ATerminalGetsOneLineRewrittenWithASteadyEstimate)
{
    const std::string screen = RunOfTwelveFrames(true);
    EXPECT_EQ(std::count(screen.begin(), screen.end(), '\n'), 1);
    EXPECT_GT(std::count(screen.begin(), screen.end(), '\r'), 300) << "a few a second over 112 s";
    // From the pace of the whole main part so far, the estimates in one demo second
    // fall by the 4 s it takes; from the last few frames they would leap at every
    // frame written. None comes from the title card's pace.
    int lowest[37], highest[37];
    std::fill(lowest, lowest + 37, 100000);
    std::fill(highest, highest + 37, -1);
    for (size_t at = 0; (at = screen.find('\r', at)) != std::string::npos; ++at) {
        const std::string line = screen.substr(at + 1, 100);
        const int second = std::atoi(line.c_str() + sizeof "capturing: demo time " - 1);
        ASSERT_TRUE(second >= 0 && second <= 36) << line;
        const size_t about = line.find("about ");
        const int left = about == std::string::npos ? -1 : std::atoi(line.c_str() + about + 6);
        EXPECT_EQ(left < 0, second < 10 || second == 36) << line;
        lowest[second] = std::min(lowest[second], left);
        highest[second] = std::max(highest[second], left);
    }
    for (int second = 11; second < 36; ++second)
        EXPECT_LE(highest[second] - lowest[second], highest[second] / 4 + 4) << second;
    // At 20 s: 3.125 s of wall time a demo second drawing, and 2 s every 3 writing.
    EXPECT_NEAR(highest[20], 16 * 3.8, 8);
}
