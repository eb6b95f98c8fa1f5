#include "MemoryInput.h"
#include "Player.h"
#include "PlayerMemory.h"
#include "TestModules.h"
#include "XmWriter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

struct SongDeleter {
    void operator()(Song* song) const { FreeSong(song); }
};
using SongPtr = std::unique_ptr<Song, SongDeleter>;

SongPtr Load(const std::vector<uint8_t>& bytes, SampleDataCallback callback = nullptr)
{
    return SongPtr(LoadFromBytes(bytes, callback));
}

SongPtr Load(const XmModule& module)
{
    return Load(SerializeXm(module));
}

XmModule OneSampleModule(const XmSample& sample)
{
    XmModule song = MakeXmModule(2);
    AddXmPattern(song, 4);
    song.orders = {0};
    AddXmInstrument(song, MakeXmInstrument(sample));
    return song;
}

const Sample& FirstSample(const Song* song)
{
    return *song->instruments[0].samples[0];
}

}  // namespace

TEST(Loader, RefusesWithoutCallbacks)
{
    ClearInput();
    EXPECT_EQ(LoadSong("", nullptr), nullptr);
}

TEST(Loader, RefusesWhenTheInputCannotBeOpened)
{
    UseMemoryInput(SerializeXm(MakeRichModule()));
    EXPECT_EQ(LoadSong("missing", nullptr), nullptr);
    EXPECT_EQ(OpensSoFar(), 1);
    EXPECT_EQ(ClosesSoFar(), 0);
}

TEST(Loader, RefusesAWrongIdText)
{
    std::vector<uint8_t> bytes = SerializeXm(MakeRichModule());
    bytes[9] = 'm';  // "Extended module: "
    EXPECT_EQ(Load(bytes), nullptr);
    EXPECT_EQ(OpensSoFar(), 1);
    EXPECT_EQ(ClosesSoFar(), 1);
    EXPECT_EQ(Load(std::vector<uint8_t>{}), nullptr);
}

TEST(Loader, ReadsTheHeader)
{
    XmModule module = MakeRichModule();
    module.restart = 2;
    module.linearFrequencies = false;
    SongPtr song = Load(module);
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(song->songLength, 4);
    EXPECT_EQ(song->restartPosition, 2);
    EXPECT_EQ(song->channelCount, 4);
    EXPECT_EQ(song->instrumentCount, 3);
    EXPECT_EQ(song->songFlags, 0);
    EXPECT_EQ(song->defaultTempo, 3);
    EXPECT_EQ(song->defaultBpm, 150);
    EXPECT_EQ(song->orderTable[1], 1);
    EXPECT_EQ(song->orderTable[2], 2);
    EXPECT_EQ(song->initialGlobalVolume, 64);
    EXPECT_EQ(song->patternsUsed, 3);
    EXPECT_EQ(song->patternSlots, 3);
    EXPECT_EQ(song->tickCallback, &SongTick);
    EXPECT_EQ(song->patterns[0].rowCount, 16);
    EXPECT_EQ(song->patterns[1].rowCount, 8);
    EXPECT_EQ(song->patterns[2].rowCount, 32);
}

TEST(Loader, RefusesChannelCountsOutsideOneToThirtyTwo)
{
    XmModule module = MakeRichModule();
    std::vector<uint8_t> bytes = SerializeXm(module);
    PutU16(bytes, 68, 0);
    EXPECT_EQ(Load(bytes), nullptr);
    PutU16(bytes, 68, 33);
    EXPECT_EQ(Load(bytes), nullptr);

    XmModule wide = MakeXmModule(32);
    AddXmPattern(wide, 2).At(1, 31) = XmCell{XmNote("C-4"), 1, 0, 0, 0};
    wide.orders = {0};
    AddXmInstrument(wide, MakeXmInstrument(MakeXmSample8({1, 2, 3})));
    SongPtr song = Load(wide);
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(song->patterns[0].cells[1 * 32 + 31].note, XmNote("C-4"));
}

