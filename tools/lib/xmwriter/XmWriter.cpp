#include "XmWriter.h"

#include <cstdio>
#include <cstring>

namespace {

const char XM_ID[] = "Extended Module: ";
const uint32_t MODULE_HEADER_SIZE = 276;  // counted from offset 60
const uint32_t PATTERN_HEADER_SIZE = 9;
const uint32_t INSTRUMENT_HEADER_SIZE = 263;
const uint32_t SAMPLE_HEADER_SIZE = 40;
const int ENVELOPE_POINTS = 12;

struct ByteSink {
    std::vector<uint8_t>& bytes;

    void U8(uint32_t value) { bytes.push_back(uint8_t(value)); }
    void U16(uint32_t value)
    {
        U8(value);
        U8(value >> 8);
    }
    void U32(uint32_t value)
    {
        U16(value);
        U16(value >> 16);
    }
    // A fixed-size text field, padded with padding bytes.
    void Text(const std::string& text, size_t size, uint8_t padding)
    {
        for (size_t i = 0; i < size; ++i)
            U8(i < text.size() ? uint8_t(text[i]) : padding);
    }
    void Zeros(size_t count) { bytes.insert(bytes.end(), count, 0); }
    void PatchU16(size_t at, uint32_t value)
    {
        bytes[at] = uint8_t(value);
        bytes[at + 1] = uint8_t(value >> 8);
    }
};

void WriteCell(ByteSink& out, const XmCell& cell, bool pack)
{
    if (!pack) {
        out.U8(cell.note);
        out.U8(cell.instrument);
        out.U8(cell.volume);
        out.U8(cell.effect);
        out.U8(cell.param);
        return;
    }
    const uint8_t fields[5] = {cell.note, cell.instrument, cell.volume, cell.effect, cell.param};
    uint8_t mask = 0x80;
    for (int i = 0; i < 5; ++i)
        if (fields[i] != 0)
            mask |= uint8_t(1 << i);
    // A cell with every field present (and a note that cannot be mistaken
    // for a mask) is shorter unpacked.
    if (mask == 0x9F && cell.note < 0x80) {
        for (uint8_t field : fields)
            out.U8(field);
        return;
    }
    out.U8(mask);
    for (int i = 0; i < 5; ++i)
        if (mask & (1 << i))
            out.U8(fields[i]);
}

bool IsEmpty(const XmPattern& pattern)
{
    for (const XmCell& cell : pattern.cells)
        if (cell.note || cell.instrument || cell.volume || cell.effect || cell.param)
            return false;
    return true;
}

void WritePattern(ByteSink& out, const XmPattern& pattern, int channels, bool pack)
{
    out.U32(PATTERN_HEADER_SIZE);
    out.U8(0);  // packing type
    out.U16(uint32_t(pattern.rows));
    const size_t sizeField = out.bytes.size();
    out.U16(0);
    // Entirely empty patterns are stored without data, as trackers do.
    if (IsEmpty(pattern) && pack)
        return;
    const size_t dataStart = out.bytes.size();
    static const XmCell EMPTY_CELL;
    for (int row = 0; row < pattern.rows; ++row)
        for (int channel = 0; channel < channels; ++channel) {
            const bool inside = channel < pattern.channels &&
                                size_t(row) * pattern.channels + channel < pattern.cells.size();
            WriteCell(out, inside ? pattern.At(row, channel) : EMPTY_CELL, pack);
        }
    out.PatchU16(sizeField, uint32_t(out.bytes.size() - dataStart));
}

void WriteEnvelopePoints(ByteSink& out, const XmEnvelope& envelope)
{
    for (int i = 0; i < ENVELOPE_POINTS; ++i) {
        const XmEnvelopePoint point = size_t(i) < envelope.points.size() ? envelope.points[i] : XmEnvelopePoint{};
        out.U16(point.x);
        out.U16(point.y);
    }
}

uint8_t PointCount(const XmEnvelope& envelope)
{
    if (envelope.pointCountOverride >= 0)
        return uint8_t(envelope.pointCountOverride);
    return uint8_t(envelope.points.size() < ENVELOPE_POINTS ? envelope.points.size() : ENVELOPE_POINTS);
}

void WriteSampleHeader(ByteSink& out, const XmSample& sample)
{
    const uint32_t bytesPerFrame = sample.sixteenBit ? 2 : 1;
    out.U32(sample.Frames() * bytesPerFrame);
    out.U32(sample.loopStart * bytesPerFrame);
    out.U32(sample.loopLength * bytesPerFrame);
    out.U8(sample.volume);
    out.U8(uint8_t(sample.finetune));
    out.U8(uint8_t((sample.loopKind & 3) | (sample.sixteenBit ? 0x10 : 0)));
    out.U8(sample.panning);
    out.U8(uint8_t(sample.relativeNote));
    out.U8(0);  // reserved
    out.Text(sample.name, 22, 0);
}

// Each stored value is the difference from the previous one, the first from 0.
void WriteSampleData(ByteSink& out, const XmSample& sample)
{
    if (sample.sixteenBit) {
        int16_t previous = 0;
        for (int16_t value : sample.data16) {
            out.U16(uint16_t(value - previous));
            previous = value;
        }
    } else {
        int8_t previous = 0;
        for (int8_t value : sample.data8) {
            out.U8(uint8_t(value - previous));
            previous = value;
        }
    }
}

// The points an envelope holds at and loops between.
void WriteEnvelopeMarks(ByteSink& out, const XmEnvelope& envelope)
{
    out.U8(envelope.sustain);
    out.U8(envelope.loopStart);
    out.U8(envelope.loopEnd);
}

void WriteInstrument(ByteSink& out, const XmInstrument& instrument, XmLayout::InstrumentSpan* span)
{
    const size_t start = out.bytes.size();
    if (span)
        span->header = start;
    out.U32(INSTRUMENT_HEADER_SIZE);
    out.Text(instrument.name, 22, 0);
    out.U8(0);  // instrument type
    out.U16(uint32_t(instrument.samples.size()));
    out.U32(SAMPLE_HEADER_SIZE);
    for (uint8_t entry : instrument.sampleMap)
        out.U8(entry);
    WriteEnvelopePoints(out, instrument.volumeEnvelope);
    WriteEnvelopePoints(out, instrument.panningEnvelope);
    const XmEnvelope& vol = instrument.volumeEnvelope;
    const XmEnvelope& pan = instrument.panningEnvelope;
    out.U8(PointCount(vol));
    out.U8(PointCount(pan));
    WriteEnvelopeMarks(out, vol);
    WriteEnvelopeMarks(out, pan);
    out.U8(vol.type);
    out.U8(pan.type);
    out.U8(instrument.vibratoType);
    out.U8(instrument.vibratoSweep);
    out.U8(instrument.vibratoDepth);
    out.U8(instrument.vibratoRate);
    out.U16(instrument.fadeout);
    out.Zeros(start + INSTRUMENT_HEADER_SIZE - out.bytes.size());  // reserved

    for (const XmSample& sample : instrument.samples) {
        if (span) {
            span->samples.emplace_back();
            span->samples.back().header = out.bytes.size();
        }
        WriteSampleHeader(out, sample);
    }
    for (size_t i = 0; i < instrument.samples.size(); ++i) {
        const size_t dataStart = out.bytes.size();
        WriteSampleData(out, instrument.samples[i]);
        if (span) {
            span->samples[i].data = dataStart;
            span->samples[i].bytes = out.bytes.size() - dataStart;
        }
    }
}

}  // namespace

