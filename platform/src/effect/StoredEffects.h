#pragma once

// The effects translated when the layer was built (Data/effects.store, embedded).
#include "effect/front/EffectCompiler.h"

#include <string>

// The stored translation of the effect with this key (see EffectKey), or null.
const CompiledEffectSource* FindStoredEffect(const std::string& key);