TEST(Loader, KeepsSongLengthAndRestartInRange)
{
    XmModule module = MakeRichModule();
    module.songLengthOverride = 300;
    module.restart = 299;
    SongPtr song = Load(module);
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(song->songLength, 256);
    EXPECT_EQ(song->restartPosition, 0);
    // The 252 entries after the four written are 0: pattern 0 plays there.
    EXPECT_EQ(song->patternSlots, 3);

    module.songLengthOverride = 0;
    module.restart = 0;
    song = Load(module);
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(song->songLength, 1);
    EXPECT_EQ(song->patternsUsed, 1);

    module.songLengthOverride = -1;
    module.restart = 4;
    song = Load(module);
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(song->restartPosition, 0);
    module.restart = 3;
    song = Load(module);
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(song->restartPosition, 3);
}

TEST(Loader, RefusesABpmOfZero)
{
    XmModule module = MakeRichModule();
    module.bpm = 0;
    EXPECT_EQ(Load(module), nullptr);
    module.bpm = 40000;
    EXPECT_EQ(Load(module), nullptr);
    module.bpm = 1;
    SongPtr song = Load(module);
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(song->defaultBpm, 1);
}

TEST(Loader, RefusesTooManyPatternsInstrumentsOrSamples)
{
    std::vector<uint8_t> bytes = SerializeXm(MakeRichModule());
    std::vector<uint8_t> patterns = bytes;
    PutU16(patterns, 70, 257);
    EXPECT_EQ(Load(patterns), nullptr);
    std::vector<uint8_t> instruments = bytes;
    PutU16(instruments, 72, 129);
    EXPECT_EQ(Load(instruments), nullptr);

    XmModule module = MakeXmModule(1);
    AddXmPattern(module, 1);
    module.orders = {0};
    XmInstrument crowded;
    for (int i = 0; i < 17; ++i)
        crowded.samples.push_back(MakeXmSample8({int8_t(i)}));
    AddXmInstrument(module, crowded);
    EXPECT_EQ(Load(module), nullptr);
    module.instruments[0].samples.pop_back();
    SongPtr song = Load(module);
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(song->instruments[0].sampleCount, 16);
    EXPECT_EQ(song->instruments[0].samples[15]->data[0], 15 * 256);
}

TEST(Loader, DecodesPackedCells)
{
    XmModule module = MakeXmModule(2);
    AddXmPattern(module, 3);
    module.orders = {0};
    XmLayout layout;
    std::vector<uint8_t> bytes = SerializeXm(module, &layout);
    SplicePatternData(bytes, layout, 0,
                      {0x83, 0x31, 0x02,                    // note and instrument only
                       0x31, 0x02, 0x40, 0x0F, 0x06,        // unpacked
                       0x80,                                // empty
                       0x81, 97,                            // key-off
                       0x9F, 98,   200,  0x10, 0x0A, 0x05,  // bad note, bad instrument
                       0x00, 0x00, 0x00, 0x00, 0x00});      // unpacked empty
    SongPtr song = Load(bytes);
    ASSERT_NE(song, nullptr);
    const NoteCell* cells = song->patterns[0].cells;
    auto same = [](const NoteCell& cell, NoteCell expected) {
        return cell.note == expected.note && cell.instrument == expected.instrument &&
               cell.volumeColumn == expected.volumeColumn && cell.effect == expected.effect &&
               cell.param == expected.param;
    };
    EXPECT_TRUE(same(cells[0], {0x31, 2, 0, 0, 0}));
    EXPECT_TRUE(same(cells[1], {0x31, 2, 0x40, 15, 6}));
    EXPECT_TRUE(same(cells[2], {0, 0, 0, 0, 0}));
    EXPECT_TRUE(same(cells[3], {255, 0, 0, 0, 0}));
    EXPECT_TRUE(same(cells[4], {0, 0, 0x10, 10, 5}));
    EXPECT_TRUE(same(cells[5], {0, 0, 0, 0, 0}));
}

