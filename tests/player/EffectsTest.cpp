#include "Modulation.h"
#include "PlayerTestKit.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using Field = std::function<int32_t(const ChannelTrace&)>;

const Field PERIOD = [](const ChannelTrace& c) { return c.period; };
const Field PERIOD_DELTA = [](const ChannelTrace& c) { return c.periodDelta; };
const Field VOLUME = [](const ChannelTrace& c) { return c.volume; };
const Field VOLUME_DELTA = [](const ChannelTrace& c) { return c.volumeDelta; };
const Field PANNING = [](const ChannelTrace& c) { return c.panning; };
const Field ENVELOPE = [](const ChannelTrace& c) { return c.volEnvValue; };
const Field VOICE = [](const ChannelTrace& c) { return c.voice; };
const Field POSITION = [](const ChannelTrace& c) { return c.samplePosition; };
const Field TRIGGERED = [](const ChannelTrace& c) {
    return int32_t((c.updateFlags & UPDATE_TRIGGER) != 0);
};
const Field VOLUME_SET = [](const ChannelTrace& c) {
    return int32_t((c.updateFlags & UPDATE_VOLUME) != 0);
};

// One field of one channel over ticks [first, first + count) of a trace.
std::vector<int32_t> Column(const std::vector<TickTrace>& trace, const Field& field, int first,
                            int count, int channel = 0)
{
    std::vector<int32_t> values;
    for (int t = first; t < first + count && t < int(trace.size()); ++t)
        values.push_back(field(trace[size_t(t)].channels[size_t(channel)]));
    return values;
}

std::vector<TickTrace> Play(const Lab& lab, int ticks, SongPtr* keep = nullptr)
{
    SongPtr song = lab.Load();
    EXPECT_NE(song, nullptr);
    if (!song)
        return {};
    std::vector<TickTrace> trace = TraceTicks(song.get(), ticks);
    if (keep)
        *keep = std::move(song);
    return trace;
}

using V = std::vector<int32_t>;

}  // namespace

TEST(Effects, ArpeggioWithTheLinearTable)
{
    Lab lab;
    lab.At(0, 0) = Cell("C-4", 1, 0, '0', 0x47);
    lab.At(1, 0) = Fx('0', 0x00);
    const std::vector<TickTrace> trace = Play(lab, 12);
    EXPECT_EQ(Column(trace, PERIOD_DELTA, 0, 6), (V{0, 256, 448, 0, 256, 448}));
    EXPECT_EQ(trace[1].channels[0].frequency, 10536);  // four semitones up
    EXPECT_EQ(Column(trace, PERIOD_DELTA, 6, 6), (V{0, 0, 0, 0, 0, 0}));
}

TEST(Effects, ArpeggioWithTheAmigaTable)
{
    Lab lab;
    lab.module.linearFrequencies = false;
    lab.At(0, 0) = Cell("C-4", 1, 0, '0', 0x47);
    const std::vector<TickTrace> trace = Play(lab, 6);
    EXPECT_EQ(trace[0].channels[0].period, 1712);
    EXPECT_EQ(Column(trace, PERIOD_DELTA, 0, 6), (V{0, -354, -570, 0, -354, -570}));
    EXPECT_EQ(trace[1].channels[0].frequency, 14317056 / (1712 - 354));
}

TEST(Effects, PortamentoUpStopsAtPeriod56AndDownHasNoLimit)
{
    Lab lab(2);
    lab.At(0, 0) = Cell("C-4", 1, 0, '1', 0xFF);
    lab.At(1, 0) = Fx('1', 0x00);
    lab.At(0, 1) = Cell("C-4", 1, 0, '2', 0xFF);
    lab.At(1, 1) = Fx('2', 0x00);
    const std::vector<TickTrace> trace = Play(lab, 12);
    EXPECT_EQ(Column(trace, PERIOD, 0, 7), (V{4608, 3588, 2568, 1548, 528, 56, 56}));
    EXPECT_EQ(Column(trace, PERIOD, 0, 12, 1),
              (V{4608, 5628, 6648, 7668, 8688, 9708, 9708, 10728, 11748, 12768, 13788, 14808}));
}

