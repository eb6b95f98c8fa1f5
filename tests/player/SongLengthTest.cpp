#include "PlayerTestKit.h"

#include <gtest/gtest.h>

namespace {

const int64_t TICK = 882;  // frames per tick at 125 BPM
const int64_t HOUR = int64_t(3600) * MixRate;

SongLength LengthOf(const Lab& lab, int32_t extraPasses = 0, int64_t limit = HOUR)
{
    SongPtr song = lab.Load();
    EXPECT_NE(song, nullptr);
    if (!song)
        return SongLength{};
    const SongLength length = FindSongLength(song.get(), extraPasses, limit);
    // The pass leaves the song at play start.
    EXPECT_EQ(song->orderPos, 0);
    EXPECT_EQ(song->row, 0);
    EXPECT_EQ(song->tick, 0);
    EXPECT_EQ(song->mixedFrames, 0u);
    return length;
}

// The song ends after `ticks` ticks and goes on at order:row, first played
// after `loopTicks` ticks.
void ExpectEnd(const SongLength& length, int64_t ticks, int order, int row, int64_t loopTicks)
{
    EXPECT_TRUE(length.found);
    EXPECT_EQ(length.songFrames, ticks * TICK);
    EXPECT_EQ(length.frames, ticks * TICK);
    EXPECT_EQ(length.loopOrder, order);
    EXPECT_EQ(length.loopRow, row);
    EXPECT_EQ(length.loopFrame, loopTicks * TICK);
}

// Speed 1: one tick per row. Orders 0 and 1: an 8-row and a 4-row pattern.
Lab TwoPatterns()
{
    Lab lab(2, 8, 1);
    lab.AddPattern(4);
    lab.module.orders = {0, 1};
    return lab;
}

}  // namespace

TEST(SongLength, EndsWhereTheOrderListWrapsToItsRestartPosition)
{
    Lab lab = TwoPatterns();
    ExpectEnd(LengthOf(lab), 12, 0, 0, 0);
    lab.module.restart = 1;  // back into the middle: each further pass is order 1 only
    ExpectEnd(LengthOf(lab), 12, 1, 0, 8);
    const SongLength twice = LengthOf(lab, 2);
    EXPECT_EQ(twice.songFrames, 12 * TICK);
    EXPECT_EQ(twice.frames, (12 + 2 * 4) * TICK);
    // The same order list twice: the pattern repeats, its positions do not.
    lab.module.orders = {0, 1, 0, 1};
    lab.module.restart = 0;
    ExpectEnd(LengthOf(lab), 24, 0, 0, 0);
}

TEST(SongLength, EndsAtABackwardJumpOrBreak)
{
    Lab lab = TwoPatterns();
    lab.At(2, 0, 1) = Fx('B', 0x00);
    ExpectEnd(LengthOf(lab), 11, 0, 0, 0);
    lab.At(2, 0, 1) = Fx('D', 0x05);  // past the last order: order 0, row 5
    ExpectEnd(LengthOf(lab), 11, 0, 5, 5);
    lab.At(2, 1, 1) = Fx('B', 0x01);  // a B after the D keeps nothing of it: order 1, row 0
    ExpectEnd(LengthOf(lab), 11, 1, 0, 8);
    lab.At(2, 0, 1) = Fx('B', 0x01);  // the D after the B keeps its order: order 1, row 1
    lab.At(2, 1, 1) = Fx('D', 0x01);
    ExpectEnd(LengthOf(lab), 11, 1, 1, 9);
}

TEST(SongLength, PatternLoopsAndDelaysArePartOfTheSong)
{
    Lab lab(2, 8, 2);
    lab.At(1, 0) = Fx('E', 0x60);
    lab.At(3, 0) = Fx('E', 0x62);  // rows 1-3 three times
    ExpectEnd(LengthOf(lab), 2 * (8 + 6), 0, 0, 0);
    // An outer loop over rows 0-5 on the other channel runs the inner one
    // again each time round: row 0 comes back twice inside the song.
    lab.At(5, 1) = Fx('E', 0x61);
    ExpectEnd(LengthOf(lab), 2 * (12 + 12 + 2), 0, 0, 0);
    lab.At(6, 0) = Fx('E', 0xE2);  // row 6 lasts three times its speed
    ExpectEnd(LengthOf(lab), 2 * (12 + 12 + 2) + 2 * 2, 0, 0, 0);
}

TEST(SongLength, ASongThatDoesNotComeBackWithinTheLimitIsCutThere)
{
    // Speed 31 with EEF on both rows: one row is 496 ticks, over 38 s. The
    // song ends exactly at a limit of two rows and is cut one frame short of
    // it; extra passes count against the same limit.
    Lab lab(1, 2, 31, 32);
    lab.At(0, 0) = lab.At(1, 0) = Fx('E', 0xEF);
    const int64_t row = 496 * int64_t(SamplesPerTickFor(32));
    EXPECT_TRUE(LengthOf(lab, 0, 2 * row).found);
    const SongLength cut = LengthOf(lab, 0, 2 * row - 1);
    EXPECT_FALSE(cut.found);
    EXPECT_EQ(cut.frames, 2 * row - 1);
    EXPECT_EQ(cut.songFrames, 0);
    EXPECT_EQ(LengthOf(lab, 1, 4 * row).frames, 4 * row);
    const SongLength passesCut = LengthOf(lab, 2, 5 * row);
    EXPECT_FALSE(passesCut.found);
    EXPECT_EQ(passesCut.songFrames, 2 * row);
    EXPECT_EQ(passesCut.frames, 5 * row);
    EXPECT_FALSE(FindSongLength(nullptr, 0, row).found);
}
