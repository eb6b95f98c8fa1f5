#include "TestModules.h"

std::vector<int8_t> Saw8(size_t frames, int period)
{
    std::vector<int8_t> data(frames);
    for (size_t i = 0; i < frames; ++i)
        data[i] = int8_t(-100 + int(i % size_t(period)) * 200 / period);
    return data;
}

std::vector<int16_t> Saw16(size_t frames, int period)
{
    std::vector<int16_t> data(frames);
    for (size_t i = 0; i < frames; ++i)
        data[i] = int16_t(-20000 + int(i % size_t(period)) * 40000 / period);
    return data;
}

XmModule MakeRichModule()
{
    XmModule song = MakeXmModule(4);
    song.name = "rich";
    song.tempo = 3;
    song.bpm = 150;

    XmSample lead = MakeXmSample8(Saw8(300, 50));
    SetXmLoop(lead, XM_FORWARD_LOOP, 100, 150);
    lead.finetune = -20;
    lead.relativeNote = 3;
    XmSample pad = MakeXmSample16(Saw16(400, 80));
    SetXmLoop(pad, XM_PINGPONG_LOOP, 40, 200);
    pad.volume = 40;
    pad.panning = 60;
    XmSample hit = MakeXmSample16(Saw16(120, 30));
    hit.volume = 64;

    XmInstrument first = MakeXmInstrument(lead, "lead");
    first.samples.push_back(hit);
    for (int n = 48; n < 96; ++n)
        first.sampleMap[n] = 1;
    first.volumeEnvelope.points = {{0, 64}, {8, 40}, {20, 20}, {40, 0}};
    first.volumeEnvelope.type = XM_ENVELOPE_ON | XM_ENVELOPE_SUSTAIN;
    first.volumeEnvelope.sustain = 1;
    first.panningEnvelope.points = {{0, 32}, {10, 64}, {20, 0}};
    first.panningEnvelope.type = XM_ENVELOPE_ON | XM_ENVELOPE_LOOP;
    first.panningEnvelope.loopStart = 0;
    first.panningEnvelope.loopEnd = 2;
    first.fadeout = 300;
    first.vibratoType = 1;
    first.vibratoSweep = 4;
    first.vibratoDepth = 6;
    first.vibratoRate = 20;
    AddXmInstrument(song, first);

    XmInstrument empty;
    empty.name = "empty";
    AddXmInstrument(song, empty);
    XmInstrument third = MakeXmInstrument(pad, "pad");
    third.fadeout = 1000;
    AddXmInstrument(song, third);

    XmPattern& intro = AddXmPattern(song, 16);
    intro.At(0, 0) = XmCell{XmNote("C-4"), 1, 0, 0, 0};
    intro.At(0, 1) = XmCell{XmNote("E-3"), 3, 0x30, XmEffect('4'), 0x46};
    intro.At(2, 2) = XmCell{XmNote("G-5"), 1, 0, XmEffect('0'), 0x37};
    intro.At(4, 0) = XmCell{XM_KEY_OFF, 0, 0, 0, 0};
    intro.At(6, 3) = XmCell{XmNote("C-2"), 2, 0, XmEffect('A'), 0x0F};
    intro.At(8, 1) = XmCell{XmNote("D-4"), 0, 0xF5, XmEffect('3'), 0x20};
    intro.At(10, 2) = XmCell{0, 0, 0x65, XmEffect('7'), 0x48};
    intro.At(12, 0) = XmCell{XmNote("A-4"), 1, 0xC3, XmEffect('E'), 0x92};
    intro.At(15, 3) = XmCell{0, 0, 0, XmEffect('D'), 0x00};
    XmPattern& body = AddXmPattern(song, 8);
    body.At(0, 0) = XmCell{XmNote("F-4"), 3, 0, XmEffect('9'), 0x01};
    body.At(1, 1) = XmCell{XmNote("B-6"), 1, 0x90, XmEffect('R'), 0x32};
    body.At(3, 2) = XmCell{XmNote("C-1"), 3, 0, XmEffect('T'), 0x21};
    body.At(5, 3) = XmCell{XmNote("D#3"), 1, 0, XmEffect('E'), 0xD2};
    body.At(7, 0) = XmCell{0, 0, 0, XmEffect('B'), 0x00};
    AddXmPattern(song, 32);  // empty
    song.orders = {0, 1, 2, 1};
    return song;
}

void PutU16(std::vector<uint8_t>& bytes, size_t at, uint32_t value)
{
    bytes[at] = uint8_t(value);
    bytes[at + 1] = uint8_t(value >> 8);
}

void PutU32(std::vector<uint8_t>& bytes, size_t at, uint32_t value)
{
    PutU16(bytes, at, value);
    PutU16(bytes, at + 2, value >> 16);
}

void SplicePatternData(std::vector<uint8_t>& bytes, const XmLayout& layout, size_t index,
                       const std::vector<uint8_t>& data)
{
    const size_t header = layout.patterns[index];
    const size_t oldSize = size_t(bytes[header + 7]) | size_t(bytes[header + 8]) << 8;
    const size_t start = header + 9;
    bytes.erase(bytes.begin() + start, bytes.begin() + start + oldSize);
    bytes.insert(bytes.begin() + start, data.begin(), data.end());
    PutU16(bytes, header + 7, uint32_t(data.size()));
}
