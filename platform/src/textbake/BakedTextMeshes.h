#pragma once

// Text meshes baked ahead of time, for a build without a font engine: for each request the
// intro makes of D3DXCreateText (font, deviation, extrusion, text) the outcome the outline
// builder gives, with its glyph metrics and mesh. tools/generators/textmeshes writes them to
// Data/TextMeshes.bin.
//
// The file, little-endian throughout:
//   "SKVTXMSH", version u32 (BAKED_TEXT_VERSION), entry count u32, then per entry:
//   face name (32 bytes, zero-filled), height i32, width i32, weight i32, italic u8, charset u8,
//   two zero bytes, deviation f32, extrusion f32, text length u32 and its bytes,
//   status u8 (TextMeshStatus) and three zero bytes,
//   metrics count u32, each record 6 f32 (black box x, y, origin x, y, cell increment x, y),
//   vertex count u32, each vertex 6 f32 (position, normal),
//   index count u32 (a multiple of 3), each index u16.
#include "TextMesh.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

const uint32_t BAKED_TEXT_VERSION = 1;

struct BakedTextRequest {
    char face[LF_FACESIZE];  // zero-filled past the name
    int32_t height;
    int32_t width;
    int32_t weight;
    uint8_t italic;
    uint8_t charset;
    float deviation;
    float extrusion;
    std::string text;
};

struct BakedTextEntry {
    BakedTextRequest request;
    TextMeshStatus status;
    std::vector<GLYPHMETRICSFLOAT> metrics;
    TextMesh mesh;
};

// The request D3DXCreateText makes with this font and these arguments.
BakedTextRequest MakeBakedTextRequest(const LOGFONTA& font, const char* text, float deviation, float extrusion);

// The entry for a request: the same face (in any case), sizes, weight, italic, character set,
// text, and bit for bit the same deviation and extrusion. Null when none is baked.
const BakedTextEntry* FindBakedText(const std::vector<BakedTextEntry>& entries, const BakedTextRequest& request);

// BuildTextMesh over baked entries: what the outline builder gave for the request of this
// context's font, or NotBaked.
TextMeshStatus BuildBakedTextMesh(const std::vector<BakedTextEntry>& entries, HDC dc, const char* text, float deviation,
                                  float extrusion, TextMesh* mesh, GLYPHMETRICSFLOAT* metrics);

std::vector<uint8_t> WriteBakedTextMeshes(const std::vector<BakedTextEntry>& entries);

// False, with the reason in error, for anything but a whole, well-formed file of this
// version: a short or long file, an unknown status, an index past its mesh's vertices.
bool ReadBakedTextMeshes(const uint8_t* data, size_t size, std::vector<BakedTextEntry>* entries, std::string* error);
