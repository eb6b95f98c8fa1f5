#pragma once

// Modules built with the XM writer that several player tests share.

#include "XmWriter.h"

#include <cstdint>
#include <vector>

// A module using a bit of everything the loader reads: three patterns (one
// empty), 8- and 16-bit samples with forward, ping-pong and no loop, an
// instrument with two samples and a note map, envelopes with sustain and loop,
// auto-vibrato, fade-out, and an instrument without samples (the second).
// The file ends with sample data, so every byte of it is needed.
XmModule MakeRichModule();

// n frames of a looping saw wave of the given period.
std::vector<int8_t> Saw8(size_t frames, int period);
std::vector<int16_t> Saw16(size_t frames, int period);

// Replaces the packed data of pattern `index` of a serialised module with
// `data` (and its packed-size field); the layout must be the one SerializeXm
// gave for bytes.
void SplicePatternData(std::vector<uint8_t>& bytes, const XmLayout& layout, size_t index,
                       const std::vector<uint8_t>& data);

void PutU16(std::vector<uint8_t>& bytes, size_t at, uint32_t value);
void PutU32(std::vector<uint8_t>& bytes, size_t at, uint32_t value);
