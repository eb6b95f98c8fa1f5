#include "PlayerTestKit.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> RowStarts(const std::vector<TickTrace>& trace)
{
    std::vector<std::string> rows;
    for (const TickTrace& entry : trace)
        if (entry.tick == 0)
            rows.push_back(std::to_string(entry.order) + ":" + std::to_string(entry.row));
    return rows;
}

}  // namespace

TEST(Sequencer, RowsLastSpeedTicksAndTheSongRestarts)
{
    Lab lab(1, 3, 2);
    lab.AddPattern(2);
    lab.module.orders = {0, 1, 0};
    lab.module.restart = 1;
    SongPtr song = lab.Load();
    ASSERT_NE(song, nullptr);
    const std::vector<TickTrace> trace = TraceTicks(song.get(), 20);
    EXPECT_EQ(Positions(trace),
              (std::vector<std::string>{"0:0:0", "0:0:1", "0:1:0", "0:1:1", "0:2:0",
                                        "0:2:1", "1:0:0", "1:0:1", "1:1:0", "1:1:1",
                                        "2:0:0", "2:0:1", "2:1:0", "2:1:1", "2:2:0",
                                        "2:2:1", "1:0:0", "1:0:1", "1:1:0", "1:1:1"}));
}

TEST(Sequencer, PlayStartResetsSongAndChannels)
{
    Lab lab(2);
    lab.module.tempo = 4;
    lab.module.bpm = 176;
    lab.At(0, 1) = Cell("C-4", 1);
    SongPtr song = lab.Load();
    ChannelTable[5].volume = 99;
    song->globalVolume = 3;
    ResetPlayState(song.get());
    EXPECT_EQ(song->speed, 4);
    EXPECT_EQ(song->bpm, 176);
    EXPECT_EQ(song->samplesPerTick, 626);
    EXPECT_EQ(song->globalVolume, 64);
    EXPECT_EQ(song->nextRow, -1);
    EXPECT_EQ(song->nextOrderPos, -1);
    EXPECT_EQ(song->samplesLeftInTick, 0);
    EXPECT_EQ(ChannelTable[5].volume, 0);
    for (int i = 0; i < MAX_CHANNELS; ++i)
        EXPECT_EQ(ChannelTable[i].voice, &VoiceTable[i]);
    for (int i = 0; i < VOICE_TABLE_SIZE; ++i)
        EXPECT_EQ(VoiceTable[i].sample, nullptr);
}

TEST(Sequencer, SpeedZeroAndPatternDelay)
{
    Lab lab(1, 4);
    lab.At(0, 0) = Fx('F', 0);
    SongPtr song = lab.Load();
    EXPECT_EQ(RowStarts(TraceTicks(song.get(), 4)),
              (std::vector<std::string>{"0:0", "0:1", "0:2", "0:3"}));

    Lab delayed(1, 3);
    delayed.At(0, 0) = Cell("C-4", 1, 0, 'E', 0xE2);
    song = delayed.Load();
    const std::vector<TickTrace> trace = TraceTicks(song.get(), 20);
    EXPECT_EQ(trace[17].row, 0);
    EXPECT_EQ(trace[18].row, 1);
    EXPECT_EQ(trace[18].tick, 0);
    // Only the row tick reads the cell: the note starts once.
    for (int t = 1; t < 18; ++t)
        EXPECT_EQ(trace[t].channels[0].updateFlags & UPDATE_TRIGGER, 0) << t;
    EXPECT_EQ(trace[0].channels[0].updateFlags & UPDATE_TRIGGER, UPDATE_TRIGGER);
}

TEST(Sequencer, PositionJumpBeyondTheSongGoesToOrderZero)
{
    Lab lab(1, 4, 1);
    lab.AddPattern(4);
    lab.module.orders = {0, 1};
    lab.module.restart = 1;
    lab.At(1, 0, 1) = Fx('B', 5);
    SongPtr song = lab.Load();
    EXPECT_EQ(RowStarts(TraceTicks(song.get(), 8)),
              (std::vector<std::string>{"0:0", "0:1", "0:2", "0:3", "1:0", "1:1", "0:0", "0:1"}));
}

TEST(Sequencer, PatternBreakRows)
{
    Lab lab(1, 8, 1);
    lab.AddPattern(64);
    lab.AddPattern(64);
    lab.module.orders = {0, 1, 2};
    lab.At(0, 0) = Fx('D', 0x3A);      // 10 x 3 + 10 = row 40
    lab.At(41, 0, 1) = Fx('D', 0x64);  // 64 > 63: row 0
    lab.At(1, 0, 2) = Fx('D', 0x05);   // at the last order position: order 0
    SongPtr song = lab.Load();
    EXPECT_EQ(RowStarts(TraceTicks(song.get(), 6)),
              (std::vector<std::string>{"0:0", "1:40", "1:41", "2:0", "2:1", "0:5"}));
}