TEST(Effects, PortamentoMemoriesAreSeparate)
{
    Lab lab(1, 64, 2);
    lab.At(0, 0) = Cell("C-4", 1, 0, '1', 0x02);
    lab.At(1, 0) = Fx('2', 0x05);
    lab.At(2, 0) = Fx('1', 0x00);
    lab.At(3, 0) = Fx('2', 0x00);
    const std::vector<TickTrace> trace = Play(lab, 8);
    EXPECT_EQ(Column(trace, PERIOD, 0, 8), (V{4608, 4600, 4600, 4620, 4620, 4612, 4612, 4632}));
}

TEST(Effects, VibratoPhaseAndMemory)
{
    Lab lab;
    lab.At(0, 0) = Cell("C-4", 1, 0, '4', 0x4F);
    lab.At(1, 0) = Fx('4', 0x00);
    const std::vector<TickTrace> trace = Play(lab, 12);
    EXPECT_EQ(Column(trace, PERIOD_DELTA, 0, 6), (V{0, 0, -44, -84, -108, -116}));
    // 400 keeps speed and depth; the phase runs on from 20 and wraps at 32.
    EXPECT_EQ(Column(trace, PERIOD_DELTA, 6, 6), (V{-108, -108, -84, -44, 0, 44}));
    EXPECT_EQ(Column(trace, PERIOD, 0, 12), V(12, 4608));
}

TEST(Effects, VibratoWaveformCommandAndContinuingPhase)
{
    Lab lab(1, 64, 3);
    lab.At(0, 0) = Cell("C-4", 1, 0, 'E', 0x45);  // ramp, phase kept across notes
    lab.At(1, 0) = Fx('4', 0x8F);
    lab.At(2, 0) = Cell("C-4", 1);
    lab.At(3, 0) = Fx('4', 0x00);
    const std::vector<TickTrace> trace = Play(lab, 12);
    // Ramp phase 0, 8 -> 0, (64 x 15) >> 5 = 30 -> 28.
    EXPECT_EQ(Column(trace, PERIOD_DELTA, 3, 3), (V{0, 0, -28}));
    // The note on row 2 does not reset the phase (16 here): 8 x 16 = 128 -> 60.
    EXPECT_EQ(Column(trace, PERIOD_DELTA, 9, 3), (V{-60, -60, -88}));
}

TEST(Effects, VibratoAndVolumeSlideShareTheSlideMemory)
{
    Lab lab(1, 64, 3);
    lab.At(0, 0) = Cell("C-4", 1, 0, '4', 0x44);
    lab.At(1, 0) = Fx('6', 0x02);
    lab.At(2, 0) = Fx('A', 0x00);
    lab.At(3, 0) = Fx('5', 0x00);
    const std::vector<TickTrace> trace = Play(lab, 12);
    EXPECT_EQ(Column(trace, VOLUME, 3, 9), (V{48, 46, 44, 44, 42, 40, 40, 38, 36}));
    EXPECT_NE(trace[4].channels[0].periodDelta, 0);
}

TEST(Effects, TremoloAndTheTremoloEndRule)
{
    Lab lab;
    lab.At(0, 0) = Cell("C-4", 1, 0, '7', 0x48);
    lab.At(1, 0) = Fx('7', 0x00);
    lab.At(2, 0) = Fx('0', 0x00);
    const std::vector<TickTrace> trace = Play(lab, 13);
    EXPECT_EQ(Column(trace, VOLUME_DELTA, 0, 6), (V{0, 0, 12, 16, 16, 16}));
    EXPECT_EQ(Column(trace, VOLUME, 0, 6), V(6, 48));
    // Another tremolo row: no offset carried over; phase 20, 24, 28 ...
    EXPECT_EQ(trace[6].channels[0].volume, 48);
    EXPECT_EQ(Column(trace, VOLUME_DELTA, 6, 6), (V{0, 16, 16, 12, 0, -12}));
    // The next row without tremolo keeps the last offset.
    EXPECT_EQ(trace[12].channels[0].volume, 36);
}

TEST(Effects, TremoloEndKeepsTheLastOffset)
{
    Lab lab(1, 64, 4);
    lab.At(0, 0) = Cell("C-4", 1, 0, '7', 0x48);
    lab.At(1, 0) = Fx('A', 0x00);
    const std::vector<TickTrace> trace = Play(lab, 5);
    EXPECT_EQ(trace[3].channels[0].volumeDelta, 16);
    EXPECT_EQ(trace[4].channels[0].volume, 64);
    EXPECT_EQ(trace[4].channels[0].volumeDelta, 0);
}