XmCell& XmPattern::At(int row, int channel)
{
    return cells[size_t(row) * channels + channel];
}

const XmCell& XmPattern::At(int row, int channel) const
{
    return cells[size_t(row) * channels + channel];
}

uint32_t XmSample::Frames() const
{
    return uint32_t(sixteenBit ? data16.size() : data8.size());
}

uint8_t XmNote(const char* name)
{
    if (!name || std::strlen(name) != 3)
        return 0;
    static const char LETTERS[] = "C-C#D-D#E-F-F#G-G#A-A#B-";
    int semitone = -1;
    for (int i = 0; i < 12; ++i)
        if (LETTERS[2 * i] == name[0] && LETTERS[2 * i + 1] == name[1])
            semitone = i;
    const int octave = name[2] - '0';
    if (semitone < 0 || octave < 0 || octave > 7)
        return 0;
    return uint8_t(octave * 12 + semitone + 1);
}

uint8_t XmEffect(char letter)
{
    if (letter >= '0' && letter <= '9')
        return uint8_t(letter - '0');
    if (letter >= 'A' && letter <= 'Z')
        return uint8_t(letter - 'A' + 10);
    if (letter >= 'a' && letter <= 'z')
        return uint8_t(letter - 'a' + 10);
    return 0;
}

XmModule MakeXmModule(int channels)
{
    XmModule module;
    module.channels = channels;
    return module;
}

