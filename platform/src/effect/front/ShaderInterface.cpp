#include "ShaderInterface.h"

#include <d3d9types.h>

#include <cctype>

int AttributeLocation(int usage, int usageIndex)
{
    switch (usage) {
    case D3DDECLUSAGE_POSITION:
    case D3DDECLUSAGE_POSITIONT: return usageIndex == 0 ? 0 : -1;
    case D3DDECLUSAGE_NORMAL: return usageIndex == 0 ? 1 : -1;
    case D3DDECLUSAGE_COLOR: return usageIndex <= 1 ? 2 + usageIndex : -1;
    case D3DDECLUSAGE_TEXCOORD: return usageIndex <= 7 ? 4 + usageIndex : -1;
    case D3DDECLUSAGE_TANGENT: return usageIndex == 0 ? 12 : -1;
    case D3DDECLUSAGE_BINORMAL: return usageIndex == 0 ? 13 : -1;
    case D3DDECLUSAGE_BLENDWEIGHT: return usageIndex == 0 ? 14 : -1;
    case D3DDECLUSAGE_BLENDINDICES: return usageIndex == 0 ? 15 : -1;
    default: return -1;
    }
}

void SplitSemantic(const std::string& semantic, std::string& name, int& index)
{
    size_t digits = semantic.size();
    while (digits > 0 && std::isdigit(static_cast<unsigned char>(semantic[digits - 1])))
        --digits;
    name.clear();
    for (size_t i = 0; i < digits; ++i)
        name += static_cast<char>(std::toupper(static_cast<unsigned char>(semantic[i])));
    index = 0;
    for (size_t i = digits; i < semantic.size() && index < 1000; ++i)
        index = index * 10 + (semantic[i] - '0');
}

int VaryingLocation(const std::string& semantic)
{
    std::string name;
    int index = 0;
    SplitSemantic(semantic, name, index);
    if (name == "TEXCOORD" && index <= 7)
        return index;
    if (name == "COLOR" && index <= 1)
        return 8 + index;
    if (name == "FOG" && index == 0)
        return 10;
    if (name == "PSIZE" && index == 0)
        return 11;
    return -1;
}

std::string VaryingName(const std::string& semantic)
{
    return "skv_" + semantic;
}

const char* UniformBlockName(int binding)
{
    return binding == VERTEX_UNIFORM_BINDING ? "skv_VertexParameters" : "skv_PixelParameters";
}

std::string SamplerUniformName(int unit)
{
    return "skv_Sampler" + std::to_string(unit);
}