TEST(Effects, SetPanningAndPanningSlide)
{
    Lab lab(1, 64, 4);
    lab.At(0, 0) = Cell("C-4", 1, 0, '8', 0x40);
    lab.At(1, 0) = Fx('P', 0x0F);
    lab.At(2, 0) = Fx('P', 0x00);
    lab.At(3, 0) = Fx('P', 0xF0);
    lab.At(4, 0) = Fx('E', 0x8C);
    const std::vector<TickTrace> trace = Play(lab, 20);
    EXPECT_EQ(trace[0].channels[0].panning, 64);
    EXPECT_EQ(trace[0].channels[0].voicePanning, 64);
    EXPECT_EQ(Column(trace, PANNING, 4, 8), (V{64, 49, 34, 19, 19, 4, 0, 0}));
    EXPECT_EQ(Column(trace, PANNING, 12, 4), (V{0, 15, 30, 45}));
    EXPECT_EQ(trace[16].channels[0].panning, 192);
}

TEST(Effects, SampleOffsetStartsItsOwnNoteOrCutsItPastTheEnd)
{
    Lab lab(1, 64, 2);
    // 2048 frames: offset 0x08 is exactly the end; 2049: one frame before it.
    const int atEnd = AddXmInstrument(lab.module,
                                      MakeXmInstrument(MakeXmSample16(Saw16(2048, 64))));
    const int before = AddXmInstrument(lab.module,
                                       MakeXmInstrument(MakeXmSample16(Saw16(2049, 64))));
    lab.At(0, 0) = Cell("C-4", 1);
    lab.At(1, 0) = Cell("C-4", atEnd, 0, '9', 0x08);
    lab.At(2, 0) = Cell("C-4", before, 0, '9', 0x08);
    lab.At(3, 0) = Fx('9', 0x04);                      // no note: nothing, not even the memory
    lab.At(4, 0) = Cell("C-4", before);                // the offset is not kept
    lab.At(5, 0) = Cell("C-4", before, 0, '9', 0x00);  // memory of row 2
    const std::vector<TickTrace> trace = Play(lab, 12);
    // The cut: the sounding note fades on its old voice, the channel is silent.
    EXPECT_FALSE(trace[2].channels[0].sounding);
    EXPECT_FALSE(trace[3].channels[0].sounding);
    EXPECT_NE(trace[2].channels[0].voice, trace[1].channels[0].voice);
    EXPECT_EQ(trace[2].channels[0].updateFlags & (UPDATE_TRIGGER | UPDATE_CUT), UPDATE_CUT);
    EXPECT_TRUE(trace[4].channels[0].sounding);
    EXPECT_EQ(trace[4].channels[0].samplePosition, 2048);
    EXPECT_EQ(trace[6].channels[0].updateFlags & (UPDATE_TRIGGER | UPDATE_CUT), 0);
    EXPECT_EQ(trace[6].channels[0].voice, trace[5].channels[0].voice);
    EXPECT_EQ(trace[8].channels[0].samplePosition, 0);
    EXPECT_EQ(trace[10].channels[0].samplePosition, 2048);
}
TEST(Effects, VolumeSlideAndItsMemory)
{
    Lab lab;
    lab.At(0, 0) = Cell("C-4", 1, 0, 'A', 0x0F);
    lab.At(1, 0) = Fx('A', 0x00);
    lab.At(2, 0) = Cell("C-4", 1, 0, 'A', 0x20);
    lab.At(3, 0) = Fx('A', 0x00);
    const std::vector<TickTrace> trace = Play(lab, 24);
    EXPECT_EQ(Column(trace, VOLUME, 0, 6), (V{48, 33, 18, 3, 0, 0}));
    EXPECT_EQ(Column(trace, VOLUME, 12, 6), (V{48, 50, 52, 54, 56, 58}));
    EXPECT_EQ(Column(trace, VOLUME, 18, 6), (V{58, 60, 62, 64, 64, 64}));
}

