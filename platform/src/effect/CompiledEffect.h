#pragma once

// An effect source compiled and linked once per device and shared by every effect object
// made from the same source text.
#include "d3d/Device.h"
#include "effect/front/EffectCompiler.h"

#include <vector>

struct CompiledEffect {
    CompiledEffectSource source;
    std::vector<StageProgram> stages;  // one per source.shaders entry
    // For each stage, for each member of its uniform block: the parameter it holds, or -1.
    std::vector<std::vector<int>> memberParameters;
    size_t largestUniformBlock = 0;
};
