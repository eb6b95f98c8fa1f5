#pragma once

// The stored form of translated effects: what the effect front-end and the shader
// translator make of an effect source, written out so that a program can use it without
// translating (the intro's effects are translated when it is built, and a browser has no
// translator). A store holds effects by their key, the source text and its macros.
#include "EffectCompiler.h"

#include <string>
#include <vector>

// The key of an effect: its source as D3DXCreateEffect reads it (without a byte-order mark
// or trailing zeros) and its macros.
std::string EffectKey(const std::string& source, const std::vector<ShaderMacro>& macros);
// The source without a UTF-8 byte-order mark and without trailing zero bytes.
std::string EffectSourceText(const char* data, size_t length);

// The compiler-style refusal of an effect that has no stored translation, in a build that
// translates none at run time; it names the effect by a hash of its key and its size.
std::string UntranslatedEffectMessage(const std::string& source, const std::vector<ShaderMacro>& macros);

struct StoredEffect {
    std::string key;
    CompiledEffectSource effect;  // the shader source text is not stored
};

// The bytes of a store; the same effects in the same order always give the same bytes.
std::string WriteEffectStore(const std::vector<StoredEffect>& effects);
// False, with a message naming where, when the bytes are no store or are damaged.
bool ReadEffectStore(const std::string& bytes, std::vector<StoredEffect>& effects, std::string& message);
