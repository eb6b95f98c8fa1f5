#pragma once

// Builds FastTracker 2 modules in memory and writes them as real XM files:
// packed patterns, delta-coded 8- or 16-bit samples, instruments with
// envelopes and auto-vibrato. Used by the player's tests and by the tools that
// compose music in code.
//
//     XmModule song = MakeXmModule(4);                 // four channels
//     song.tempo = 6;
//     song.bpm = 125;
//     int lead = AddXmInstrument(song, MakeXmInstrument(MakeXmSample8(wave), "lead"));
//     XmPattern& intro = AddXmPattern(song, 64);
//     intro.At(0, 0) = XmCell{XmNote("C-4"), uint8_t(lead), 0x40, XmEffect('A'), 0x0F};
//     song.orders = {0, 0};
//     std::vector<uint8_t> bytes = SerializeXm(song);
//
// The writer writes the records as they stand: values a real tracker would
// never produce (a BPM of 0, 40 channels, a restart beyond the song) are
// written unchanged, so tests can build malformed modules too.

#include <cstdint>
#include <string>
#include <vector>

// Note byte of a key-off as the file stores it.
const uint8_t XM_KEY_OFF = 97;

// Type-byte loop kinds of a sample.
enum XmLoopKind : uint8_t { XM_NO_LOOP = 0, XM_FORWARD_LOOP = 1, XM_PINGPONG_LOOP = 2 };

// Envelope type bits.
const uint8_t XM_ENVELOPE_ON = 1;
const uint8_t XM_ENVELOPE_SUSTAIN = 2;
const uint8_t XM_ENVELOPE_LOOP = 4;

struct XmCell {
    uint8_t note = 0;        // 0 none, 1..96 C-0..B-7, 97 key-off
    uint8_t instrument = 0;  // 0 none, 1..128
    uint8_t volume = 0;      // volume-column byte
    uint8_t effect = 0;      // 0..35: 0-9, then A = 10 .. Z = 35
    uint8_t param = 0;
};

struct XmPattern {
    int rows = 64;
    int channels = 0;
    std::vector<XmCell> cells;  // rows x channels, row-major

    XmCell& At(int row, int channel);
    const XmCell& At(int row, int channel) const;
};

struct XmEnvelopePoint {
    uint16_t x = 0;  // tick
    uint16_t y = 0;  // 0..64
};

struct XmEnvelope {
    std::vector<XmEnvelopePoint> points;  // at most 12 are written
    uint8_t type = 0;                     // XM_ENVELOPE_* bits
    uint8_t sustain = 0;
    uint8_t loopStart = 0;
    uint8_t loopEnd = 0;
    // When >= 0, written as the point count instead of the number of points.
    int pointCountOverride = -1;
};

struct XmSample {
    std::string name;
    bool sixteenBit = false;
    std::vector<int8_t> data8;    // used when !sixteenBit
    std::vector<int16_t> data16;  // used when sixteenBit
    uint8_t loopKind = XM_NO_LOOP;
    uint32_t loopStart = 0;   // in frames
    uint32_t loopLength = 0;  // in frames
    uint8_t volume = 64;
    int8_t finetune = 0;
    uint8_t panning = 128;
    int8_t relativeNote = 0;

    uint32_t Frames() const;
};

struct XmInstrument {
    std::string name;
    std::vector<XmSample> samples;
    uint8_t sampleMap[96] = {};  // sample index for every note
    XmEnvelope volumeEnvelope;
    XmEnvelope panningEnvelope;
    uint8_t vibratoType = 0;
    uint8_t vibratoSweep = 0;
    uint8_t vibratoDepth = 0;
    uint8_t vibratoRate = 0;
    uint16_t fadeout = 0;  // as the file stores it
};

struct XmModule {
    std::string name;
    std::string tracker = "Skelvane xmwriter";
    int channels = 4;
    bool linearFrequencies = true;
    int tempo = 6;  // ticks per row
    int bpm = 125;
    int restart = 0;
    std::vector<uint8_t> orders;  // the song: one pattern number per position
    // When >= 0, written as the song length instead of orders.size().
    int songLengthOverride = -1;
    std::vector<XmPattern> patterns;
    std::vector<XmInstrument> instruments;
    // false writes every cell as five plain bytes instead of packing it.
    bool packCells = true;
};

// Where the parts of a serialised module lie in the file, for tests that
// patch single fields.
struct XmLayout {
    struct SampleSpan {
        size_t header = 0;  // the 40-byte sample header
        size_t data = 0;    // the delta-coded data
        size_t bytes = 0;   // data length in bytes
    };
    struct InstrumentSpan {
        size_t header = 0;  // the instrument header (its size field)
        std::vector<SampleSpan> samples;
    };
    size_t patternsStart = 0;
    std::vector<size_t> patterns;  // each pattern's 9-byte header
    std::vector<InstrumentSpan> instruments;
};

// Note number of a name such as "C-4", "C#4" or "B-7" (octaves 0..7); 0 for
// anything else.
uint8_t XmNote(const char* name);
// Effect type of an effect letter or digit: '0'..'9', 'A'..'Z'.
uint8_t XmEffect(char letter);

// A module of the given channel count with the other fields at their defaults.
XmModule MakeXmModule(int channels);
// A sample from 8-bit or 16-bit frames.
XmSample MakeXmSample8(const std::vector<int8_t>& frames);
XmSample MakeXmSample16(const std::vector<int16_t>& frames);
// Marks the sample looped over [start, start + length) frames.
XmSample& SetXmLoop(XmSample& sample, uint8_t kind, uint32_t start, uint32_t length);
// An instrument playing one sample on every note.
XmInstrument MakeXmInstrument(const XmSample& sample, const std::string& name = "");

// Appends an empty pattern of the module's channel count; returns it.
XmPattern& AddXmPattern(XmModule& module, int rows);
// Appends an instrument; returns its number as cells use it (1-based).
int AddXmInstrument(XmModule& module, const XmInstrument& instrument);

// The module as the bytes of an XM file (version 0x0104).
std::vector<uint8_t> SerializeXm(const XmModule& module, XmLayout* layout = nullptr);
// Writes SerializeXm's bytes to a file; false when it cannot be written.
bool WriteXmFile(const XmModule& module, const char* path);
