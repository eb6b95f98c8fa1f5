// Checks of the generators' building blocks, where a slip would not show in
// the shipped files' formats: instruments out of tune, notes misnamed, a
// loop that clicks, a scroll line that accepts a glyph the scroller lacks.
#include "Instruments.h"
#include "RoundedBox.h"
#include "ScrollTextLayout.h"
#include "Score.h"
#include "Synth.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// The rate at which the player plays a sample for a pattern note, with the
// linear frequency table: period 7680 - 64 n - finetune / 2, rate
// 8363 * 2^((4608 - period) / 768).
double PlaybackRate(const XmSample& sample, int patternNote)
{
    const int realNote = patternNote - 1 + sample.relativeNote;
    const int period = 7680 - 64 * realNote - sample.finetune / 2;
    return 8363.0 * std::pow(2.0, (4608.0 - period) / 768.0);
}

double Cents(double a, double b)
{
    return 1200.0 * std::log2(a / b);
}

}  // namespace

TEST(Tuning, C4PlaysARecordingAtItsOwnRate)
{
    for (double rate : {8363.0, 16726.0, 22050.0, 44100.0}) {
        XmSample sample = MakeXmSample16(std::vector<int16_t>(16));
        TuneSample(sample, rate, 261.6255653);
        EXPECT_LT(std::fabs(Cents(PlaybackRate(sample, XmNote("C-4")), rate)), 1.0) << rate;
    }
}

TEST(Tuning, APitchedToneSoundsAtItsNoteName)
{
    // A 110 Hz tone recorded at 22050 Hz: A-4 must sound at 440 Hz.
    XmSample sample = MakeXmSample16(std::vector<int16_t>(16));
    TuneSample(sample, 22050.0, 110.0);
    const double heard = 110.0 * PlaybackRate(sample, XmNote("A-4")) / 22050.0;
    EXPECT_LT(std::fabs(Cents(heard, 440.0)), 1.0);
    EXPECT_GE(sample.finetune, -64);
    EXPECT_LE(sample.finetune, 64);
}

TEST(Score, NoteNamesMatchTheTrackersNames)
{
    EXPECT_EQ(Note("A4"), XmNote("A-4"));
    EXPECT_EQ(Note("C#5"), XmNote("C#5"));
    EXPECT_EQ(Note("Bb3"), XmNote("A#3"));
    EXPECT_EQ(Note("C0"), 1);
    EXPECT_EQ(Note("B7"), 96);
    EXPECT_EQ(Note("H4"), 0);
    EXPECT_EQ(Note("C8"), 0);
    EXPECT_EQ(Note("C"), 0);
}

TEST(Score, MelodyTextGivesRowsLengthsRestsAndSlides)
{
    const std::vector<NoteEvent> events = ParseMelody("A4:4 -:2 /C5:6 E5:2", 8);
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].row, 8);
    EXPECT_EQ(events[0].length, 4);
    EXPECT_FALSE(events[0].slide);
    EXPECT_EQ(events[1].row, 14);
    EXPECT_EQ(events[1].note, Note("C5"));
    EXPECT_TRUE(events[1].slide);
    EXPECT_EQ(events[2].row, 20);

    XmModule module = MakeXmModule(1);
    XmPattern& pattern = AddXmPattern(module, 64);
    MelodyStyle style;
    style.instrument = 3;
    style.volume = 40;
    WriteMelody(pattern, 0, events, style);
    EXPECT_EQ(pattern.At(8, 0).instrument, 3);
    EXPECT_EQ(pattern.At(8, 0).volume, 0x10 + 40);
    EXPECT_EQ(pattern.At(12, 0).note, XM_KEY_OFF);       // the rest
    EXPECT_EQ(pattern.At(14, 0).effect, XmEffect('3'));  // the slide: tone portamento, no restart
    EXPECT_EQ(pattern.At(14, 0).instrument, 0);
    EXPECT_EQ(pattern.At(22, 0).note, XM_KEY_OFF);  // after the last note
}

