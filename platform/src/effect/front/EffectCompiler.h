#pragma once

// Effect source to everything the device needs, without touching the device: the parsed
// description and the translated shaders of every pass.
#include "EffectDescription.h"
#include "ShaderTranslator.h"

#include <string>
#include <vector>

struct CompiledPassShaders {
    int vertexShader = -1;  // index into CompiledEffectSource::shaders; -1 when none
    int pixelShader = -1;
};

struct CompiledEffectSource {
    EffectDescription description;
    std::vector<TranslatedShader> shaders;  // one per distinct entry point and stage
    std::vector<ShaderStage> shaderStages;
    std::vector<std::vector<CompiledPassShaders>> passes;  // [technique][pass]
};

// False, with the messages of the front-end or the compiler, when the effect does not compile.
bool CompileEffectSource(const std::string& source, const std::vector<ShaderMacro>& macros, CompiledEffectSource& out,
                         std::string& messages);