TEST(Sequencer, BreakIntoARowThePatternDoesNotHaveStartsItsFirstRow)
{
    Lab lab(1, 4, 1);
    lab.AddPattern(8);
    lab.module.orders = {0, 1};
    lab.At(0, 0) = Fx('D', 0x20);
    SongPtr song = lab.Load();
    EXPECT_EQ(RowStarts(TraceTicks(song.get(), 3)),
              (std::vector<std::string>{"0:0", "1:0", "1:1"}));
}

TEST(Sequencer, JumpAndBreakOnTheSameRow)
{
    Lab lab(2, 4, 1);
    lab.AddPattern(8);
    lab.AddPattern(8);
    lab.module.orders = {0, 1, 2};
    lab.At(0, 0) = Fx('B', 2);
    lab.At(0, 1) = Fx('D', 0x05);  // keeps B's order, replaces its row
    lab.At(5, 0, 2) = Fx('D', 0x03);
    lab.At(5, 1, 2) = Fx('B', 1);  // replaces both
    SongPtr song = lab.Load();
    EXPECT_EQ(RowStarts(TraceTicks(song.get(), 3)),
              (std::vector<std::string>{"0:0", "2:5", "1:0"}));
}

TEST(Sequencer, PatternLoopPlaysTheBodyThreeTimes)
{
    Lab lab(1, 6, 1);
    lab.At(1, 0) = Fx('E', 0x60);
    lab.At(3, 0) = Fx('E', 0x62);
    SongPtr song = lab.Load();
    EXPECT_EQ(RowStarts(TraceTicks(song.get(), 12)),
              (std::vector<std::string>{"0:0", "0:1", "0:2", "0:3", "0:1", "0:2", "0:3", "0:1",
                                        "0:2", "0:3", "0:4", "0:5"}));
}

TEST(Sequencer, LoopRowOutlivesThePatternChange)
{
    Lab lab(1, 4, 1);
    lab.AddPattern(4);
    lab.module.orders = {0, 1};
    lab.At(3, 0) = Fx('E', 0x60);
    lab.At(1, 0, 1) = Fx('E', 0x61);  // jumps to the row set in the previous pattern
    SongPtr song = lab.Load();
    // The pattern after a loop jump starts at the row jumped to; the one
    // after that at row 0 again.
    EXPECT_EQ(RowStarts(TraceTicks(song.get(), 12)),
              (std::vector<std::string>{"0:0", "0:1", "0:2", "0:3", "1:0", "1:1", "1:3", "0:3",
                                        "1:0", "1:1", "1:2", "1:3"}));
}

TEST(Sequencer, NoteAndInstrumentStartTheSampleWithItsVolumeAndPanning)
{
    Lab lab(2);
    lab.At(0, 0) = Cell("C-4", 1);
    lab.At(0, 1) = Cell("D-4", 2);
    SongPtr song = lab.Load();
    const std::vector<TickTrace> trace = TraceTicks(song.get(), 1);
    const ChannelTrace& plain = trace[0].channels[0];
    EXPECT_EQ(plain.period, 4608);
    EXPECT_EQ(plain.volume, 48);
    EXPECT_EQ(plain.panning, 128);
    EXPECT_TRUE(plain.sounding);
    EXPECT_EQ(plain.frequency, 8363);
    EXPECT_EQ(plain.voiceVolume, int(48.0 * 64 * 65536 * 64 * 255 / 34359738368.0));
    EXPECT_EQ(ChannelTable[0].note, 48);
    EXPECT_EQ(ChannelTable[0].instrument, 0);
    EXPECT_EQ(ChannelTable[0].sample, song->instruments[0].samples[0]);
    const ChannelTrace& enveloped = trace[0].channels[1];
    EXPECT_EQ(enveloped.period, 4480);
    EXPECT_EQ(enveloped.panning, 200);
    EXPECT_EQ(enveloped.voicePanning, 200);
    EXPECT_EQ(enveloped.volEnvValue, 64);
}

TEST(Sequencer, NoteWithoutInstrumentKeepsVolumeAndRetriggers)
{
    Lab lab(1, 4, 2);
    lab.At(0, 0) = Cell("C-4", 1, 0x30);  // volume 32
    lab.At(2, 0) = Cell("G-4");
    SongPtr song = lab.Load();
    ResetPlayState(song.get());
    ASSERT_TRUE(OpenBlockRing(song.get()));
    FillBlock();  // row 0 and 1 played and mixed: 2 x 2 ticks of 882 frames > 884
    FillBlock();
    FillBlock();
    const Voice* before = ChannelTable[0].voice;
    EXPECT_GT(before->positionInt, 0);
    CloseBlockRing();
    const std::vector<TickTrace> trace = TraceMoreTicks(song.get(), 4);
    // Row 2 runs somewhere in these ticks; its note restarts the sample on the
    // partner voice with the volume kept.
    bool restarted = false;
    for (const TickTrace& entry : trace)
        if (entry.row == 2 && entry.tick == 0) {
            restarted = true;
            EXPECT_EQ(entry.channels[0].volume, 32);
            EXPECT_EQ(entry.channels[0].period, 4608 - 7 * 64);
            EXPECT_NE(entry.channels[0].voice, before->index);
            EXPECT_EQ(entry.channels[0].samplePosition, 0);
        }
    EXPECT_TRUE(restarted);
}

