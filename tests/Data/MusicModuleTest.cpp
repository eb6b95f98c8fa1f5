// The shipped module as a file: header values, structure and what the
// patterns use. (Playing it is checked with the player in MusicPlaybackTest.)
#include "DataFiles.h"
#include "XmModuleFile.h"

#include <gtest/gtest.h>

#include <set>

namespace {

const int BODY_POSITION = 10;

class MusicModule : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_bytes = ReadDataFile("music.xm");
        s_read = ReadXmFile(s_bytes, s_xm);
    }
    static std::vector<uint8_t> s_bytes;
    static XmFile s_xm;
    static bool s_read;

    // Every cell of the song, in play order (each position once).
    template <typename Visit>
    static void ForEachPlayedCell(Visit visit)
    {
        for (int pos = 0; pos < s_xm.songLength; ++pos) {
            const XmFilePattern& p = s_xm.patterns[s_xm.orders[pos]];
            for (int row = 0; row < p.rows; ++row)
                for (int ch = 0; ch < s_xm.channels; ++ch)
                    visit(pos, row, ch, p.cells[size_t(row) * s_xm.channels + ch]);
        }
    }
};

std::vector<uint8_t> MusicModule::s_bytes;
XmFile MusicModule::s_xm;
bool MusicModule::s_read = false;

}  // namespace

TEST_F(MusicModule, HeaderHasTheIntrosValues)
{
    ASSERT_FALSE(s_bytes.empty()) << "cannot read " << DataPath("music.xm");
    ASSERT_TRUE(s_read);
    EXPECT_EQ(s_xm.id, "Extended Module: ");
    EXPECT_EQ(s_bytes[37], 0x1A);
    EXPECT_EQ(s_xm.version, 0x0104);
    EXPECT_EQ(s_xm.headerSize, 276u);
    EXPECT_EQ(s_xm.channels, 10);
    EXPECT_EQ(s_xm.tempo, 6);
    EXPECT_EQ(s_xm.bpm, 176);
    EXPECT_EQ(s_xm.flags & 1, 1);  // linear frequency table
    EXPECT_EQ(s_xm.songLength, 26);
    EXPECT_EQ(s_xm.restart, BODY_POSITION);
    EXPECT_EQ(s_xm.instrumentCount, 17);
}

TEST_F(MusicModule, StructureIsCompleteAndEndsWithTheLastSample)
{
    ASSERT_TRUE(s_read);
    EXPECT_EQ(s_xm.endOfData, s_bytes.size());
    for (int pos = 0; pos < s_xm.songLength; ++pos)
        EXPECT_LT(s_xm.orders[pos], s_xm.patternCount) << "position " << pos;
    for (const XmFilePattern& p : s_xm.patterns)
        EXPECT_EQ(p.rows, 64);
    for (const XmFileInstrument& instrument : s_xm.instruments) {
        EXPECT_EQ(instrument.sampleCount, 1);
        for (const XmFileSample& s : instrument.samples) {
            EXPECT_GT(s.lengthBytes, 0u);
            if (s.sixteenBit()) {
                EXPECT_EQ(s.lengthBytes % 2, 0u);
            }
            if (s.loopKind() != 0) {
                EXPECT_GT(s.loopLengthBytes, 0u);
                EXPECT_LE(s.loopStartBytes + s.loopLengthBytes, s.lengthBytes);
            }
        }
    }
}

TEST_F(MusicModule, UsesEightAndSixteenBitSamplesWithForwardAndPingPongLoops)
{
    ASSERT_TRUE(s_read);
    std::set<bool> widths;
    std::set<int> loops;
    for (const XmFileInstrument& instrument : s_xm.instruments) {
        for (const XmFileSample& s : instrument.samples) {
            widths.insert(s.sixteenBit());
            loops.insert(s.loopKind());
        }
    }
    EXPECT_EQ(widths.size(), 2u);
    EXPECT_TRUE(loops.count(1)) << "no forward loop";
    EXPECT_TRUE(loops.count(2)) << "no ping-pong loop";
}

