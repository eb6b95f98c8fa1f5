#include "XmWriter.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

uint32_t U16At(const std::vector<uint8_t>& bytes, size_t at)
{
    return uint32_t(bytes[at]) | uint32_t(bytes[at + 1]) << 8;
}

uint32_t U32At(const std::vector<uint8_t>& bytes, size_t at)
{
    return U16At(bytes, at) | U16At(bytes, at + 2) << 16;
}

XmModule TwoChannelSong()
{
    XmModule song = MakeXmModule(2);
    song.name = "writer test";
    song.tempo = 5;
    song.bpm = 140;
    song.restart = 1;
    song.linearFrequencies = false;
    XmPattern& first = AddXmPattern(song, 4);
    first.At(0, 0) = XmCell{XmNote("C-4"), 1, 0x40, XmEffect('A'), 0x0F};
    first.At(1, 1) = XmCell{XmNote("D#5"), 0, 0, 0, 0};
    first.At(3, 1) = XmCell{XM_KEY_OFF, 0, 0, 0, 0};
    AddXmPattern(song, 16);  // left empty
    song.orders = {1, 0, 1};
    return song;
}

}  // namespace

TEST(XmWriter, NotesAndEffectsByName)
{
    EXPECT_EQ(XmNote("C-0"), 1);
    EXPECT_EQ(XmNote("C-4"), 49);
    EXPECT_EQ(XmNote("C#4"), 50);
    EXPECT_EQ(XmNote("B-7"), 96);
    EXPECT_EQ(XmNote("H-4"), 0);
    EXPECT_EQ(XmNote("C-8"), 0);
    EXPECT_EQ(XmNote("C-"), 0);
    EXPECT_EQ(XmEffect('0'), 0);
    EXPECT_EQ(XmEffect('9'), 9);
    EXPECT_EQ(XmEffect('A'), 10);
    EXPECT_EQ(XmEffect('F'), 15);
    EXPECT_EQ(XmEffect('x'), 33);
    EXPECT_EQ(XmEffect('Z'), 35);
}

TEST(XmWriter, HeaderFieldsLandAtTheirOffsets)
{
    const XmModule song = TwoChannelSong();
    const std::vector<uint8_t> bytes = SerializeXm(song);
    ASSERT_GE(bytes.size(), 336u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 17), "Extended Module: ");
    EXPECT_EQ(std::string(bytes.begin() + 17, bytes.begin() + 28), "writer test");
    EXPECT_EQ(bytes[37], 0x1A);
    EXPECT_EQ(U16At(bytes, 58), 0x0104u);
    EXPECT_EQ(U32At(bytes, 60), 276u);
    EXPECT_EQ(U16At(bytes, 64), 3u);  // song length
    EXPECT_EQ(U16At(bytes, 66), 1u);  // restart
    EXPECT_EQ(U16At(bytes, 68), 2u);  // channels
    EXPECT_EQ(U16At(bytes, 70), 2u);  // patterns
    EXPECT_EQ(U16At(bytes, 72), 0u);  // instruments
    EXPECT_EQ(U16At(bytes, 74), 0u);  // Amiga table
    EXPECT_EQ(U16At(bytes, 76), 5u);
    EXPECT_EQ(U16At(bytes, 78), 140u);
    EXPECT_EQ(bytes[80], 1);
    EXPECT_EQ(bytes[81], 0);
    EXPECT_EQ(bytes[82], 1);
    EXPECT_EQ(bytes[83], 0);
}

TEST(XmWriter, PacksCellsAndStoresEmptyPatternsWithoutData)
{
    XmLayout layout;
    const std::vector<uint8_t> bytes = SerializeXm(TwoChannelSong(), &layout);
    ASSERT_EQ(layout.patterns.size(), 2u);
    EXPECT_EQ(layout.patternsStart, 336u);
    const size_t first = layout.patterns[0];
    EXPECT_EQ(U32At(bytes, first), 9u);
    EXPECT_EQ(bytes[first + 4], 0);
    EXPECT_EQ(U16At(bytes, first + 5), 4u);
    const std::vector<uint8_t> expected = {
        49,   1,    0x40, 10, 0x0F,  // row 0, channel 0: all five fields, unpacked
        0x80,                        // row 0, channel 1: empty
        0x80, 0x81, 64,              // row 1: empty, then note D#5
        0x80, 0x80,                  // row 2
        0x80, 0x81, 97,              // row 3: empty, then key-off
    };
    ASSERT_EQ(U16At(bytes, first + 7), expected.size());
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + first + 9, bytes.begin() + first + 9 + expected.size()), expected);
    const size_t second = layout.patterns[1];
    EXPECT_EQ(second, first + 9 + expected.size());
    EXPECT_EQ(U16At(bytes, second + 5), 16u);
    EXPECT_EQ(U16At(bytes, second + 7), 0u);
    EXPECT_EQ(bytes.size(), second + 9);
}