TEST(Loader, PatternsWithoutDataOrRowsPlayEmptyRows)
{
    XmModule module = MakeXmModule(3);
    AddXmPattern(module, 5);  // all empty: stored with packed size 0
    AddXmPattern(module, 2).At(1, 2) = XmCell{XmNote("C-4"), 0, 0, 0, 0};
    module.orders = {0, 1};
    XmLayout layout;
    std::vector<uint8_t> bytes = SerializeXm(module, &layout);
    {
        SongPtr song = Load(bytes);
        ASSERT_NE(song, nullptr);
        EXPECT_EQ(song->patterns[0].rowCount, 5);
        for (int i = 0; i < 15; ++i)
            EXPECT_EQ(song->patterns[0].cells[i].note, 0);
        EXPECT_EQ(song->patterns[1].cells[5].note, XmNote("C-4"));
    }
    // A pattern of 0 rows plays 64 empty rows; its data is passed over.
    PutU16(bytes, layout.patterns[1] + 5, 0);
    SongPtr song = Load(bytes);
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(song->patterns[1].rowCount, 64);
    for (int i = 0; i < 64 * 3; ++i)
        EXPECT_EQ(song->patterns[1].cells[i].note, 0);

    PutU16(bytes, layout.patterns[1] + 5, 257);
    EXPECT_EQ(Load(bytes), nullptr);
}

TEST(Loader, PatternHeadersAreSkippedByTheirStoredLength)
{
    XmModule module = MakeXmModule(1);
    AddXmPattern(module, 2).At(1, 0) = XmCell{XmNote("C-4"), 0, 0, 0, 0};
    AddXmPattern(module, 2).At(0, 0) = XmCell{XmNote("D-4"), 0, 0, 0, 0};
    module.orders = {0, 1};
    XmLayout layout;
    std::vector<uint8_t> bytes = SerializeXm(module, &layout);
    const size_t header = layout.patterns[0];
    bytes.insert(bytes.begin() + long(header) + 9, {0xAA, 0xBB, 0xCC});
    PutU32(bytes, header, 12);
    {
        SongPtr song = Load(bytes);
        ASSERT_NE(song, nullptr);
        EXPECT_EQ(song->patterns[0].cells[1].note, XmNote("C-4"));
        EXPECT_EQ(song->patterns[1].cells[0].note, XmNote("D-4"));
    }
    PutU32(bytes, header, 8);
    EXPECT_EQ(Load(bytes), nullptr);
    PutU32(bytes, header, 0x10000);  // past the end of the file
    EXPECT_EQ(Load(bytes), nullptr);
}

TEST(Loader, MissingPatternsBecomeEmptySixtyFourRowPatterns)
{
    XmModule module = MakeXmModule(2);
    AddXmPattern(module, 4);
    AddXmPattern(module, 4);
    module.orders = {0, 5, 1, 3};
    module.songLengthOverride = 3;  // the entry naming pattern 3 is not played
    SongPtr song = Load(module);
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(song->patternsUsed, 6);
    EXPECT_EQ(song->patternSlots, 6);
    for (int p = 2; p < 6; ++p) {
        EXPECT_EQ(song->patterns[p].rowCount, 64);
        ASSERT_NE(song->patterns[p].cells, nullptr);
        EXPECT_EQ(song->patterns[p].cells[64 * 2 - 1].note, 0);
    }
}

TEST(Loader, DecodesEightBitDeltasIntoTheHighByte)
{
    SongPtr song = Load(OneSampleModule(MakeXmSample8({16, 0, 5, -128, 127})));
    ASSERT_NE(song, nullptr);
    const Sample& sample = FirstSample(song.get());
    EXPECT_EQ(sample.bits, 16);
    EXPECT_EQ(sample.length, 5u);
    const int16_t expected[] = {4096, 0, 1280, -32768, 32512};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(sample.data[i], expected[i]) << i;
    for (int i = 5; i < 5 + SAMPLE_SLACK_FRAMES; ++i)
        EXPECT_EQ(sample.data[i], 0);
    EXPECT_EQ(sample.loopKind, LOOP_NONE);
    EXPECT_EQ(sample.loopStart, 0u);
    EXPECT_EQ(sample.loopLength, 5u);
}

