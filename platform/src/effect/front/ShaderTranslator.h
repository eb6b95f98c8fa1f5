#pragma once

// HLSL (Direct3D 9 style, shader model 2 and 3) to GLSL ES 3.00 through glslang and
// SPIRV-Cross, with what the device needs to feed the result: the layout of the stage's
// uniform block and its samplers, attributes placed by semantic and varyings named by it
// (GLSL ES 3.00 links the stages' varyings by name).
#include <cstdint>
#include <string>
#include <vector>

enum class ShaderStage { Vertex, Pixel };

enum class UniformBaseType { Float, Int, UInt, Bool };

// One global parameter in the stage's uniform block. Rows and columns are the HLSL type's
// (1 x n for a vector). Element (r, c) of array element a lies at
// offset + a * arrayStride + (columnsContiguous ? c * matrixStride + r * 4 : r * matrixStride + c * 4).
struct UniformMember {
    std::string name;
    uint32_t offset = 0;
    UniformBaseType baseType = UniformBaseType::Float;
    int rows = 1;
    int columns = 1;
    uint32_t matrixStride = 0;
    bool columnsContiguous = false;
    int elements = 0;  // 0 when not an array
    uint32_t arrayStride = 0;
};

struct UniformBlockLayout {
    uint32_t size = 0;  // 0 when the stage reads no parameter
    std::vector<UniformMember> members;
};

struct ShaderSampler {
    std::string name;
    int unit = 0;
};

struct ShaderVarying {
    std::string semantic;  // upper case with index, e.g. TEXCOORD0
    int location = 0;
    int components = 4;
};

struct TranslatedShader {
    std::string glsl;
    UniformBlockLayout uniforms;
    std::vector<ShaderSampler> samplers;
    std::vector<ShaderVarying> inputs;   // vertex: attributes; pixel: varyings
    std::vector<ShaderVarying> outputs;  // vertex: varyings (not the position)
};

struct ShaderMacro {
    std::string name;
    std::string definition;
};

// Translates one entry point of the source. Samplers get units in the order of
// samplerOrder (names not listed follow). False, with the compiler's messages, when the
// source does not compile for that stage.
bool TranslateShader(const std::string& source, const std::string& entry, ShaderStage stage,
                     const std::vector<ShaderMacro>& macros, const std::vector<std::string>& samplerOrder,
                     TranslatedShader& out, std::string& messages);
