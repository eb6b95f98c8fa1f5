#include "EffectStateNames.h"

#include <cctype>
#include <cstring>

namespace {

enum class ValueKind { Bool, ZBuffer, Cull, Fill, Blend, BlendOp, Compare, Number };

struct StateName {
    const char* name;
    DWORD state;
    ValueKind kind;
};

struct ValueName {
    const char* name;
    DWORD value;
};

const StateName RENDER_STATES[] = {
    {"ZEnable", D3DRS_ZENABLE, ValueKind::ZBuffer},
    {"FillMode", D3DRS_FILLMODE, ValueKind::Fill},
    {"ZWriteEnable", D3DRS_ZWRITEENABLE, ValueKind::Bool},
    {"AlphaTestEnable", D3DRS_ALPHATESTENABLE, ValueKind::Bool},
    {"SrcBlend", D3DRS_SRCBLEND, ValueKind::Blend},
    {"DestBlend", D3DRS_DESTBLEND, ValueKind::Blend},
    {"CullMode", D3DRS_CULLMODE, ValueKind::Cull},
    {"ZFunc", D3DRS_ZFUNC, ValueKind::Compare},
    {"AlphaRef", D3DRS_ALPHAREF, ValueKind::Number},
    {"AlphaFunc", D3DRS_ALPHAFUNC, ValueKind::Compare},
    {"DitherEnable", D3DRS_DITHERENABLE, ValueKind::Bool},
    {"AlphaBlendEnable", D3DRS_ALPHABLENDENABLE, ValueKind::Bool},
    {"FogEnable", D3DRS_FOGENABLE, ValueKind::Bool},
    {"SpecularEnable", D3DRS_SPECULARENABLE, ValueKind::Bool},
    {"StencilEnable", D3DRS_STENCILENABLE, ValueKind::Bool},
    {"Lighting", D3DRS_LIGHTING, ValueKind::Bool},
    {"ColorWriteEnable", D3DRS_COLORWRITEENABLE, ValueKind::Number},
    {"BlendOp", D3DRS_BLENDOP, ValueKind::BlendOp},
    {"ScissorTestEnable", D3DRS_SCISSORTESTENABLE, ValueKind::Bool},
    {"SeparateAlphaBlendEnable", D3DRS_SEPARATEALPHABLENDENABLE, ValueKind::Bool},
    {"SrcBlendAlpha", D3DRS_SRCBLENDALPHA, ValueKind::Blend},
    {"DestBlendAlpha", D3DRS_DESTBLENDALPHA, ValueKind::Blend},
    {"BlendOpAlpha", D3DRS_BLENDOPALPHA, ValueKind::BlendOp},
};

const ValueName BOOL_VALUES[] = {{"TRUE", TRUE}, {"FALSE", FALSE}};
const ValueName ZBUFFER_VALUES[] = {{"TRUE", D3DZB_TRUE}, {"FALSE", D3DZB_FALSE}, {"USEW", D3DZB_USEW}};
const ValueName CULL_VALUES[] = {{"NONE", D3DCULL_NONE}, {"CW", D3DCULL_CW}, {"CCW", D3DCULL_CCW}};
const ValueName FILL_VALUES[] = {{"POINT", D3DFILL_POINT}, {"WIREFRAME", D3DFILL_WIREFRAME}, {"SOLID", D3DFILL_SOLID}};
const ValueName BLEND_VALUES[] = {
    {"ZERO", D3DBLEND_ZERO},
    {"ONE", D3DBLEND_ONE},
    {"SRCCOLOR", D3DBLEND_SRCCOLOR},
    {"INVSRCCOLOR", D3DBLEND_INVSRCCOLOR},
    {"SRCALPHA", D3DBLEND_SRCALPHA},
    {"INVSRCALPHA", D3DBLEND_INVSRCALPHA},
    {"DESTALPHA", D3DBLEND_DESTALPHA},
    {"INVDESTALPHA", D3DBLEND_INVDESTALPHA},
    {"DESTCOLOR", D3DBLEND_DESTCOLOR},
    {"INVDESTCOLOR", D3DBLEND_INVDESTCOLOR},
    {"SRCALPHASAT", D3DBLEND_SRCALPHASAT},
    {"BOTHSRCALPHA", D3DBLEND_BOTHSRCALPHA},
    {"BOTHINVSRCALPHA", D3DBLEND_BOTHINVSRCALPHA},
    {"BLENDFACTOR", D3DBLEND_BLENDFACTOR},
    {"INVBLENDFACTOR", D3DBLEND_INVBLENDFACTOR},
};
const ValueName BLENDOP_VALUES[] = {{"ADD", D3DBLENDOP_ADD},
                                    {"SUBTRACT", D3DBLENDOP_SUBTRACT},
                                    {"REVSUBTRACT", D3DBLENDOP_REVSUBTRACT},
                                    {"MIN", D3DBLENDOP_MIN},
                                    {"MAX", D3DBLENDOP_MAX}};
const ValueName COMPARE_VALUES[] = {{"NEVER", D3DCMP_NEVER},
                                    {"LESS", D3DCMP_LESS},
                                    {"EQUAL", D3DCMP_EQUAL},
                                    {"LESSEQUAL", D3DCMP_LESSEQUAL},
                                    {"GREATER", D3DCMP_GREATER},
                                    {"NOTEQUAL", D3DCMP_NOTEQUAL},
                                    {"GREATEREQUAL", D3DCMP_GREATEREQUAL},
                                    {"ALWAYS", D3DCMP_ALWAYS}};

const StateName SAMPLER_STATES[] = {
    {"AddressU", D3DSAMP_ADDRESSU, ValueKind::Number},
    {"AddressV", D3DSAMP_ADDRESSV, ValueKind::Number},
    {"AddressW", D3DSAMP_ADDRESSW, ValueKind::Number},
    {"BorderColor", D3DSAMP_BORDERCOLOR, ValueKind::Number},
    {"MagFilter", D3DSAMP_MAGFILTER, ValueKind::Number},
    {"MinFilter", D3DSAMP_MINFILTER, ValueKind::Number},
    {"MipFilter", D3DSAMP_MIPFILTER, ValueKind::Number},
    {"MipMapLodBias", D3DSAMP_MIPMAPLODBIAS, ValueKind::Number},
    {"MaxMipLevel", D3DSAMP_MAXMIPLEVEL, ValueKind::Number},
    {"MaxAnisotropy", D3DSAMP_MAXANISOTROPY, ValueKind::Number},
    {"SRGBTexture", D3DSAMP_SRGBTEXTURE, ValueKind::Bool},
};
const ValueName ADDRESS_VALUES[] = {{"WRAP", D3DTADDRESS_WRAP},
                                    {"MIRROR", D3DTADDRESS_MIRROR},
                                    {"CLAMP", D3DTADDRESS_CLAMP},
                                    {"BORDER", D3DTADDRESS_BORDER},
                                    {"MIRRORONCE", D3DTADDRESS_MIRRORONCE}};
const ValueName FILTER_VALUES[] = {{"NONE", D3DTEXF_NONE},
                                   {"POINT", D3DTEXF_POINT},
                                   {"LINEAR", D3DTEXF_LINEAR},
                                   {"ANISOTROPIC", D3DTEXF_ANISOTROPIC}};

// The table's entry named word, in any case, or nullptr.
template <typename Entry, size_t N>
const Entry* Named(const Entry (&table)[N], const std::string& word)
{
    for (const Entry& e : table)
        if (EqualsIgnoringCase(word, e.name))
            return &e;
    return nullptr;
}

template <size_t N>
bool FindValue(const ValueName (&table)[N], const std::string& word, DWORD& value)
{
    const ValueName* v = Named(table, word);
    if (v)
        value = v->value;
    return v != nullptr;
}

template <typename State, size_t N>
bool FindState(const StateName (&table)[N], const std::string& name, State& state)
{
    const StateName* s = Named(table, name);
    if (s)
        state = static_cast<State>(s->state);
    return s != nullptr;
}

// A decimal or hexadecimal whole number, as a state value.
bool ParseNumber(const std::string& word, DWORD& value)
{
    if (word.empty() || !std::isdigit(static_cast<unsigned char>(word[0])))
        return false;
    unsigned long long v = 0;
    size_t i = 0;
    int base = 10;
    if (word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X')) {
        base = 16;
        i = 2;
    }
    for (; i < word.size(); ++i) {
        const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(word[i])));
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c == 'u' || c == 'l')
            continue;
        else
            return false;
        v = v * base + digit;
        if (v > 0xFFFFFFFFull)
            return false;
    }
    value = static_cast<DWORD>(v);
    return true;
}

}  // namespace