TEST(Loader, DecodesSixteenBitDeltas)
{
    SongPtr song = Load(OneSampleModule(MakeXmSample16({1000, -500, 32767, -32768})));
    ASSERT_NE(song, nullptr);
    const Sample& sample = FirstSample(song.get());
    EXPECT_EQ(sample.length, 4u);
    EXPECT_EQ(sample.data[0], 1000);
    EXPECT_EQ(sample.data[1], -500);
    EXPECT_EQ(sample.data[2], 32767);
    EXPECT_EQ(sample.data[3], -32768);
    EXPECT_EQ(sample.data[4], 0);
}

TEST(Loader, WritesLoopGuardFrames)
{
    XmSample forward = MakeXmSample16({10, 20, 30, 40, 50, 60});
    SetXmLoop(forward, XM_FORWARD_LOOP, 1, 3);
    SongPtr song = Load(OneSampleModule(forward));
    ASSERT_NE(song, nullptr);
    const Sample& looped = FirstSample(song.get());
    EXPECT_EQ(looped.loopKind, LOOP_FORWARD);
    EXPECT_EQ(looped.loopStart, 1u);
    EXPECT_EQ(looped.loopLength, 3u);
    EXPECT_EQ(looped.data[4], 20);  // frame after the loop holds the loop's first frame
    EXPECT_EQ(looped.data[5], 60);

    XmSample pingpong = MakeXmSample8({1, 2, 3, 4, 5, 6});
    SetXmLoop(pingpong, XM_PINGPONG_LOOP, 2, 4);
    song = Load(OneSampleModule(pingpong));
    ASSERT_NE(song, nullptr);
    const Sample& bouncing = FirstSample(song.get());
    EXPECT_EQ(bouncing.loopKind, LOOP_PINGPONG);
    EXPECT_EQ(bouncing.data[6], 6 * 256);  // the loop's last frame, into the slack
    EXPECT_EQ(bouncing.data[5], 6 * 256);
}

TEST(Loader, TypeBitsSelectLoopKindAndWidth)
{
    XmSample sample = MakeXmSample8({1, 2, 3, 4});
    SetXmLoop(sample, XM_FORWARD_LOOP, 0, 4);
    XmLayout layout;
    std::vector<uint8_t> bytes = SerializeXm(OneSampleModule(sample), &layout);
    const size_t type = layout.instruments[0].samples[0].header + 14;
    bytes[type] = 0x03;  // both loop bits: ping-pong
    SongPtr song = Load(bytes);
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(FirstSample(song.get()).loopKind, LOOP_PINGPONG);
    bytes[type] = 0x01 | 0x04 | 0x08 | 0x20 | 0x40 | 0x80;  // stray bits change nothing
    song = Load(bytes);
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(FirstSample(song.get()).loopKind, LOOP_FORWARD);
    EXPECT_EQ(FirstSample(song.get()).length, 4u);
}

TEST(Loader, ALoopLengthOfZeroMeansNoLoop)
{
    XmSample sample = MakeXmSample8({1, 2, 3, 4});
    SetXmLoop(sample, XM_FORWARD_LOOP, 2, 0);
    SongPtr song = Load(OneSampleModule(sample));
    ASSERT_NE(song, nullptr);
    const Sample& loaded = FirstSample(song.get());
    EXPECT_EQ(loaded.loopKind, LOOP_NONE);
    EXPECT_EQ(loaded.loopStart, 0u);
    EXPECT_EQ(loaded.loopLength, 4u);
    EXPECT_EQ(loaded.data[4], 0);

    // 16-bit: the lengths are halved before the test, so a one-byte loop is none.
    XmSample wide = MakeXmSample16({1, 2, 3, 4});
    XmLayout layout;
    std::vector<uint8_t> bytes = SerializeXm(OneSampleModule(wide), &layout);
    const size_t header = layout.instruments[0].samples[0].header;
    PutU32(bytes, header + 4, 2);
    PutU32(bytes, header + 8, 1);
    bytes[header + 14] = 0x11;
    song = Load(bytes);
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(FirstSample(song.get()).loopKind, LOOP_NONE);
    EXPECT_EQ(FirstSample(song.get()).loopLength, 4u);
}