TEST(Effects, VolumeSlideWithoutMemoryChangesNothingButStillUpdates)
{
    Lab lab;
    lab.At(0, 0) = Cell("C-4", 1, 0, 'A', 0x00);
    const std::vector<TickTrace> trace = Play(lab, 6);
    EXPECT_EQ(Column(trace, VOLUME, 0, 6), V(6, 48));
    EXPECT_EQ(Column(trace, VOLUME_SET, 1, 5), V(5, 1));
}

TEST(Effects, SetVolumeIsClampedAt64)
{
    Lab lab(2, 64, 2);
    lab.At(0, 0) = Cell("C-4", 1, 0, 'C', 0x20);
    lab.At(0, 1) = Cell("C-4", 1, 0, 'C', 0x80);
    const std::vector<TickTrace> trace = Play(lab, 2);
    EXPECT_EQ(trace[0].channels[0].volume, 32);
    EXPECT_EQ(trace[0].channels[1].volume, 64);
    EXPECT_EQ(trace[0].channels[1].voiceVolume, 127);
}
TEST(Effects, SpeedAndBpm)
{
    Lab lab(1, 8);
    lab.At(0, 0) = Fx('F', 0x03);
    lab.At(1, 0) = Fx('F', 0x80);
    SongPtr song;
    const std::vector<TickTrace> trace = Play(lab, 7, &song);
    EXPECT_EQ(Positions(trace), (std::vector<std::string>{"0:0:0", "0:0:1", "0:0:2", "0:1:0",
                                                          "0:1:1", "0:1:2", "0:2:0"}));
    EXPECT_EQ(song->bpm, 128);
    EXPECT_EQ(song->samplesPerTick, 861);
}

