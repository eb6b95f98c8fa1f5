#pragma once

// How translated shaders meet the device: vertex attributes are matched by Direct3D 9
// semantic through fixed locations, varyings by names made from their semantic, and each
// stage's global parameters live in one uniform block at a fixed binding.
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

// The GLSL names the device finds a linked program's parts by: a varying by its
// semantic ("TEXCOORD0" -> "skv_TEXCOORD0"), the uniform block of a binding, and the
// sampler of a unit ("skv_Sampler3").
std::string VaryingName(const std::string& semantic);
const char* UniformBlockName(int binding);
std::string SamplerUniformName(int unit);