XmSample MakeXmSample8(const std::vector<int8_t>& frames)
{
    XmSample sample;
    sample.data8 = frames;
    return sample;
}

XmSample MakeXmSample16(const std::vector<int16_t>& frames)
{
    XmSample sample;
    sample.sixteenBit = true;
    sample.data16 = frames;
    return sample;
}

XmSample& SetXmLoop(XmSample& sample, uint8_t kind, uint32_t start, uint32_t length)
{
    sample.loopKind = kind;
    sample.loopStart = start;
    sample.loopLength = length;
    return sample;
}

XmInstrument MakeXmInstrument(const XmSample& sample, const std::string& name)
{
    XmInstrument instrument;
    instrument.name = name;
    instrument.samples.push_back(sample);
    return instrument;
}

XmPattern& AddXmPattern(XmModule& module, int rows)
{
    XmPattern pattern;
    pattern.rows = rows;
    pattern.channels = module.channels;
    pattern.cells.resize(size_t(rows > 0 ? rows : 0) * size_t(module.channels > 0 ? module.channels : 0));
    module.patterns.push_back(pattern);
    return module.patterns.back();
}

int AddXmInstrument(XmModule& module, const XmInstrument& instrument)
{
    module.instruments.push_back(instrument);
    return int(module.instruments.size());
}

std::vector<uint8_t> SerializeXm(const XmModule& module, XmLayout* layout)
{
    std::vector<uint8_t> bytes;
    ByteSink out{bytes};
    if (layout)
        *layout = XmLayout();

    out.Text(XM_ID, 17, 0);
    out.Text(module.name, 20, ' ');
    out.U8(0x1A);
    out.Text(module.tracker, 20, ' ');
    out.U16(0x0104);
    out.U32(MODULE_HEADER_SIZE);
    const int songLength = module.songLengthOverride >= 0 ? module.songLengthOverride : int(module.orders.size());
    out.U16(uint32_t(songLength));
    out.U16(uint32_t(module.restart));
    out.U16(uint32_t(module.channels));
    out.U16(uint32_t(module.patterns.size()));
    out.U16(uint32_t(module.instruments.size()));
    out.U16(module.linearFrequencies ? 1 : 0);
    out.U16(uint32_t(module.tempo));
    out.U16(uint32_t(module.bpm));
    for (size_t i = 0; i < 256; ++i)
        out.U8(i < module.orders.size() ? module.orders[i] : 0);

    if (layout)
        layout->patternsStart = bytes.size();
    for (const XmPattern& pattern : module.patterns) {
        if (layout)
            layout->patterns.push_back(bytes.size());
        WritePattern(out, pattern, module.channels, module.packCells);
    }
    for (const XmInstrument& instrument : module.instruments) {
        XmLayout::InstrumentSpan* span = nullptr;
        if (layout) {
            layout->instruments.emplace_back();
            span = &layout->instruments.back();
        }
        WriteInstrument(out, instrument, span);
    }
    return bytes;
}

bool WriteXmFile(const XmModule& module, const char* path)
{
    const std::vector<uint8_t> bytes = SerializeXm(module);
    FILE* file = std::fopen(path, "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}