TEST(Loader, ClampsLoopsToTheSample)
{
    XmSample sample = MakeXmSample8({1, 2, 3, 4, 5, 6, 7, 8});
    SetXmLoop(sample, XM_FORWARD_LOOP, 5, 100);
    SongPtr song = Load(OneSampleModule(sample));
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(FirstSample(song.get()).loopKind, LOOP_FORWARD);
    EXPECT_EQ(FirstSample(song.get()).loopStart, 5u);
    EXPECT_EQ(FirstSample(song.get()).loopLength, 3u);
    EXPECT_EQ(FirstSample(song.get()).data[8], 6 * 256);

    SetXmLoop(sample, XM_PINGPONG_LOOP, 8, 4);  // starts at the end
    song = Load(OneSampleModule(sample));
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(FirstSample(song.get()).loopKind, LOOP_NONE);
    EXPECT_EQ(FirstSample(song.get()).loopLength, 8u);

    SetXmLoop(sample, XM_FORWARD_LOOP, 0xFFFFFFF0u, 0x20);  // the sum wraps 32 bits
    song = Load(OneSampleModule(sample));
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(FirstSample(song.get()).loopKind, LOOP_NONE);
}

TEST(Loader, ZeroLengthSamplesHaveNoData)
{
    XmModule module = OneSampleModule(MakeXmSample8({}));
    module.instruments[0].samples.push_back(MakeXmSample8({7, 7}));
    SongPtr song = Load(module);
    ASSERT_NE(song, nullptr);
    const Sample& empty = FirstSample(song.get());
    EXPECT_EQ(empty.data, nullptr);
    EXPECT_EQ(empty.length, 0u);
    EXPECT_EQ(empty.loopLength, 0u);
    EXPECT_EQ(song->instruments[0].samples[1]->data[1], 7 * 256);
}

TEST(Loader, SixteenBitSampleWithAnOddByteLengthKeepsLaterDataInPlace)
{
    XmModule module = OneSampleModule(MakeXmSample16({100, 200, 300}));
    module.instruments[0].samples.push_back(MakeXmSample8({5, 6}));
    XmLayout layout;
    std::vector<uint8_t> bytes = SerializeXm(module, &layout);
    const XmLayout::SampleSpan& first = layout.instruments[0].samples[0];
    PutU32(bytes, first.header, 7);  // one byte more than the three frames
    bytes.insert(bytes.begin() + first.data + first.bytes, 0xEE);
    SongPtr song = Load(bytes);
    ASSERT_NE(song, nullptr);
    const Instrument& instrument = song->instruments[0];
    EXPECT_EQ(instrument.samples[0]->length, 3u);
    EXPECT_EQ(instrument.samples[0]->data[2], 300);
    EXPECT_EQ(instrument.samples[1]->data[0], 5 * 256);
    EXPECT_EQ(instrument.samples[1]->data[1], 6 * 256);
}

TEST(Loader, ReadsInstrumentsAndEnvelopes)
{
    SongPtr song = Load(MakeRichModule());
    ASSERT_NE(song, nullptr);
    const Instrument& lead = song->instruments[0];
    EXPECT_EQ(lead.sampleCount, 2);
    EXPECT_EQ(lead.sampleMap[47], 0);
    EXPECT_EQ(lead.sampleMap[48], 1);
    EXPECT_EQ(lead.volPointCount, 4);
    EXPECT_EQ(lead.volEnvelope[2].x, 20);
    EXPECT_EQ(lead.volEnvelope[2].y, 20);
    EXPECT_EQ(lead.volType, ENVELOPE_ON | ENVELOPE_SUSTAIN);
    EXPECT_EQ(lead.volSustain, 1);
    EXPECT_EQ(lead.panPointCount, 3);
    EXPECT_EQ(lead.panType, ENVELOPE_ON | ENVELOPE_LOOP);
    EXPECT_EQ(lead.panLoopEnd, 2);
    EXPECT_EQ(lead.fadeout, 600);
    EXPECT_EQ(lead.vibratoType, 1);
    EXPECT_EQ(lead.vibratoSweep, 4);
    EXPECT_EQ(lead.vibratoDepth, 6);
    EXPECT_EQ(lead.vibratoRate, 20);
    for (int j = 2; j < SAMPLES_PER_INSTRUMENT; ++j)
        EXPECT_EQ(lead.samples[j], &EmptySample);
    const Sample& leadSample = *lead.samples[0];
    EXPECT_EQ(leadSample.finetune, -20);
    EXPECT_EQ(leadSample.relativeNote, 3);
    EXPECT_EQ(leadSample.volume, 64);
    const Sample& pad = *song->instruments[2].samples[0];
    EXPECT_EQ(pad.volume, 40);
    EXPECT_EQ(pad.panning, 60);
    EXPECT_EQ(pad.loopKind, LOOP_PINGPONG);
    EXPECT_EQ(pad.loopStart, 40u);
    EXPECT_EQ(pad.loopLength, 200u);
    EXPECT_EQ(song->instruments[2].volType, 0);  // no points

    const Instrument& empty = song->instruments[1];
    EXPECT_EQ(empty.sampleCount, 0);
    for (Sample* slot : empty.samples)
        EXPECT_EQ(slot, &EmptySample);
}

