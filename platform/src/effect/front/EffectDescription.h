#pragma once

// What the effect front-end reads from Direct3D 9 effect source: the parameters with
// their defaults, the samplers with their sampler_state, the techniques with their passes
// and render states, and the annotations of each.
#include <d3d9types.h>

#include <string>
#include <vector>

enum class EffectValueType { Float, Int, Bool, String, Texture, Sampler };

struct EffectAnnotation {
    std::string name;
    EffectValueType type = EffectValueType::Float;
    std::vector<float> values;  // numeric annotations; bool as 0 or 1
    std::string text;           // string annotations
};

struct EffectParameter {
    std::string name;
    std::string semantic;
    EffectValueType type = EffectValueType::Float;
    int rows = 1;                 // 1 for scalars and vectors
    int columns = 1;              // components of a vector; columns of a matrix
    int elements = 0;             // array length; 0 when not an array
    std::vector<float> defaults;  // rows x columns x max(1, elements) values, row by row
    std::vector<EffectAnnotation> annotations;

    int ValueCount() const { return rows * columns * (elements > 0 ? elements : 1); }
};

struct EffectSamplerState {
    D3DSAMPLERSTATETYPE type;
    DWORD value;
};

struct EffectSampler {
    std::string name;
    std::string texture;  // name of the texture parameter; empty when not given
    std::vector<EffectSamplerState> states;
};

struct EffectRenderState {
    D3DRENDERSTATETYPE type;
    DWORD value;
};

// One shader assignment of a pass.
struct EffectShader {
    bool assigned = false;  // the pass sets this shader (to a program or to NULL)
    std::string profile;    // empty for NULL
    std::string entry;
    std::vector<std::string> arguments;  // uniform arguments of compile, as source text

    bool IsNull() const { return assigned && entry.empty(); }
};

struct EffectPass {
    std::string name;
    int line = 0;
    std::vector<EffectAnnotation> annotations;
    std::vector<EffectRenderState> renderStates;
    EffectShader vertexShader;
    EffectShader pixelShader;
};

struct EffectTechnique {
    std::string name;
    std::vector<EffectAnnotation> annotations;
    std::vector<EffectPass> passes;
};

struct EffectDescription {
    std::vector<EffectParameter> parameters;  // numeric, string and texture parameters
    std::vector<EffectSampler> samplers;
    std::vector<EffectTechnique> techniques;
    // The source with the effect-only constructs taken out, line for line, ready for the
    // HLSL compiler: techniques, textures, strings, annotations and parameter defaults
    // removed; sampler_state declarations reduced to plain sampler declarations.
    std::string shaderSource;
};