TEST(Effects, GlobalVolumeAndItsSlide)
{
    Lab lab(2);
    lab.At(0, 0) = Cell("C-4", 1, 0, 'G', 0x20);
    lab.At(0, 1) = Cell("C-4", 1);
    lab.At(1, 0) = Fx('G', 0x90);
    lab.At(1, 1) = Fx('H', 0x0F);
    lab.At(2, 1) = Fx('H', 0x00);
    SongPtr song;
    std::vector<int32_t> global;
    song = lab.Load();
    ResetPlayState(song.get());
    for (int t = 0; t < 18; ++t) {
        SongTick(song.get());
        global.push_back(song->globalVolume);
    }
    EXPECT_EQ(global, (V{32, 32, 32, 32, 32, 32, 64, 49, 34, 19, 4, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(Effects, GlobalVolumeReachesTheVoiceWhenItsVolumeIsRecomputed)
{
    Lab lab(2, 64, 3);
    lab.At(0, 0) = Cell("C-4", 1);
    lab.At(0, 1) = Cell("C-4", 1, 0, 'G', 0x20);
    const std::vector<TickTrace> trace = Play(lab, 1);
    // Channel 0 ran before the G on channel 1 in the same tick.
    EXPECT_EQ(trace[0].channels[0].voiceVolume, 95);
    EXPECT_EQ(trace[0].channels[1].voiceVolume, 47);
}

TEST(Effects, EnvelopePositionIsReachedAsTheEnvelopeWouldReachIt)
{
    Lab lab(4, 64, 6);
    lab.module.instruments[1].volumeEnvelope.sustain = 0;
    lab.At(0, 0) = Cell("C-4", 2, 0, 'L', 0x00);  // onto the sustain point: held there
    lab.At(0, 1) = Cell("C-4", 2, 0, 'L', 0x02);  // between two points
    lab.At(0, 2) = Cell("C-4", 2, 0, 'L', 0x04);  // onto a point: shown there once
    lab.At(0, 3) = Cell("C-4", 2, 0, 'L', 0x20);  // past the last point
    const std::vector<TickTrace> trace = Play(lab, 6);
    EXPECT_EQ(Column(trace, ENVELOPE, 0, 6, 0), V(6, 64));
    EXPECT_EQ(Column(trace, ENVELOPE, 0, 6, 1), (V{48, 40, 32, 24, 16, 8}));
    EXPECT_EQ(Column(trace, ENVELOPE, 0, 6, 2), (V{32, 24, 16, 8, 0, 0}));
    EXPECT_EQ(Column(trace, ENVELOPE, 0, 6, 3), V(6, 0));
    EXPECT_EQ(ChannelTable[3].volEnvDone, 1);
}

TEST(Effects, EnvelopePositionNeedsAVolumeEnvelope)
{
    Lab lab;
    lab.At(0, 0) = Cell("C-4", 1, 0, 'L', 0x05);
    const std::vector<TickTrace> trace = Play(lab, 1);
    EXPECT_EQ(trace[0].channels[0].volEnvValue, 64);
    EXPECT_EQ(ChannelTable[0].volEnvTick, 0);
}

TEST(Effects, MultiRetrigCountsTicksAcrossRows)
{
    Lab lab(1, 64, 3);
    lab.At(0, 0) = Cell("C-4", 1, 0, 'R', 0x02);
    lab.At(1, 0) = Fx('R', 0x00);                 // the row tick counts
    lab.At(2, 0) = Cell("", 0, 0x30, 'R', 0);     // a set volume keeps it from counting
    lab.At(3, 0) = Cell("", 0, 0x10, 'R', 0);     // ... unless it sets 0
    lab.At(4, 0) = Cell("", 1, 0, 'R', 0);        // an instrument starts the count again
    lab.At(5, 0) = Cell("E-4", 0, 0x30, 'R', 0);  // a note without instrument does not
    const std::vector<TickTrace> trace = Play(lab, 18);
    EXPECT_EQ(Column(trace, TRIGGERED, 0, 18),
              (V{1, 1, 0, 1, 0, 1, 0, 0, 1, 0, 1, 0, 0, 1, 0, 1, 1, 0}));
    EXPECT_EQ(Column(trace, VOLUME, 0, 6), V(6, 48));
    EXPECT_EQ(Column(trace, VOLUME_SET, 1, 2), (V{0, 0}));
}
TEST(Effects, MultiRetrigVolumeModes)
{
    const int32_t expected[16] = {30, 29, 28, 26, 22, 14, 20, 15, 30, 31, 32, 34, 38, 46, 45, 60};
    for (int mode = 0; mode < 16; ++mode) {
        Lab lab(1, 64, 2);
        lab.At(0, 0) = Cell("C-4", 1, 0x10 + 30, 'R', mode * 16 + 1);
        const std::vector<TickTrace> trace = Play(lab, 2);
        EXPECT_EQ(trace[1].channels[0].volume, expected[mode]) << mode;
        EXPECT_EQ(trace[1].channels[0].updateFlags & UPDATE_TRIGGER, UPDATE_TRIGGER);
    }
}

TEST(Effects, TremorAndItsMemory)
{
    Lab lab(2, 64, 6);
    lab.At(0, 0) = Cell("C-4", 1, 0, 'T', 0x00);  // no counts yet: all silent
    lab.At(0, 1) = Cell("C-4", 1, 0, 'T', 0x11);
    lab.At(1, 1) = Fx('T', 0x00);
    const std::vector<TickTrace> trace = Play(lab, 12);
    EXPECT_EQ(Column(trace, VOLUME_DELTA, 0, 6, 0), V(6, -48));
    // T00 goes on with the counts of T11 and with the counter where it was.
    EXPECT_EQ(Column(trace, VOLUME_DELTA, 0, 12, 1),
              (V{0, 0, -48, -48, 0, 0, -48, -48, 0, 0, -48, -48}));
}

TEST(Effects, ExtraFineAndFinePortamento)
{
    Lab lab(1, 64, 2);
    lab.At(0, 0) = Cell("C-4", 1, 0, 'X', 0x14);
    lab.At(1, 0) = Fx('X', 0x10);
    lab.At(2, 0) = Fx('X', 0x23);
    lab.At(3, 0) = Fx('E', 0x12);
    lab.At(4, 0) = Fx('E', 0x10);
    lab.At(5, 0) = Fx('E', 0x25);
    lab.At(6, 0) = Fx('X', 0x35);  // neither 1 nor 2: nothing
    const std::vector<TickTrace> trace = Play(lab, 14);
    EXPECT_EQ(Column(trace, PERIOD, 0, 14), (V{4604, 4604, 4600, 4600, 4603, 4603, 4595, 4595, 4587,
                                               4587, 4607, 4607, 4607, 4607}));
}

TEST(Effects, SetFinetuneTunesLaterNotesForThisPlayOnly)
{
    Lab lab(1, 64, 1);
    lab.At(0, 0) = Cell("C-4", 1, 0, 'E', 0x58);
    lab.At(1, 0) = Cell("C-4", 1);
    SongPtr song;
    const std::vector<TickTrace> first = Play(lab, 2, &song);
    EXPECT_EQ(first[0].channels[0].period, 4608);  // the note of the E5x row is not retuned
    EXPECT_EQ(first[1].channels[0].period, 4604);  // 8 / 2 finer
    EXPECT_EQ(song->instruments[0].samples[0]->finetune, 0);
    const std::vector<TickTrace> second = TraceTicks(song.get(), 2);
    EXPECT_EQ(second[0].channels[0].period, 4608);
    EXPECT_EQ(second[1].channels[0].period, 4604);
}

TEST(Effects, SetFinetuneReachesTheAmigaArpeggio)
{
    Lab lab(1, 64, 3);
    lab.module.linearFrequencies = false;
    lab.At(0, 0) = Cell("C-4", 1, 0, 'E', 0x5F);
    lab.At(1, 0) = Fx('0', 0x40);
    const std::vector<TickTrace> trace = Play(lab, 5);
    EXPECT_EQ(trace[4].channels[0].periodDelta, AmigaPeriod(52, 15) - AmigaPeriod(48, 15));
    EXPECT_NE(AmigaPeriod(52, 15) - AmigaPeriod(48, 15), AmigaPeriod(52, 0) - AmigaPeriod(48, 0));
}

TEST(Effects, RetriggerTiming)
{
    Lab lab(2, 64, 6);
    lab.At(0, 0) = Cell("C-4", 1, 0, 'E', 0x93);
    lab.At(1, 0) = Cell("C-4", 1, 0, 'E', 0x93);
    lab.At(1, 1) = Fx('E', 0xE1);
    const std::vector<TickTrace> trace = Play(lab, 18);
    EXPECT_EQ(Column(trace, TRIGGERED, 0, 6), (V{1, 0, 0, 1, 0, 0}));
    EXPECT_EQ(Column(trace, TRIGGERED, 6, 12), (V{1, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0}));
}

TEST(Effects, FineVolumeSlidesShareTheirMemory)
{
    Lab lab(1, 64, 2);
    lab.At(0, 0) = Cell("C-4", 1, 0, 'E', 0xA4);
    lab.At(1, 0) = Fx('E', 0xA0);
    lab.At(2, 0) = Fx('E', 0xB0);
    lab.At(3, 0) = Fx('E', 0xBF);
    const std::vector<TickTrace> trace = Play(lab, 8);
    EXPECT_EQ(Column(trace, VOLUME, 0, 8), (V{52, 52, 56, 56, 52, 52, 37, 37}));
}

TEST(Effects, NoteCut)
{
    Lab lab(3);
    lab.At(0, 0) = Cell("C-4", 1, 0, 'E', 0xC2);
    lab.At(0, 1) = Cell("C-4", 1, 0, 'E', 0xC0);
    lab.At(0, 2) = Cell("C-4", 1, 0, 'E', 0xC9);
    const std::vector<TickTrace> trace = Play(lab, 6);
    EXPECT_EQ(Column(trace, VOLUME, 0, 6, 0), (V{48, 48, 0, 0, 0, 0}));
    EXPECT_EQ(Column(trace, VOLUME, 0, 6, 1), V(6, 48));
    EXPECT_EQ(Column(trace, VOLUME, 0, 6, 2), V(6, 48));
}

TEST(Effects, NoteDelay)
{
    Lab lab(7);
    for (int c = 0; c < 6; ++c)
        lab.At(0, c) = Cell("C-4", 1, 0x20);
    lab.At(0, 6) = Cell("C-4", 2);
    lab.At(1, 0) = Cell("G-4", 1, 0x30, 'E', 0xD2);
    lab.At(1, 1) = Cell("G-4", 1, 0x30, 'E', 0xD0);  // plays at once
    lab.At(1, 2) = Cell("G-4", 1, 0x30, 'E', 0xD9);  // never reached
    lab.At(1, 3) = Cell("G-4", 0, 0, 'E', 0xD2);     // keeps its volume
    lab.At(1, 4) = Cell("===", 0, 0, 'E', 0xD2);     // silences late, starts nothing
    lab.At(1, 5) = Cell("", 0, 0x30, 'E', 0xD2);     // starts the old note again
    lab.At(1, 6) = Cell("G-4", 2, 0, 'E', 0xD2);     // its envelope starts on tick 2
    const std::vector<TickTrace> trace = Play(lab, 12);
    // Until tick 2 the old note goes on as it was.
    EXPECT_EQ(Column(trace, PERIOD, 6, 4, 0), (V{4608, 4608, 4160, 4160}));
    EXPECT_EQ(Column(trace, VOLUME, 6, 4, 0), (V{16, 16, 32, 32}));
    EXPECT_EQ(Column(trace, TRIGGERED, 6, 6, 0), (V{0, 0, 1, 0, 0, 0}));
    EXPECT_EQ(Column(trace, VOICE, 6, 2, 0), V(2, trace[5].channels[0].voice));
    EXPECT_EQ(ChannelTable[0].note, 55);
    EXPECT_EQ(Column(trace, PERIOD, 6, 2, 1), (V{4160, 4160}));
    EXPECT_EQ(Column(trace, TRIGGERED, 6, 2, 1), (V{1, 0}));
    EXPECT_EQ(Column(trace, PERIOD, 6, 6, 2), V(6, 4608));
    EXPECT_EQ(Column(trace, TRIGGERED, 6, 6, 2), V(6, 0));
    EXPECT_EQ(Column(trace, VOLUME, 6, 6, 2), V(6, 16));
    EXPECT_EQ(Column(trace, PERIOD, 6, 4, 3), (V{4608, 4608, 4160, 4160}));
    EXPECT_EQ(Column(trace, VOLUME, 6, 4, 3), V(4, 16));
    EXPECT_EQ(Column(trace, TRIGGERED, 6, 4, 3), (V{0, 0, 1, 0}));
    EXPECT_EQ(Column(trace, TRIGGERED, 6, 6, 4), V(6, 0));
    EXPECT_EQ(Column(trace, VOLUME, 6, 4, 4), (V{16, 16, 0, 0}));
    EXPECT_EQ(trace[8].channels[4].voiceVolume, 0);
    EXPECT_EQ(Column(trace, TRIGGERED, 6, 4, 5), (V{0, 0, 1, 0}));
    EXPECT_EQ(Column(trace, VOLUME, 6, 4, 5), (V{16, 16, 32, 32}));
    EXPECT_EQ(Column(trace, PERIOD, 8, 1, 5), V(1, 4608));
    EXPECT_EQ(Column(trace, ENVELOPE, 6, 5, 6), (V{32, 32, 64, 56, 48}));
}
TEST(Effects, VolumeColumnSetAndSlides)
{
    Lab lab(6, 64, 4);
    lab.At(0, 0) = Cell("C-4", 1, 0x50);  // set 64
    lab.At(0, 1) = Cell("C-4", 1, 0x63);  // slide down 3 on the ticks after the row tick
    lab.At(0, 2) = Cell("C-4", 1, 0x74);  // slide up 4 on the ticks after the row tick
    lab.At(0, 3) = Cell("C-4", 1, 0x85);  // fine down 5 on tick 0
    lab.At(0, 4) = Cell("C-4", 1, 0x96);  // fine up 6 on tick 0
    lab.At(0, 5) = Cell("C-4", 1, 0x55);  // nothing
    const std::vector<TickTrace> trace = Play(lab, 4);
    EXPECT_EQ(Column(trace, VOLUME, 0, 4, 0), V(4, 64));
    EXPECT_EQ(Column(trace, VOLUME, 0, 4, 1), (V{48, 45, 42, 39}));
    EXPECT_EQ(Column(trace, VOLUME, 0, 4, 2), (V{48, 52, 56, 60}));
    EXPECT_EQ(Column(trace, VOLUME, 0, 4, 3), V(4, 43));
    EXPECT_EQ(Column(trace, VOLUME, 0, 4, 4), V(4, 54));
    EXPECT_EQ(Column(trace, VOLUME, 0, 4, 5), V(4, 48));
}

TEST(Effects, VolumeColumnVibratoAndPanning)
{
    Lab lab(4, 64, 4);
    lab.At(0, 0) = Cell("C-4", 1, 0xA8);
    lab.At(1, 0) = Cell("", 0, 0xBF);
    lab.At(0, 1) = Cell("C-4", 1, 0xC4);
    lab.At(0, 2) = Cell("C-4", 1, 0xD5);
    lab.At(0, 3) = Cell("C-4", 1, 0xE5);
    const std::vector<TickTrace> trace = Play(lab, 8);
    // Speed 8 then depth 15: phase 0, 8, 16 on the ticks after the row tick.
    EXPECT_EQ(Column(trace, PERIOD_DELTA, 4, 4, 0), (V{0, 0, -84, -116}));
    EXPECT_EQ(trace[0].channels[1].panning, 64);
    EXPECT_EQ(Column(trace, PANNING, 0, 4, 2), (V{123, 118, 113, 108}));
    EXPECT_EQ(Column(trace, PANNING, 0, 4, 3), (V{133, 138, 143, 148}));
}

TEST(Effects, VolumeColumnPanningSlidesAreClampedOnlyAtTheVoice)
{
    Lab lab(1, 64, 8);
    lab.At(0, 0) = Cell("C-4", 1, 0xCF);  // 240
    lab.At(1, 0) = Cell("", 0, 0xEF);     // +15 on every tick
    const std::vector<TickTrace> trace = Play(lab, 16);
    EXPECT_EQ(trace[15].channels[0].panning, 240 + 8 * 15);
    EXPECT_EQ(trace[15].channels[0].voicePanning, 255);
    EXPECT_EQ(trace[15].channels[0].leftTarget, 0);
}

TEST(Effects, VolumeColumnTonePortamentoIsATonePortamentoRow)
{
    Lab lab(4, 64, 4);
    for (int c = 0; c < 4; ++c)
        lab.At(0, c) = Cell("C-4", 1);
    lab.At(1, 0) = Cell("D-4", 1, 0xF1);          // glides, no restart
    lab.At(1, 1) = Cell("D-4", 1, 0, '3', 0x10);  // the same as effect 3
    lab.At(1, 2) = Cell("D-4", 0, 0, '3', 0x08);
    lab.At(2, 2) = Cell("E-4", 0, 0xF0);  // F0 keeps effect 3's speed
    lab.At(1, 3) = Cell("D-4", 0, 0, '3', 0x00);
    lab.At(2, 3) = Cell("", 0, 0xF1);  // toward the last note's target
    const std::vector<TickTrace> trace = Play(lab, 12);
    EXPECT_EQ(Column(trace, PERIOD, 4, 4, 0), (V{4608, 4544, 4480, 4480}));
    EXPECT_EQ(Column(trace, PERIOD, 4, 4, 0), Column(trace, PERIOD, 4, 4, 1));
    EXPECT_EQ(Column(trace, VOICE, 3, 2, 0), V(2, trace[3].channels[0].voice));
    EXPECT_EQ(trace[4].channels[0].updateFlags & UPDATE_TRIGGER, 0);
    EXPECT_EQ(ChannelTable[0].note, 48);
    EXPECT_EQ(Column(trace, PERIOD, 4, 8, 2), (V{4608, 4576, 4544, 4512, 4512, 4480, 4448, 4416}));
    EXPECT_EQ(Column(trace, PERIOD, 4, 8, 3), (V{4608, 4608, 4608, 4608, 4608, 4544, 4480, 4480}));
}
TEST(Effects, TonePortamentoWithVolumeSlide)
{
    Lab lab(1, 64, 4);
    lab.At(0, 0) = Cell("C-4", 1);
    lab.At(1, 0) = Cell("C#4", 0, 0, '3', 0x04);
    lab.At(2, 0) = Fx('5', 0x02);
    const std::vector<TickTrace> trace = Play(lab, 12);
    EXPECT_EQ(Column(trace, PERIOD, 4, 8), (V{4608, 4592, 4576, 4560, 4560, 4544, 4544, 4544}));
    EXPECT_EQ(Column(trace, VOLUME, 8, 4), (V{48, 46, 44, 42}));
}