TEST(Sequencer, KeyOffSilencesAnInstrumentWithoutEnvelopeByItsVolume)
{
    Lab lab(2, 6, 2);
    lab.module.instruments[0].fadeout = 256;
    lab.At(0, 0) = Cell("C-4", 1);
    lab.At(1, 0) = Cell("===");
    lab.At(2, 0) = Cell("E-4");        // no instrument: still silent
    lab.At(3, 0) = Cell("", 0, 0x30);  // a volume sounds again, released
    lab.At(4, 0) = Fx('C', 0x10);
    lab.At(5, 0) = Cell("F-4", 1);
    lab.At(0, 1) = Cell("C-4", 1);
    lab.At(1, 1) = Cell("===", 2);  // the number only brings the volume back
    SongPtr song = lab.Load();
    const std::vector<TickTrace> trace = TraceTicks(song.get(), 12);
    const ChannelTrace& off = trace[2].channels[0];
    EXPECT_GT(trace[1].channels[0].voiceVolume, 0);
    EXPECT_EQ(off.keyOff, 1);
    EXPECT_EQ(off.volume, 0);
    EXPECT_EQ(off.volEnvValue, 64);
    EXPECT_EQ(off.voiceVolume, 0);
    EXPECT_EQ(off.fadeoutVolume, 65536 - 512);
    EXPECT_EQ(trace[4].channels[0].voiceVolume, 0);
    EXPECT_EQ(trace[4].channels[0].period, 4608 - 4 * 64);
    EXPECT_EQ(trace[6].channels[0].volume, 32);
    EXPECT_GT(trace[6].channels[0].voiceVolume, 0);
    EXPECT_EQ(trace[6].channels[0].fadeoutVolume, 65536 - 5 * 512);
    EXPECT_EQ(trace[8].channels[0].volume, 16);
    EXPECT_EQ(trace[10].channels[0].keyOff, 0);
    EXPECT_EQ(trace[10].channels[0].fadeoutVolume, 65536);
    EXPECT_EQ(trace[10].channels[0].volume, 48);

    const ChannelTrace& numbered = trace[2].channels[1];
    EXPECT_EQ(numbered.keyOff, 1);
    EXPECT_EQ(numbered.volume, 48);  // instrument 1's sample, not instrument 2's
    EXPECT_EQ(numbered.panning, 128);
    EXPECT_EQ(ChannelTable[1].instrument, 0);
    EXPECT_EQ(numbered.updateFlags & UPDATE_TRIGGER, 0);
}

TEST(Sequencer, KeyOffReleasesTheSustainAndStartsTheFadeOut)
{
    Lab lab(1, 64, 1);
    lab.AddPattern(64);
    lab.module.orders = {0, 1, 1};
    lab.At(0, 0) = Cell("C-4", 2);
    lab.At(10, 0) = Cell("===");
    SongPtr song = lab.Load();
    const std::vector<TickTrace> trace = TraceTicks(song.get(), 150);
    // Held at the sustain point (32) from tick 4 until the key-off.
    EXPECT_EQ(trace[3].channels[0].volEnvValue, 40);
    for (int t = 4; t <= 10; ++t)
        EXPECT_EQ(trace[t].channels[0].volEnvValue, 32) << t;
    EXPECT_EQ(trace[9].channels[0].fadeoutVolume, 65536);
    EXPECT_EQ(trace[11].channels[0].volEnvValue, 24);
    EXPECT_EQ(trace[14].channels[0].volEnvValue, 0);
    // Fade-out 256 in the file (512 a tick) reaches 0 after 128 ticks.
    EXPECT_EQ(trace[10].channels[0].fadeoutVolume, 65536 - 512);
    EXPECT_EQ(trace[136].channels[0].fadeoutVolume, 512);
    EXPECT_EQ(trace[137].channels[0].fadeoutVolume, 0);
    EXPECT_EQ(trace[149].channels[0].fadeoutVolume, 0);
}