TEST(Loader, KeepsEnvelopesWithinTheirPoints)
{
    XmModule module = OneSampleModule(MakeXmSample8({1}));
    XmInstrument& instrument = module.instruments[0];
    instrument.volumeEnvelope.points = {{0, 64}, {5, 90}, {10, 0}, {10, 30}, {20, 10}};
    instrument.volumeEnvelope.type = XM_ENVELOPE_ON | XM_ENVELOPE_SUSTAIN | XM_ENVELOPE_LOOP;
    instrument.volumeEnvelope.sustain = 3;
    instrument.volumeEnvelope.loopStart = 0;
    instrument.volumeEnvelope.loopEnd = 2;
    instrument.panningEnvelope.points = {{0, 1}, {1, 2}, {2, 3}};
    instrument.panningEnvelope.type = XM_ENVELOPE_ON | XM_ENVELOPE_LOOP;
    instrument.panningEnvelope.pointCountOverride = 30;
    instrument.panningEnvelope.loopStart = 1;
    instrument.panningEnvelope.loopEnd = 25;
    instrument.fadeout = 0x9000;  // doubled with 16-bit wrap-around
    SongPtr song = Load(module);
    ASSERT_NE(song, nullptr);
    const Instrument& loaded = song->instruments[0];
    // The fourth point does not lie after the third: the envelope ends at the third.
    EXPECT_EQ(loaded.volPointCount, 3);
    EXPECT_EQ(loaded.volEnvelope[1].y, 64);
    EXPECT_EQ(loaded.volType, ENVELOPE_ON | ENVELOPE_LOOP);  // sustain point 3 is gone
    // Only the file's 12 points exist; the 9 after the third are all at tick 0.
    EXPECT_EQ(loaded.panPointCount, 3);
    EXPECT_EQ(loaded.panType, ENVELOPE_ON);
    EXPECT_EQ(loaded.fadeout, 0x2000);
}

TEST(Loader, PassesSampleDataThroughTheCallback)
{
    static std::vector<std::vector<int>> calls;
    calls.clear();
    struct Supplier {
        static void Fill(void* buffer, int32_t bytes, int32_t bits, int32_t instrument,
                         int32_t sample)
        {
            calls.push_back({bytes, bits, instrument, sample});
            uint8_t* out = static_cast<uint8_t*>(buffer);
            for (int32_t i = 0; i < bytes; ++i)
                out[i] = uint8_t(i + 1);
        }
    };
    XmModule module = OneSampleModule(MakeXmSample8({9, 9, 9}));
    module.instruments[0].samples.push_back(MakeXmSample8({}));
    module.instruments[0].samples.push_back(MakeXmSample16({4, 4}));
    AddXmInstrument(module, MakeXmInstrument(MakeXmSample8({2})));
    std::vector<uint8_t> bytes = SerializeXm(module);
    const int64_t readWithoutCallback = (Load(bytes), BytesReadSoFar());
    SongPtr song = Load(bytes, &Supplier::Fill);
    ASSERT_NE(song, nullptr);
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0], (std::vector<int>{3, 8, 0, 0}));
    EXPECT_EQ(calls[1], (std::vector<int>{4, 16, 0, 2}));
    EXPECT_EQ(calls[2], (std::vector<int>{1, 8, 1, 0}));
    // Decoded data as given: no delta decoding, 8-bit widened.
    const Instrument& first = song->instruments[0];
    EXPECT_EQ(first.samples[0]->data[0], 1 * 256);
    EXPECT_EQ(first.samples[0]->data[2], 3 * 256);
    EXPECT_EQ(first.samples[2]->data[0], 0x0201);
    EXPECT_EQ(first.samples[2]->data[1], 0x0403);
    EXPECT_EQ(song->instruments[1].samples[0]->data[0], 256);
    // The 8 data bytes in the file were passed over, not read.
    EXPECT_EQ(readWithoutCallback - BytesReadSoFar(), 8);
}