TEST_F(MusicModule, EnvelopesAreWellFormedAndBothKindsAreUsed)
{
    ASSERT_TRUE(s_read);
    int volumeEnvelopes = 0, panningEnvelopes = 0;
    for (const XmFileInstrument& instrument : s_xm.instruments) {
        for (const XmFileEnvelope* e : {&instrument.volume, &instrument.panning}) {
            if (!(e->type & 1))
                continue;
            ASSERT_GE(e->pointCount, 2);
            ASSERT_LE(e->pointCount, 12);
            for (int k = 1; k < e->pointCount; ++k)
                EXPECT_GT(e->x[k], e->x[k - 1]);
            for (int k = 0; k < e->pointCount; ++k)
                EXPECT_LE(e->y[k], 64);
            if (e->type & 2) {
                EXPECT_LT(e->sustain, e->pointCount);
            }
            if (e->type & 4) {
                EXPECT_LE(e->loopStart, e->loopEnd);
                EXPECT_LT(e->loopEnd, e->pointCount);
            }
        }
        volumeEnvelopes += instrument.volume.type & 1;
        panningEnvelopes += instrument.panning.type & 1;
    }
    EXPECT_GT(volumeEnvelopes, 0);
    EXPECT_GT(panningEnvelopes, 0);
}

TEST_F(MusicModule, PatternsUseTheTrackerEffectsTheTuneNeeds)
{
    ASSERT_TRUE(s_read);
    bool arpeggio = false, portamento = false, vibrato = false, volumeSlide = false, panning = false;
    int badNotes = 0, badInstruments = 0, tempoChanges = 0;
    ForEachPlayedCell([&](int, int, int, const XmFileCell& c) {
        arpeggio |= c.effect == 0 && c.param != 0;
        portamento |= c.effect == 1 || c.effect == 2 || c.effect == 3 || c.volume >= 0xF0;
        vibrato |= c.effect == 4 || (c.volume >= 0xB0 && c.volume < 0xC0);
        volumeSlide |= c.effect == 10 || (c.volume >= 0x60 && c.volume < 0x80);
        panning |= c.effect == 8 || c.effect == 25 || (c.volume >= 0xC0 && c.volume < 0xF0);
        badNotes += c.note > 97;
        badInstruments += c.instrument > s_xm.instrumentCount;
        tempoChanges += c.effect == 15;
    });
    EXPECT_TRUE(arpeggio);
    EXPECT_TRUE(portamento);
    EXPECT_TRUE(vibrato);
    EXPECT_TRUE(volumeSlide);
    EXPECT_TRUE(panning);
    EXPECT_EQ(badNotes, 0);
    EXPECT_EQ(badInstruments, 0);
    EXPECT_EQ(tempoChanges, 0) << "the timing below assumes speed 6 and 176 BPM throughout";
}

TEST_F(MusicModule, LastPositionJumpsBackIntoTheBodyAndNothingElseJumps)
{
    ASSERT_TRUE(s_read);
    int jumpsToBody = 0, otherJumps = 0;
    ForEachPlayedCell([&](int pos, int row, int, const XmFileCell& c) {
        const bool jump = c.effect == 11 || c.effect == 13 || (c.effect == 14 && (c.param >> 4) == 6);
        if (!jump)
            return;
        if (pos == s_xm.songLength - 1 && row == 63 && c.effect == 11 && c.param == BODY_POSITION)
            ++jumpsToBody;
        else
            ++otherJumps;
    });
    EXPECT_EQ(jumpsToBody, 1);
    EXPECT_EQ(otherJumps, 0);
}

TEST_F(MusicModule, LastsAboutTwoMinutes)
{
    ASSERT_TRUE(s_read);
    long rows = 0;
    for (int pos = 0; pos < s_xm.songLength; ++pos)
        rows += s_xm.patterns[s_xm.orders[pos]].rows;
    const int framesPerTick = 44100 * 5 / (2 * 176);  // 2.5 / bpm seconds, truncated
    const double seconds = double(rows) * 6 * framesPerTick / 44100.0;
    EXPECT_GT(seconds, 100.0);
    EXPECT_LT(seconds, 160.0);
    // The body that loops is most of it.
    long introRows = 0;
    for (int pos = 0; pos < BODY_POSITION; ++pos)
        introRows += s_xm.patterns[s_xm.orders[pos]].rows;
    EXPECT_GT(rows - introRows, rows / 2);
}
