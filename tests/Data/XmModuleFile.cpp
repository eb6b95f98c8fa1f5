#include "XmModuleFile.h"

namespace {

struct Reader {
    const std::vector<uint8_t>& bytes;
    size_t at = 0;
    bool ok = true;

    uint8_t U8()
    {
        if (at + 1 > bytes.size()) {
            ok = false;
            return 0;
        }
        return bytes[at++];
    }
    uint16_t U16()
    {
        const uint16_t lo = U8();
        return uint16_t(lo | U8() << 8);
    }
    uint32_t U32()
    {
        const uint32_t lo = U16();
        return lo | uint32_t(U16()) << 16;
    }
    void Skip(size_t n)
    {
        if (at + n > bytes.size())
            ok = false;
        at += n;
    }
};

}  // namespace

bool ReadXmFile(const std::vector<uint8_t>& bytes, XmFile& xm)
{
    Reader r{bytes};
    if (bytes.size() < 80)
        return false;
    xm.id.assign(bytes.begin(), bytes.begin() + 17);
    r.at = 58;
    xm.version = r.U16();
    xm.headerSize = r.U32();
    xm.songLength = r.U16();
    xm.restart = r.U16();
    xm.channels = r.U16();
    xm.patternCount = r.U16();
    xm.instrumentCount = r.U16();
    xm.flags = r.U16();
    xm.tempo = r.U16();
    xm.bpm = r.U16();
    for (int i = 0; i < 256; ++i)
        xm.orders[i] = r.U8();
    r.at = 60 + xm.headerSize;

    for (int p = 0; p < xm.patternCount && r.ok; ++p) {
        const size_t start = r.at;
        const uint32_t headerLength = r.U32();
        r.U8();  // packing type
        XmFilePattern pattern;
        pattern.rows = r.U16();
        const uint16_t packedSize = r.U16();
        r.at = start + headerLength;
        pattern.cells.resize(size_t(pattern.rows) * xm.channels);
        const size_t end = r.at + packedSize;
        for (size_t c = 0; packedSize && c < pattern.cells.size() && r.ok; ++c) {
            XmFileCell& cell = pattern.cells[c];
            const uint8_t first = r.U8();
            if (first & 0x80) {
                if (first & 1)
                    cell.note = r.U8();
                if (first & 2)
                    cell.instrument = r.U8();
                if (first & 4)
                    cell.volume = r.U8();
                if (first & 8)
                    cell.effect = r.U8();
                if (first & 16)
                    cell.param = r.U8();
            } else {
                cell.note = first;
                cell.instrument = r.U8();
                cell.volume = r.U8();
                cell.effect = r.U8();
                cell.param = r.U8();
            }
        }
        if (r.at != end)
            return false;  // the cells do not fill the packed size exactly
        xm.patterns.push_back(pattern);
    }

    for (int i = 0; i < xm.instrumentCount && r.ok; ++i) {
        const size_t start = r.at;
        const uint32_t size = r.U32();
        r.Skip(23);
        XmFileInstrument instrument;
        instrument.sampleCount = r.U16();
        if (instrument.sampleCount > 0) {
            r.U32();  // sample header size
            r.Skip(96);
            for (int k = 0; k < 12; ++k) {
                instrument.volume.x[k] = r.U16();
                instrument.volume.y[k] = r.U16();
            }
            for (int k = 0; k < 12; ++k) {
                instrument.panning.x[k] = r.U16();
                instrument.panning.y[k] = r.U16();
            }
            instrument.volume.pointCount = r.U8();
            instrument.panning.pointCount = r.U8();
            instrument.volume.sustain = r.U8();
            instrument.volume.loopStart = r.U8();
            instrument.volume.loopEnd = r.U8();
            instrument.panning.sustain = r.U8();
            instrument.panning.loopStart = r.U8();
            instrument.panning.loopEnd = r.U8();
            instrument.volume.type = r.U8();
            instrument.panning.type = r.U8();
            instrument.vibratoType = r.U8();
            instrument.vibratoSweep = r.U8();
            instrument.vibratoDepth = r.U8();
            instrument.vibratoRate = r.U8();
            instrument.fadeout = r.U16();
        }
        r.at = start + size;
        for (int s = 0; s < instrument.sampleCount && r.ok; ++s) {
            XmFileSample sample;
            sample.lengthBytes = r.U32();
            sample.loopStartBytes = r.U32();
            sample.loopLengthBytes = r.U32();
            sample.volume = r.U8();
            sample.finetune = int8_t(r.U8());
            sample.type = r.U8();
            sample.panning = r.U8();
            sample.relativeNote = int8_t(r.U8());
            r.Skip(23);
            instrument.samples.push_back(sample);
        }
        for (const XmFileSample& sample : instrument.samples)
            r.Skip(sample.lengthBytes);
        xm.instruments.push_back(instrument);
    }
    xm.endOfData = r.at;
    return r.ok;
}
