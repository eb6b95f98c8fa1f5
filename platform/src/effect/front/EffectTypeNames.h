#pragma once

// The type names of effect declarations: numeric types with their shape, textures and
// samplers.

#include "EffectDescription.h"

#include <string>

struct NumericType {
    EffectValueType type = EffectValueType::Float;
    int rows = 1;
    int columns = 1;
};

// Reads scalar, vector and matrix type names: float, float3, float4x4, int2, bool, half4, ...
bool ParseNumericTypeName(const std::string& t, NumericType& out);
bool IsTextureType(const std::string& t);
// The HLSL sampler type a sampler declaration becomes; empty when t is not a sampler type.
std::string SamplerTypeFor(const std::string& t);
