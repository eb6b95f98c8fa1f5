#include "CaptureProgress.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace {

// A run of 36 s of demo time in frames of 16 ms, with a frame written every 3 s:
// a frame of the title card (the first 10 s) costs 10 ms of wall time, one of the
// main part 50 ms, and writing a frame 2 s more. Returns what the progress printed, split at line ends
// ('\n') or, on a terminal, at line starts ('\r').
std::vector<std::string> RunOfTwelveFrames(bool live, bool& openAfterUpdates)
{
    FILE* stream = std::tmpfile();
    CaptureRunShape shape;
    shape.framesAsked = 12;
    shape.lastCaptureTime = 36.0;
    shape.estimateFrom = 10.0;
    CaptureProgress progress(stream, live, shape);
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
    openAfterUpdates = progress.LineOpen();
    progress.Finish();
    EXPECT_FALSE(progress.LineOpen());

    std::string text;
    std::rewind(stream);
    for (int c; (c = std::fgetc(stream)) != EOF;)
        text += static_cast<char>(c);
    std::fclose(stream);
    EXPECT_EQ(text.back(), '\n') << "the last line is ended";
    text.pop_back();
    std::vector<std::string> lines;
    const char separator = live ? '\r' : '\n';
    for (size_t at = live ? 1 : 0, end; at <= text.size(); at = end + 1) {
        end = std::min(text.find(separator, at), text.size());
        lines.push_back(text.substr(at, end - at));
    }
    EXPECT_EQ(text.find(live ? '\n' : '\r'), std::string::npos);
    return lines;
}

// The "about N s left" of a line; -1 when it has none.
int SecondsLeft(const std::string& line)
{
    const size_t at = line.find("about ");
    return at == std::string::npos ? -1 : std::atoi(line.c_str() + at + 6);
}

}  // namespace

TEST(CaptureProgress, ElsewhereThanATerminalALinePerFrameWrittenAndTheSummary)
{
    bool open = true;
    const std::vector<std::string> lines = RunOfTwelveFrames(false, open);
    EXPECT_FALSE(open);
    ASSERT_EQ(lines.size(), 13u);
    EXPECT_EQ(lines[0], "capturing: demo time 3 s of 36 s, 1 of 12 frames written");
    EXPECT_EQ(lines[11].find("capturing: demo time 36 s of 36 s, 12 of 12 frames written"), 0u);
    EXPECT_EQ(lines[12], "capturing: demo time 36 s of 36 s, 12 of 12 frames written");
}

TEST(CaptureProgress, OnATerminalOneLineRewrittenWithASteadyEstimate)
{
    bool open = false;
    const std::vector<std::string> lines = RunOfTwelveFrames(true, open);
    EXPECT_TRUE(open);
    // 112 s of wall time in all: a few lines a second.
    EXPECT_GT(lines.size(), 300u);
    EXPECT_LT(lines.size(), 600u);
    // The estimates within each demo second: from the pace of the whole main part so
    // far they fall by the 4 s a demo second takes, and a little at a frame written;
    // from the last few frames they would leap at every frame written.
    std::map<int, std::pair<int, int>> range;  // demo second: lowest and highest estimate
    for (const std::string& line : lines) {
        EXPECT_EQ(line.size(), 100u) << "padded: " << line;
        const int second = std::atoi(line.c_str() + line.find("demo time ") + 10);
        const int left = SecondsLeft(line);
        if (second < 10 || line == lines.back()) {
            EXPECT_EQ(left, -1) << "none from the title card's pace, none in the summary: " << line;
            continue;
        }
        if (second > 10 && second < 36) {
            ASSERT_GE(left, 0) << line;
            auto& r = range.emplace(second, std::make_pair(left, left)).first->second;
            r = {std::min(r.first, left), std::max(r.second, left)};
        }
    }
    for (const auto& r : range)
        EXPECT_LE(r.second.second - r.second.first, r.second.second / 4 + 4) << "at " << r.first << " s";
    // At 20 s: 3.125 s of wall time a demo second drawing and 2 s every 3 written.
    EXPECT_NEAR((range[20].first + range[20].second) / 2, 16 * 3.8, 8);
}
