#pragma once

#include <cstdint>
#include <string>
#include <vector>

// An independent reader of XM files for checking the shipped module's
// structure: every field as the file stores it, the patterns unpacked.
struct XmFileCell {
    uint8_t note = 0, instrument = 0, volume = 0, effect = 0, param = 0;
};

struct XmFilePattern {
    int rows = 0;
    std::vector<XmFileCell> cells;  // rows x channels
};

struct XmFileEnvelope {
    int pointCount = 0;
    uint16_t x[12] = {}, y[12] = {};
    uint8_t sustain = 0, loopStart = 0, loopEnd = 0, type = 0;
};

struct XmFileSample {
    uint32_t lengthBytes = 0, loopStartBytes = 0, loopLengthBytes = 0;
    uint8_t volume = 0, type = 0, panning = 0;
    int8_t finetune = 0, relativeNote = 0;
    bool sixteenBit() const { return (type & 0x10) != 0; }
    int loopKind() const { return type & 3; }  // 0 none, 1 forward, 2 ping-pong
};

struct XmFileInstrument {
    int sampleCount = 0;
    XmFileEnvelope volume, panning;
    uint8_t vibratoType = 0, vibratoSweep = 0, vibratoDepth = 0, vibratoRate = 0;
    uint16_t fadeout = 0;
    std::vector<XmFileSample> samples;
};

struct XmFile {
    std::string id;
    uint16_t version = 0;
    uint32_t headerSize = 0;
    uint16_t songLength = 0, restart = 0, channels = 0, patternCount = 0, instrumentCount = 0;
    uint16_t flags = 0, tempo = 0, bpm = 0;
    uint8_t orders[256] = {};
    std::vector<XmFilePattern> patterns;
    std::vector<XmFileInstrument> instruments;
    size_t endOfData = 0;  // where the last sample's data ends
};

// False when the bytes end before the structures they announce.
bool ReadXmFile(const std::vector<uint8_t>& bytes, XmFile& xm);