TEST(Synth, CrossFadedLoopContinuesSmoothlyAcrossItsEnd)
{
    // A sine whose loop length is not a whole number of cycles jumps at the
    // loop end unless cross-faded.
    Wave wave(4000);
    for (size_t i = 0; i < wave.size(); ++i)
        wave[i] = std::sin(double(i) * 0.05);
    const size_t start = 1000, end = 3900;
    const double jumpBefore = std::fabs(wave[end - 1] - wave[start - 1]);
    CrossFadeLoop(wave, start, end, 400);
    const double step = std::fabs(wave[start] - wave[end - 1]);
    EXPECT_GT(jumpBefore, 0.1);
    EXPECT_LT(step, 0.06);  // no larger than one ordinary step of this sine
}

TEST(ScrollTextLayout, RefusesGlyphsTheScrollerLacks)
{
    std::string line, error;
    EXPECT_FALSE(LayoutScrollText({std::string(3830, 'a') + "`"}, line, error));
    EXPECT_FALSE(LayoutScrollText({"caf\xE9"}, line, error));
    EXPECT_TRUE(IsScrollerCharacter(0xA3));
    EXPECT_FALSE(IsScrollerCharacter('`'));
    EXPECT_FALSE(IsScrollerCharacter('\t'));
}

TEST(ScrollTextLayout, FillsTheLineExactlyBetweenItsMargins)
{
    std::string line, error;
    const std::string a(1910, 'x'), b(1910, 'y');
    ASSERT_TRUE(LayoutScrollText({a, b}, line, error)) << error;
    EXPECT_EQ(line.size(), size_t(SCROLL_TEXT_LENGTH));
    EXPECT_EQ(line.find_first_not_of(' '), size_t(SCROLL_TEXT_MARGIN));
    EXPECT_EQ(line.find_last_not_of(' '), size_t(SCROLL_TEXT_LENGTH - SCROLL_TEXT_MARGIN - 1));
    // Too much text, or so little that the gaps would gape, is refused.
    EXPECT_FALSE(LayoutScrollText({a, b + "yyyyyyyyyyyyyyyyyyyyyyyy"}, line, error));
    EXPECT_FALSE(LayoutScrollText({a, std::string(1000, 'y')}, line, error));
}

TEST(RoundedBox, RefusesShapesItCannotBuild)
{
    EXPECT_TRUE(BuildRoundedBox({10.0, 11.0, 4, 4}).vertices.empty());
    EXPECT_TRUE(BuildRoundedBox({10.0, 0.0, 4, 4}).vertices.empty());
    EXPECT_TRUE(BuildRoundedBox({10.0, 2.0, 0, 4}).vertices.empty());
    const TriangleMesh mesh = BuildRoundedBox({10.0, 2.0, 2, 3});
    EXPECT_EQ(mesh.vertices.size(), 6u * 9 * 9);
    EXPECT_EQ(mesh.indices.size(), 6u * 8 * 8 * 6);
}

TEST(RoundedBox, PatchesMeetOnIdenticalPoints)
{
    // Every point on a patch's border coincides exactly with a point of a
    // neighbouring patch, so the welded surface has no cracks.
    const TriangleMesh mesh = BuildRoundedBox({13.85, 3.6, 8, 12});
    size_t unmatched = 0;
    const int side = 8 + 2 * 12 + 1;
    for (size_t v = 0; v < mesh.vertices.size(); ++v) {
        const int i = int(v % size_t(side * side)) % side;
        const int j = int(v % size_t(side * side)) / side;
        if (i != 0 && j != 0 && i != side - 1 && j != side - 1)
            continue;
        bool found = false;
        for (size_t w = 0; w < mesh.vertices.size() && !found; ++w) {
            if (w / size_t(side * side) == v / size_t(side * side))
                continue;
            const double* a = mesh.vertices[v].position;
            const double* b = mesh.vertices[w].position;
            found = a[0] == b[0] && a[1] == b[1] && a[2] == b[2];
        }
        unmatched += !found;
    }
    EXPECT_EQ(unmatched, 0u);
}
