#pragma once

// The extruded mesh of a string, as D3DXCreateText builds it: glyphs laid side by side by
// their cell increments from x = 0 along the baseline (y up); the front cap at z = 0 facing
// +z, the back cap at z = -extrusion facing -z, the side walls between them facing outward.
// Triangles face the side their normals point to when seen turning clockwise in Direct3D's
// left-handed view (so cross(v1 - v0, v2 - v0) points outward). Per glyph: its side walls,
// then its front cap, then its back cap.
#include <windows.h>

#include <cstdint>
#include <vector>

struct TextVertex {
    float position[3];
    float normal[3];
};

struct TextMesh {
    std::vector<TextVertex> vertices;
    std::vector<uint32_t> indices;  // three per triangle
};

enum class TextMeshStatus {
    Ok,
    InvalidArguments,  // no text or context, an empty text, a negative or non-finite size
    NoOutlineFont,     // the context holds no font with outlines
    NoGlyphs,          // a glyph would not load
    NothingToDraw,     // the text has no outlines at all (only spaces, say)
    NotBaked,          // a build without a font engine has no baked mesh for the request
};

// The mesh of a string in the font selected into a context, with one metrics record per
// character when metrics is not null. The Linux build makes it from the font's outlines
// (TextMeshBuilder); a build without a font engine takes it from the baked meshes (textbake).
// Exactly one of the two is linked.
TextMeshStatus BuildTextMesh(HDC dc, const char* text, float deviation, float extrusion, TextMesh* mesh,
                             GLYPHMETRICSFLOAT* metrics);