bool EqualsIgnoringCase(const std::string& a, const char* b)
{
    const size_t n = std::strlen(b);
    if (a.size() != n)
        return false;
    for (size_t i = 0; i < n; ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

bool FindRenderState(const std::string& name, D3DRENDERSTATETYPE& state)
{
    return FindState(RENDER_STATES, name, state);
}

bool FindRenderStateValue(D3DRENDERSTATETYPE state, const std::string& word, DWORD& value)
{
    ValueKind kind = ValueKind::Number;
    for (const StateName& s : RENDER_STATES)
        if (s.state == static_cast<DWORD>(state))
            kind = s.kind;
    switch (kind) {
    case ValueKind::Bool: return FindValue(BOOL_VALUES, word, value) || ParseNumber(word, value);
    case ValueKind::ZBuffer: return FindValue(ZBUFFER_VALUES, word, value) || ParseNumber(word, value);
    case ValueKind::Cull: return FindValue(CULL_VALUES, word, value) || ParseNumber(word, value);
    case ValueKind::Fill: return FindValue(FILL_VALUES, word, value) || ParseNumber(word, value);
    case ValueKind::Blend: return FindValue(BLEND_VALUES, word, value) || ParseNumber(word, value);
    case ValueKind::BlendOp: return FindValue(BLENDOP_VALUES, word, value) || ParseNumber(word, value);
    case ValueKind::Compare: return FindValue(COMPARE_VALUES, word, value) || ParseNumber(word, value);
    case ValueKind::Number: return ParseNumber(word, value);
    }
    return false;
}

bool FindSamplerState(const std::string& name, D3DSAMPLERSTATETYPE& state)
{
    return FindState(SAMPLER_STATES, name, state);
}

bool FindSamplerStateValue(D3DSAMPLERSTATETYPE state, const std::string& word, DWORD& value)
{
    switch (state) {
    case D3DSAMP_ADDRESSU:
    case D3DSAMP_ADDRESSV:
    case D3DSAMP_ADDRESSW: return FindValue(ADDRESS_VALUES, word, value) || ParseNumber(word, value);
    case D3DSAMP_MAGFILTER:
    case D3DSAMP_MINFILTER:
    case D3DSAMP_MIPFILTER: return FindValue(FILTER_VALUES, word, value) || ParseNumber(word, value);
    case D3DSAMP_SRGBTEXTURE: return FindValue(BOOL_VALUES, word, value) || ParseNumber(word, value);
    default: return ParseNumber(word, value);
    }
}
