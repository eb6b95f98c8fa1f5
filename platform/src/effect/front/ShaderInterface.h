#pragma once

// How translated shaders meet the device: vertex attributes and varyings are matched by
// Direct3D 9 semantic through fixed locations, and each stage's global parameters live in
// one uniform block at a fixed binding.
#include <string>

const int VERTEX_UNIFORM_BINDING = 0;
const int PIXEL_UNIFORM_BINDING = 1;
const int MAX_SAMPLER_UNITS = 16;
const int MAX_VERTEX_ATTRIBUTES = 16;
const int MAX_VARYINGS = 12;

// Location of a vertex attribute of declaration usage and usage index, or -1 when the
// layer does not take that usage. POSITIONT shares the location of POSITION0.
int AttributeLocation(int usage, int usageIndex);

// Splits a semantic into its upper-case name and index: "TEXCOORD3" -> ("TEXCOORD", 3),
// "color" -> ("COLOR", 0).
void SplitSemantic(const std::string& semantic, std::string& name, int& index);

// Location of a varying (vertex output, pixel input) of a semantic, or -1.
int VaryingLocation(const std::string& semantic);