TEST(Loader, SampleDataTheFileEndsInsideKeepsTheFramesHeld)
{
    XmSample looped = MakeXmSample8({1, 2, 3, 4, 5, 6});
    SetXmLoop(looped, XM_FORWARD_LOOP, 2, 4);
    XmLayout layout;
    const std::vector<uint8_t> whole = SerializeXm(OneSampleModule(looped), &layout);
    const size_t data = layout.instruments[0].samples[0].data;
    {
        SongPtr song = Load(std::vector<uint8_t>(whole.begin(), whole.begin() + data + 4));
        ASSERT_NE(song, nullptr);
        const Sample& cut = FirstSample(song.get());
        EXPECT_EQ(cut.length, 4u);
        EXPECT_EQ(cut.loopKind, LOOP_FORWARD);
        EXPECT_EQ(cut.loopStart, 2u);
        EXPECT_EQ(cut.loopLength, 2u);
        EXPECT_EQ(cut.data[3], 4 * 256);
        EXPECT_EQ(cut.data[4], cut.data[2]);  // the loop's guard frame
    }
    {
        // The loop would start at the end of what is held: no loop.
        SongPtr song = Load(std::vector<uint8_t>(whole.begin(), whole.begin() + data + 2));
        ASSERT_NE(song, nullptr);
        const Sample& cut = FirstSample(song.get());
        EXPECT_EQ(cut.length, 2u);
        EXPECT_EQ(cut.loopKind, LOOP_NONE);
        EXPECT_EQ(cut.loopLength, 2u);
    }
    {
        SongPtr song = Load(std::vector<uint8_t>(whole.begin(), whole.begin() + data));
        ASSERT_NE(song, nullptr);
        EXPECT_EQ(FirstSample(song.get()).length, 0u);
        EXPECT_EQ(FirstSample(song.get()).data, nullptr);
    }
    // A header claiming more than the file holds keeps what is there; one
    // beyond the longest sample accepted is still refused.
    const size_t header = layout.instruments[0].samples[0].header;
    std::vector<uint8_t> bytes = whole;
    PutU32(bytes, header, 1000);
    SongPtr claimed = Load(bytes);
    ASSERT_NE(claimed, nullptr);
    EXPECT_EQ(FirstSample(claimed.get()).length, 6u);
    PutU32(bytes, header, 0x7FFFFFF0u);
    EXPECT_EQ(Load(bytes), nullptr);
    PutU32(bytes, header, 0xFFFFFFFFu);
    bytes[header + 14] = 0x10;
    EXPECT_EQ(Load(bytes), nullptr);
}
TEST(Loader, LastSampleEndsExactlyAtTheEndOfTheInput)
{
    const std::vector<uint8_t> bytes = SerializeXm(MakeRichModule());
    SongPtr song = Load(bytes);
    ASSERT_NE(song, nullptr);
    // The pad's 400 frames are the file's last 800 bytes. Its ping-pong loop
    // ends at frame 240, which holds the loop's last frame for interpolation.
    const std::vector<int16_t> pad = Saw16(400, 80);
    const Sample& loaded = *song->instruments[2].samples[0];
    ASSERT_EQ(loaded.length, 400u);
    for (size_t i = 0; i < 400; ++i)
        ASSERT_EQ(loaded.data[i], i == 240 ? pad[239] : pad[i]) << i;
    // One byte less: the odd byte is dropped, the loop still fits.
    SongPtr shorter = Load(std::vector<uint8_t>(bytes.begin(), bytes.end() - 1));
    ASSERT_NE(shorter, nullptr);
    EXPECT_EQ(shorter->instruments[2].samples[0]->length, 399u);
    EXPECT_EQ(shorter->instruments[2].samples[0]->loopLength, 200u);
}