TEST(XmWriter, PartialCellsCarryOnlyTheirFields)
{
    XmModule song = MakeXmModule(1);
    XmPattern& pattern = AddXmPattern(song, 3);
    pattern.At(0, 0) = XmCell{0, 3, 0, 0, 0};
    pattern.At(1, 0) = XmCell{0, 0, 0, XmEffect('F'), 6};
    pattern.At(2, 0) = XmCell{0, 0, 0x20, 0, 0};
    XmLayout layout;
    const std::vector<uint8_t> bytes = SerializeXm(song, &layout);
    const std::vector<uint8_t> expected = {0x82, 3, 0x98, 15, 6, 0x84, 0x20};
    const size_t data = layout.patterns[0] + 9;
    ASSERT_EQ(bytes.size(), data + expected.size());
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + data, bytes.end()), expected);
}

TEST(XmWriter, UnpackedCellsAreFiveBytesEach)
{
    XmModule song = MakeXmModule(2);
    song.packCells = false;
    XmPattern& pattern = AddXmPattern(song, 2);
    pattern.At(1, 1) = XmCell{12, 2, 0x30, 4, 0x22};
    XmLayout layout;
    const std::vector<uint8_t> bytes = SerializeXm(song, &layout);
    const size_t data = layout.patterns[0] + 9;
    ASSERT_EQ(U16At(bytes, layout.patterns[0] + 7), 20u);
    ASSERT_EQ(bytes.size(), data + 20);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + data, bytes.begin() + data + 15), std::vector<uint8_t>(15, 0));
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + data + 15, bytes.end()),
              (std::vector<uint8_t>{12, 2, 0x30, 4, 0x22}));
}

TEST(XmWriter, InstrumentHeaderEnvelopesAndSampleHeaders)
{
    XmModule song = MakeXmModule(1);
    XmSample sample = MakeXmSample16({100, -200, 300, 32767, -32768});
    SetXmLoop(sample, XM_PINGPONG_LOOP, 1, 3);
    sample.volume = 48;
    sample.finetune = -16;
    sample.panning = 200;
    sample.relativeNote = -12;
    XmInstrument instrument = MakeXmInstrument(sample, "bass");
    instrument.sampleMap[95] = 1;
    instrument.volumeEnvelope.points = {{0, 64}, {10, 32}, {20, 0}};
    instrument.volumeEnvelope.type = XM_ENVELOPE_ON | XM_ENVELOPE_SUSTAIN;
    instrument.volumeEnvelope.sustain = 1;
    instrument.panningEnvelope.points = {{0, 32}, {5, 0}};
    instrument.panningEnvelope.type = XM_ENVELOPE_ON | XM_ENVELOPE_LOOP;
    instrument.panningEnvelope.loopStart = 0;
    instrument.panningEnvelope.loopEnd = 1;
    instrument.vibratoType = 2;
    instrument.vibratoSweep = 3;
    instrument.vibratoDepth = 4;
    instrument.vibratoRate = 5;
    instrument.fadeout = 0x1234;
    EXPECT_EQ(AddXmInstrument(song, instrument), 1);
    XmLayout layout;
    const std::vector<uint8_t> bytes = SerializeXm(song, &layout);

    ASSERT_EQ(layout.instruments.size(), 1u);
    const size_t s = layout.instruments[0].header;
    EXPECT_EQ(U32At(bytes, s), 263u);
    EXPECT_EQ(std::string(bytes.begin() + s + 4, bytes.begin() + s + 8), "bass");
    EXPECT_EQ(U16At(bytes, s + 27), 1u);
    EXPECT_EQ(U32At(bytes, s + 29), 40u);
    EXPECT_EQ(bytes[s + 33], 0);
    EXPECT_EQ(bytes[s + 33 + 95], 1);
    EXPECT_EQ(U16At(bytes, s + 129 + 4), 10u);  // volume point 1: x
    EXPECT_EQ(U16At(bytes, s + 129 + 6), 32u);  //                 y
    EXPECT_EQ(U16At(bytes, s + 177), 0u);
    EXPECT_EQ(U16At(bytes, s + 179), 32u);
    const std::vector<uint8_t> tail(bytes.begin() + s + 225, bytes.begin() + s + 241);
    EXPECT_EQ(tail, (std::vector<uint8_t>{3, 2, 1, 0, 0, 0, 0, 1, 3, 5, 2, 3, 4, 5, 0x34, 0x12}));

    ASSERT_EQ(layout.instruments[0].samples.size(), 1u);
    const XmLayout::SampleSpan& span = layout.instruments[0].samples[0];
    EXPECT_EQ(span.header, s + 263);
    EXPECT_EQ(U32At(bytes, span.header), 10u);  // bytes, not frames
    EXPECT_EQ(U32At(bytes, span.header + 4), 2u);
    EXPECT_EQ(U32At(bytes, span.header + 8), 6u);
    EXPECT_EQ(bytes[span.header + 12], 48);
    EXPECT_EQ(int8_t(bytes[span.header + 13]), -16);
    EXPECT_EQ(bytes[span.header + 14], 0x12);  // ping-pong, 16-bit
    EXPECT_EQ(bytes[span.header + 15], 200);
    EXPECT_EQ(int8_t(bytes[span.header + 16]), -12);
    EXPECT_EQ(span.data, span.header + 40);
    EXPECT_EQ(span.bytes, 10u);
    EXPECT_EQ(bytes.size(), span.data + span.bytes);
}