TEST(Sequencer, KeyOffEffectActsOnTheTickItNames)
{
    Lab lab(4, 4, 4);
    for (int c = 0; c < 4; ++c)
        lab.At(0, c) = Cell("C-4", 1);
    lab.At(1, 0) = Fx('K', 0);
    lab.At(1, 1) = Fx('K', 3);                 // the row's last tick
    lab.At(1, 2) = Fx('K', 4);                 // a tick the row never reaches
    lab.At(1, 3) = Cell("E-4", 1, 0, 'K', 0);  // K00 takes the note's place
    SongPtr song = lab.Load();
    const std::vector<TickTrace> trace = TraceTicks(song.get(), 12);
    EXPECT_EQ(trace[4].channels[0].keyOff, 1);
    EXPECT_EQ(trace[4].channels[0].voiceVolume, 0);
    EXPECT_EQ(trace[6].channels[1].keyOff, 0);
    EXPECT_GT(trace[6].channels[1].voiceVolume, 0);
    EXPECT_EQ(trace[7].channels[1].keyOff, 1);
    EXPECT_EQ(trace[7].channels[1].voiceVolume, 0);
    for (int t = 4; t < 12; ++t)
        EXPECT_EQ(trace[size_t(t)].channels[2].keyOff, 0) << t;
    const ChannelTrace& replaced = trace[4].channels[3];
    EXPECT_EQ(replaced.keyOff, 1);
    EXPECT_EQ(replaced.period, 4608);
    EXPECT_EQ(replaced.updateFlags & UPDATE_TRIGGER, 0);
    EXPECT_EQ(replaced.volume, 48);
}

TEST(Sequencer, TonePortamentoRowKeepsNoteInstrumentAndSample)
{
    Lab lab(1, 4, 4);
    lab.module.instruments[1].samples[0].relativeNote = 12;
    lab.At(0, 0) = Cell("C-4", 1);
    lab.At(1, 0) = Cell("D-4", 2, 0, '3', 0x08);
    SongPtr song = lab.Load();
    const std::vector<TickTrace> trace = TraceTicks(song.get(), 8);
    const Sample* plain = song->instruments[0].samples[0];
    EXPECT_EQ(ChannelTable[0].note, 48);
    EXPECT_EQ(ChannelTable[0].instrument, 0);
    EXPECT_EQ(ChannelTable[0].sample, plain);
    // The target comes from the new note with the old sample's relative note.
    EXPECT_EQ(ChannelTable[0].targetPeriod, 4608 - 2 * 64);
    EXPECT_EQ(trace[4].channels[0].period, 4608);
    EXPECT_EQ(trace[4].channels[0].voice, trace[3].channels[0].voice);
    EXPECT_EQ(trace[4].channels[0].updateFlags & UPDATE_TRIGGER, 0);
    EXPECT_EQ(trace[5].channels[0].period, 4608 - 32);
    EXPECT_EQ(trace[6].channels[0].period, 4608 - 64);
    EXPECT_EQ(trace[7].channels[0].period, 4608 - 96);
    // The instrument number still resets volume and envelopes, from the old sample.
    EXPECT_EQ(trace[4].channels[0].volume, 48);
}

TEST(Sequencer, InstrumentBeyondTheSongPlaysSilence)
{
    Lab lab(2, 4, 2);
    lab.At(0, 0) = Cell("C-4", 1);
    lab.At(1, 0) = Cell("D-4", 9);
    lab.At(0, 1) = Cell("C-4", 128);
    SongPtr song = lab.Load();
    const std::vector<TickTrace> trace = TraceTicks(song.get(), 4);
    EXPECT_EQ(trace[0].channels[1].voiceVolume, 0);
    // The channel keeps its last real sample; the voice plays the empty one.
    EXPECT_EQ(ChannelTable[0].sample, song->instruments[0].samples[0]);
    EXPECT_EQ(VoiceTable[trace[2].channels[0].voice].sample, &EmptySample);
    EXPECT_EQ(EmptySample.data, nullptr);
}

TEST(Sequencer, NotesMappedToNoSampleSelectTheEmptySample)
{
    Lab lab(1, 2, 2);
    for (int n = 60; n < 96; ++n)
        lab.module.instruments[0].sampleMap[n] = n < 70 ? 3 : 200;
    lab.At(0, 0) = Cell("A-5", 1);  // slot 3 of a one-sample instrument
    lab.At(1, 0) = Cell("C-7", 1);  // map entry 200
    SongPtr song = lab.Load();
    const std::vector<TickTrace> trace = TraceTicks(song.get(), 4);
    EXPECT_EQ(VoiceTable[trace[0].channels[0].voice].sample, &EmptySample);
    EXPECT_EQ(trace[0].channels[0].volume, 0);
    EXPECT_EQ(VoiceTable[trace[2].channels[0].voice].sample, &EmptySample);
    EXPECT_EQ(ChannelTable[0].sample, &EmptySample);
}
