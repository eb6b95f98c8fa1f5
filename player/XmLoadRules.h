#pragma once

// How the loader treats values that a well-formed XM file never holds. Every
// decision about malformed input is made here, once; the loader only reads
// bytes and calls these.

#include "Song.h"

#include <cstdint>

// Longest sample the loader accepts, in frames (512 MB of 16-bit data).
const uint32_t MAX_SAMPLE_FRAMES = uint32_t(1) << 28;

// The module header as the file holds it, before any rule is applied.
struct XmHeader {
    uint32_t headerSize;
    uint16_t songLength;
    uint16_t restartPosition;
    uint16_t channelCount;
    uint16_t patternCount;
    uint16_t instrumentCount;
    uint16_t flags;
    uint16_t tempo;
    uint16_t bpm;
    uint8_t orderTable[ORDER_TABLE_SIZE];
};

// Copies the header into the Song. False refuses the module: no channels or
// more than MAX_CHANNELS, more than MAX_PATTERNS patterns or MAX_INSTRUMENTS
// instruments, a BPM of 0 or above 32767. A song length of 0 plays the first
// order entry, one above 256 is cut to 256; a restart position beyond the song
// restarts at 0.
bool ApplyHeaderRules(Song& song, const XmHeader& header);

// Row count of a pattern read from the file. False refuses the module (more
// than MAX_ROWS rows). A pattern of 0 rows becomes 64 empty rows whose cells
// are not read (readCells false).
bool ApplyPatternRowRules(uint16_t fileRows, int32_t& rowCount, bool& readCells);

// A cell as decoded: note 97 becomes the key-off, other notes above 96 no
// note; instrument numbers above 128 no instrument.
void ApplyCellRules(NoteCell& cell);

// An instrument's header values as read (fadeout already doubled): envelopes
// keep at most the 12 points of the file and only the leading points whose
// ticks rise, values above 64 become 64, an envelope of fewer than 2 points is
// off, and a sustain or loop that names a point beyond them is switched off.
void ApplyInstrumentRules(Instrument& instrument);

// How to read a sample's data: bytes in the file and bytes to skip after them.
struct SampleDataSpan {
    uint32_t dataBytes;  // length x bits / 8
    uint32_t skipBytes;  // the odd last byte of 16-bit data
};

// Turns a sample header as read (lengths in bytes, the type byte) into the
// Sample's frame values. False refuses the module (longer than
// MAX_SAMPLE_FRAMES). A loop that starts beyond the end is dropped, one that
// reaches past the end is shortened to it; a default volume above 64 becomes 64.
bool ApplySampleRules(Sample& sample, uint8_t typeByte, SampleDataSpan& span);

// A sample whose data the file ends inside, holding bytesHeld of its
// span.dataBytes: it keeps the whole frames held, its loop cut as above, and
// the span shrinks to them.
void CutSampleData(Sample& sample, uint32_t bytesHeld, SampleDataSpan& span);