TEST(Loader, AFileEndingEarlyKeepsWhatIsWhole)
{
    XmLayout layout;
    const std::vector<uint8_t> bytes = SerializeXm(MakeRichModule(), &layout);
    SongPtr full = Load(bytes);
    ASSERT_NE(full, nullptr);
    const int channels = full->channelCount;
    for (size_t size = 0; size < bytes.size(); ++size) {
        SCOPED_TRACE(size);
        SongPtr song = Load(std::vector<uint8_t>(bytes.begin(), bytes.begin() + size));
        // Cut inside the main header: not a module.
        if (size < 336) {
            ASSERT_EQ(song, nullptr);
            continue;
        }
        ASSERT_NE(song, nullptr);
        for (int p = 0; p < 3; ++p) {
            // Each pattern is whole, or keeps its whole rows and then is
            // empty, or, when the file ends before it, has 64 empty rows.
            const Pattern& pattern = song->patterns[p];
            const Pattern& original = full->patterns[p];
            const bool missing = size < layout.patterns[size_t(p)] + 9;
            ASSERT_EQ(pattern.rowCount, missing ? 64 : original.rowCount);
            bool emptySinceHere = false;
            for (int r = 0; r < pattern.rowCount; ++r) {
                bool same = true, empty = true;
                for (int c = 0; c < channels; ++c) {
                    const NoteCell& cell = pattern.cells[r * channels + c];
                    const NoteCell& was = original.cells[r * channels + c];
                    same = same && std::memcmp(&cell, &was, sizeof(cell)) == 0;
                    empty = empty && cell.note == 0 && cell.instrument == 0 && cell.effect == 0 &&
                            cell.param == 0 && cell.volumeColumn == 0;
                }
                emptySinceHere = emptySinceHere || !same;
                ASSERT_TRUE(emptySinceHere ? empty : same) << "pattern " << p << " row " << r;
            }
        }
        // Instruments the file ends before, or inside the headers of, are empty,
        // and the song says how many and that the file ended early.
        EXPECT_EQ(song->fileEndsEarly, size < bytes.size() ? 1 : 0);
        int missingInstruments = 0;
        for (int i = 0; i < 3; ++i) {
            const Instrument& instrument = song->instruments[i];
            const XmLayout::InstrumentSpan& span = layout.instruments[size_t(i)];
            const size_t headersEnd = span.samples.empty() ? span.header + 29
                                                           : span.samples.back().header + 40;
            if (size < headersEnd) {
                ++missingInstruments;
                ASSERT_EQ(instrument.sampleCount, 0) << i;
                ASSERT_EQ(instrument.samples[0], &EmptySample) << i;
            } else {
                ASSERT_EQ(instrument.sampleCount, full->instruments[i].sampleCount) << i;
            }
        }
        ASSERT_EQ(song->instrumentsMissing, missingInstruments);
    }
    EXPECT_EQ(full->fileEndsEarly, 0);
}
TEST(Loader, EveryAllocationFailureIsRefusedWithoutLeaks)
{
    const std::vector<uint8_t> bytes = SerializeXm(MakeRichModule());
    long successes = 0;
    for (;; ++successes) {
        SetPlayerAllocationFailure(successes);
        SongPtr song = Load(bytes);
        SetPlayerAllocationFailure(-1);
        if (song)
            break;
        ASSERT_LT(successes, 1000);
    }
    // Song, patterns, three patterns' cells, instruments, three samples and their data.
    EXPECT_EQ(successes, 1 + 1 + 3 + 1 + 3 + 3);
}

TEST(Loader, FreeSongRefusesNull)
{
    EXPECT_FALSE(FreeSong(nullptr));
    SongPtr song = Load(MakeRichModule());
    ASSERT_NE(song, nullptr);
    EXPECT_TRUE(FreeSong(song.release()));
}