TEST(XmWriter, SampleDataIsDeltaCoded)
{
    XmModule song = MakeXmModule(1);
    AddXmInstrument(song, MakeXmInstrument(MakeXmSample8({16, 0, 5, -128, 127})));
    AddXmInstrument(song, MakeXmInstrument(MakeXmSample16({1000, 500, -32768, 32767})));
    XmLayout layout;
    const std::vector<uint8_t> bytes = SerializeXm(song, &layout);

    const XmLayout::SampleSpan& eight = layout.instruments[0].samples[0];
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + eight.data, bytes.begin() + eight.data + 5),
              (std::vector<uint8_t>{16, 0xF0, 5, 0x7B, 0xFF}));
    EXPECT_EQ(bytes[eight.header + 14], 0);

    // Decoding with a wrapping running sum gives the frames back.
    const XmLayout::SampleSpan& sixteen = layout.instruments[1].samples[0];
    ASSERT_EQ(sixteen.bytes, 8u);
    const std::vector<int16_t> expected = {1000, 500, -32768, 32767};
    uint16_t sum = 0;
    for (size_t i = 0; i < 4; ++i) {
        sum = uint16_t(sum + U16At(bytes, sixteen.data + 2 * i));
        EXPECT_EQ(int16_t(sum), expected[i]);
    }
    EXPECT_EQ(U16At(bytes, sixteen.data + 2), uint16_t(-500));
}

TEST(XmWriter, OverridesWriteMalformedValues)
{
    XmModule song = MakeXmModule(40);
    song.bpm = 0;
    song.restart = 300;
    song.orders = {0};
    song.songLengthOverride = 400;
    XmInstrument instrument = MakeXmInstrument(MakeXmSample8({1}));
    instrument.volumeEnvelope.points = {{0, 64}, {4, 0}};
    instrument.volumeEnvelope.pointCountOverride = 30;
    AddXmInstrument(song, instrument);
    XmLayout layout;
    const std::vector<uint8_t> bytes = SerializeXm(song, &layout);
    EXPECT_EQ(U16At(bytes, 64), 400u);
    EXPECT_EQ(U16At(bytes, 66), 300u);
    EXPECT_EQ(U16At(bytes, 68), 40u);
    EXPECT_EQ(U16At(bytes, 78), 0u);
    EXPECT_EQ(bytes[layout.instruments[0].header + 225], 30);
}

TEST(XmWriter, WritesTheSameBytesToAFile)
{
    const XmModule song = TwoChannelSong();
    const std::string path = testing::TempDir() + "xmwriter_test.xm";
    ASSERT_TRUE(WriteXmFile(song, path.c_str()));
    FILE* file = std::fopen(path.c_str(), "rb");
    ASSERT_NE(file, nullptr);
    std::vector<uint8_t> read(4096);
    read.resize(std::fread(read.data(), 1, read.size(), file));
    std::fclose(file);
    std::remove(path.c_str());
    EXPECT_EQ(read, SerializeXm(song));
    EXPECT_FALSE(WriteXmFile(song, "/nonexistent-folder/x/y.xm"));
}
