#include "EffectTypeNames.h"

#include "EffectStateNames.h"

#include <cstring>

bool IsTextureType(const std::string& t)
{
    return EqualsIgnoringCase(t, "texture") || EqualsIgnoringCase(t, "texture1D") ||
           EqualsIgnoringCase(t, "texture2D") || EqualsIgnoringCase(t, "texture3D") ||
           EqualsIgnoringCase(t, "textureCUBE");
}

std::string SamplerTypeFor(const std::string& t)
{
    if (t == "sampler" || t == "sampler2D" || t == "sampler_state")
        return "sampler2D";
    if (t == "sampler1D" || t == "sampler3D" || t == "samplerCUBE")
        return t;
    return std::string();
}

bool ParseNumericTypeName(const std::string& t, NumericType& out)
{
    static const struct {
        const char* name;
        EffectValueType type;
    } BASES[] = {{"float", EffectValueType::Float},  {"half", EffectValueType::Float},
                 {"double", EffectValueType::Float}, {"int", EffectValueType::Int},
                 {"uint", EffectValueType::Int},     {"dword", EffectValueType::Int},
                 {"bool", EffectValueType::Bool}};
    for (const auto& base : BASES) {
        const size_t n = std::strlen(base.name);
        if (t.compare(0, n, base.name) != 0)
            continue;
        const std::string rest = t.substr(n);
        out.type = base.type;
        if (rest.empty()) {
            out.rows = out.columns = 1;
            return true;
        }
        if (rest.size() == 1 && rest[0] >= '1' && rest[0] <= '4') {
            out.rows = 1;
            out.columns = rest[0] - '0';
            return true;
        }
        if (rest.size() == 3 && rest[0] >= '1' && rest[0] <= '4' && rest[1] == 'x' && rest[2] >= '1' &&
            rest[2] <= '4') {
            out.rows = rest[0] - '0';
            out.columns = rest[2] - '0';
            return true;
        }
        return false;
    }
    if (t == "matrix") {
        out = {EffectValueType::Float, 4, 4};
        return true;
    }
    if (t == "vector") {
        out = {EffectValueType::Float, 1, 4};
        return true;
    }
    return false;
}
