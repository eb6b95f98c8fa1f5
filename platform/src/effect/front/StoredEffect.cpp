#include "StoredEffect.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char MAGIC[] = "skelvane-effect-store 1\n";
// Counts beyond these are damage, not effects.
const size_t MAX_COUNT = 1u << 16;
const size_t MAX_TEXT = 1u << 24;

// Numbers as decimal text ending in a space, floats to the digits that read back
// exactly; texts as their length, a colon and their bytes; a newline after each record.
class Writer {
public:
    void Number(long long v) { m_out += std::to_string(v) + ' '; }
    void Real(float v)
    {
        char text[32];
        std::snprintf(text, sizeof text, "%.9g ", static_cast<double>(v));
        m_out += text;
    }
    void Text(const std::string& s) { m_out += std::to_string(s.size()) + ':' + s + ' '; }
    void EndRecord() { m_out += '\n'; }
    std::string& Out() { return m_out; }

private:
    std::string m_out;
};

class Reader {
public:
    explicit Reader(const std::string& in) : m_in(in) {}
    bool Ok() const { return m_ok; }
    size_t Position() const { return m_at; }
    void Skip(size_t n) { m_at += n; }

    long long Number(long long low, long long high)
    {
        const long long v = Integer();
        if (v < low || v > high)
            m_ok = false;
        return m_ok ? v : low;
    }
    // Every item takes at least one byte: a count beyond the bytes left is damage.
    size_t Count()
    {
        const size_t n = static_cast<size_t>(Number(0, MAX_COUNT));
        if (n > m_in.size() - std::min(m_at, m_in.size()))
            m_ok = false;
        return m_ok ? n : 0;
    }
    float Real()
    {
        const std::string token = Token();
        char* end = nullptr;
        const float v = m_ok ? std::strtof(token.c_str(), &end) : 0.0f;
        if (!m_ok || token.empty() || *end != '\0')
            m_ok = false;
        return m_ok ? v : 0.0f;
    }
    std::string Text()
    {
        size_t length = 0;
        size_t digits = 0;
        while (m_ok && m_at < m_in.size() && m_in[m_at] >= '0' && m_in[m_at] <= '9' && digits < 9) {
            length = length * 10 + static_cast<size_t>(m_in[m_at++] - '0');
            ++digits;
        }
        if (!m_ok || digits == 0 || length > MAX_TEXT || m_at >= m_in.size() || m_in[m_at] != ':' ||
            length + 1 > m_in.size() - m_at - 1) {
            m_ok = false;
            return std::string();
        }
        std::string s = m_in.substr(m_at + 1, length);
        m_at += 1 + length;
        Separator(' ');
        return s;
    }
    void EndRecord() { Separator('\n'); }

private:
    std::string Token()
    {
        const size_t start = m_at;
        while (m_at < m_in.size() && m_in[m_at] != ' ' && m_at - start < 40)
            ++m_at;
        std::string token = m_in.substr(start, m_at - start);
        Separator(' ');
        return token;
    }
    long long Integer()
    {
        const std::string token = Token();
        char* end = nullptr;
        const long long v = m_ok ? std::strtoll(token.c_str(), &end, 10) : 0;
        if (!m_ok || token.empty() || *end != '\0')
            m_ok = false;
        return v;
    }
    void Separator(char c)
    {
        if (m_at < m_in.size() && m_in[m_at] == c)
            ++m_at;
        else
            m_ok = false;
    }

    const std::string& m_in;
    size_t m_at = 0;
    bool m_ok = true;
};

const long long MAX_DWORD = 0xFFFFFFFFll;

void Put(Writer& w, const EffectAnnotation& a)
{
    w.Text(a.name);
    w.Number(static_cast<long long>(a.type));
    w.Number(static_cast<long long>(a.values.size()));
    for (float v : a.values)
        w.Real(v);
    w.Text(a.text);
}

void Get(Reader& r, EffectAnnotation& a)
{
    a.name = r.Text();
    a.type = static_cast<EffectValueType>(r.Number(0, static_cast<long long>(EffectValueType::Sampler)));
    a.values.resize(r.Count());
    for (float& v : a.values)
        v = r.Real();
    a.text = r.Text();
}

template <typename T>
void PutList(Writer& w, const std::vector<T>& list, void (*put)(Writer&, const T&))
{
    w.Number(static_cast<long long>(list.size()));
    for (const T& item : list)
        put(w, item);
}

template <typename T>
void GetList(Reader& r, std::vector<T>& list, void (*get)(Reader&, T&))
{
    list.resize(r.Count());
    for (T& item : list) {
        if (!r.Ok())
            return;
        get(r, item);
    }
}

void Put(Writer& w, const EffectShader& s)
{
    w.Number(s.assigned ? 1 : 0);
    w.Text(s.profile);
    w.Text(s.entry);
    w.Number(static_cast<long long>(s.arguments.size()));
    for (const std::string& a : s.arguments)
        w.Text(a);
}

void Get(Reader& r, EffectShader& s)
{
    s.assigned = r.Number(0, 1) != 0;
    s.profile = r.Text();
    s.entry = r.Text();
    s.arguments.resize(r.Count());
    for (std::string& a : s.arguments)
        a = r.Text();
}

void PutParameter(Writer& w, const EffectParameter& p)
{
    w.Text(p.name);
    w.Text(p.semantic);
    w.Number(static_cast<long long>(p.type));
    w.Number(p.rows);
    w.Number(p.columns);
    w.Number(p.elements);
    w.Number(static_cast<long long>(p.defaults.size()));
    for (float v : p.defaults)
        w.Real(v);
    PutList<EffectAnnotation>(w, p.annotations, Put);
}

void GetParameter(Reader& r, EffectParameter& p)
{
    p.name = r.Text();
    p.semantic = r.Text();
    p.type = static_cast<EffectValueType>(r.Number(0, static_cast<long long>(EffectValueType::Sampler)));
    p.rows = static_cast<int>(r.Number(1, 4));
    p.columns = static_cast<int>(r.Number(1, 4));
    p.elements = static_cast<int>(r.Number(0, MAX_COUNT));
    p.defaults.resize(r.Count());
    for (float& v : p.defaults)
        v = r.Real();
    GetList<EffectAnnotation>(r, p.annotations, Get);
}

void PutSampler(Writer& w, const EffectSampler& s)
{
    w.Text(s.name);
    w.Text(s.texture);
    w.Number(static_cast<long long>(s.states.size()));
    for (const EffectSamplerState& st : s.states) {
        w.Number(st.type);
        w.Number(st.value);
    }
}

void GetSampler(Reader& r, EffectSampler& s)
{
    s.name = r.Text();
    s.texture = r.Text();
    s.states.resize(r.Count());
    for (EffectSamplerState& st : s.states) {
        st.type = static_cast<D3DSAMPLERSTATETYPE>(r.Number(0, 255));
        st.value = static_cast<DWORD>(r.Number(0, MAX_DWORD));
    }
}

void PutPass(Writer& w, const EffectPass& p)
{
    w.Text(p.name);
    w.Number(p.line);
    PutList<EffectAnnotation>(w, p.annotations, Put);
    w.Number(static_cast<long long>(p.renderStates.size()));
    for (const EffectRenderState& rs : p.renderStates) {
        w.Number(rs.type);
        w.Number(rs.value);
    }
    Put(w, p.vertexShader);
    Put(w, p.pixelShader);
}

void GetPass(Reader& r, EffectPass& p)
{
    p.name = r.Text();
    p.line = static_cast<int>(r.Number(0, 1 << 30));
    GetList<EffectAnnotation>(r, p.annotations, Get);
    p.renderStates.resize(r.Count());
    for (EffectRenderState& rs : p.renderStates) {
        rs.type = static_cast<D3DRENDERSTATETYPE>(r.Number(0, 255));
        rs.value = static_cast<DWORD>(r.Number(0, MAX_DWORD));
    }
    Get(r, p.vertexShader);
    Get(r, p.pixelShader);
}

void PutTechnique(Writer& w, const EffectTechnique& t)
{
    w.Text(t.name);
    PutList<EffectAnnotation>(w, t.annotations, Put);
    PutList<EffectPass>(w, t.passes, PutPass);
}

void GetTechnique(Reader& r, EffectTechnique& t)
{
    t.name = r.Text();
    GetList<EffectAnnotation>(r, t.annotations, Get);
    GetList<EffectPass>(r, t.passes, GetPass);
}

void PutVarying(Writer& w, const ShaderVarying& v)
{
    w.Text(v.semantic);
    w.Number(v.location);
    w.Number(v.components);
}

void GetVarying(Reader& r, ShaderVarying& v)
{
    v.semantic = r.Text();
    v.location = static_cast<int>(r.Number(0, 64));
    v.components = static_cast<int>(r.Number(1, 4));
}

void PutMember(Writer& w, const UniformMember& m)
{
    w.Text(m.name);
    w.Number(m.offset);
    w.Number(static_cast<long long>(m.baseType));
    w.Number(m.rows);
    w.Number(m.columns);
    w.Number(m.matrixStride);
    w.Number(m.columnsContiguous ? 1 : 0);
    w.Number(m.elements);
    w.Number(m.arrayStride);
}

void GetMember(Reader& r, UniformMember& m)
{
    m.name = r.Text();
    m.offset = static_cast<uint32_t>(r.Number(0, MAX_TEXT));
    m.baseType = static_cast<UniformBaseType>(r.Number(0, static_cast<long long>(UniformBaseType::Bool)));
    m.rows = static_cast<int>(r.Number(1, 4));
    m.columns = static_cast<int>(r.Number(1, 4));
    m.matrixStride = static_cast<uint32_t>(r.Number(0, 64));
    m.columnsContiguous = r.Number(0, 1) != 0;
    m.elements = static_cast<int>(r.Number(0, MAX_COUNT));
    m.arrayStride = static_cast<uint32_t>(r.Number(0, MAX_TEXT));
}

void PutSamplerUnit(Writer& w, const ShaderSampler& s)
{
    w.Text(s.name);
    w.Number(s.unit);
}

void GetSamplerUnit(Reader& r, ShaderSampler& s)
{
    s.name = r.Text();
    s.unit = static_cast<int>(r.Number(0, 15));
}

void PutShader(Writer& w, const TranslatedShader& s)
{
    w.Text(s.glsl);
    w.Number(s.uniforms.size);
    PutList<UniformMember>(w, s.uniforms.members, PutMember);
    PutList<ShaderSampler>(w, s.samplers, PutSamplerUnit);
    PutList<ShaderVarying>(w, s.inputs, PutVarying);
    PutList<ShaderVarying>(w, s.outputs, PutVarying);
}

void GetShader(Reader& r, TranslatedShader& s)
{
    s.glsl = r.Text();
    s.uniforms.size = static_cast<uint32_t>(r.Number(0, MAX_TEXT));
    GetList<UniformMember>(r, s.uniforms.members, GetMember);
    GetList<ShaderSampler>(r, s.samplers, GetSamplerUnit);
    GetList<ShaderVarying>(r, s.inputs, GetVarying);
    GetList<ShaderVarying>(r, s.outputs, GetVarying);
}

void PutEffect(Writer& w, const StoredEffect& stored)
{
    const CompiledEffectSource& e = stored.effect;
    w.Text(stored.key);
    w.EndRecord();
    PutList<EffectParameter>(w, e.description.parameters, PutParameter);
    PutList<EffectSampler>(w, e.description.samplers, PutSampler);
    PutList<EffectTechnique>(w, e.description.techniques, PutTechnique);
    w.EndRecord();
    w.Number(static_cast<long long>(e.shaders.size()));
    for (size_t i = 0; i < e.shaders.size(); ++i) {
        w.Number(e.shaderStages[i] == ShaderStage::Vertex ? 0 : 1);
        PutShader(w, e.shaders[i]);
        w.EndRecord();
    }
    w.Number(static_cast<long long>(e.passes.size()));
    for (const std::vector<CompiledPassShaders>& technique : e.passes) {
        w.Number(static_cast<long long>(technique.size()));
        for (const CompiledPassShaders& p : technique) {
            w.Number(p.vertexShader);
            w.Number(p.pixelShader);
        }
    }
    w.EndRecord();
}

bool GetEffect(Reader& r, StoredEffect& stored)
{
    CompiledEffectSource& e = stored.effect;
    stored.key = r.Text();
    r.EndRecord();
    GetList<EffectParameter>(r, e.description.parameters, GetParameter);
    GetList<EffectSampler>(r, e.description.samplers, GetSampler);
    GetList<EffectTechnique>(r, e.description.techniques, GetTechnique);
    r.EndRecord();
    const size_t shaders = r.Count();
    for (size_t i = 0; i < shaders && r.Ok(); ++i) {
        e.shaderStages.push_back(r.Number(0, 1) == 0 ? ShaderStage::Vertex : ShaderStage::Pixel);
        e.shaders.emplace_back();
        GetShader(r, e.shaders.back());
        r.EndRecord();
    }
    const long long last = static_cast<long long>(shaders) - 1;
    e.passes.resize(r.Count());
    for (std::vector<CompiledPassShaders>& technique : e.passes) {
        technique.resize(r.Ok() ? r.Count() : 0);
        for (CompiledPassShaders& p : technique) {
            p.vertexShader = static_cast<int>(r.Number(-1, last));
            p.pixelShader = static_cast<int>(r.Number(-1, last));
        }
    }
    r.EndRecord();
    // Every pass of every technique has its shader indices.
    if (r.Ok() && e.passes.size() != e.description.techniques.size())
        return false;
    for (size_t t = 0; r.Ok() && t < e.passes.size(); ++t)
        if (e.passes[t].size() != e.description.techniques[t].passes.size())
            return false;
    return r.Ok();
}

}  // namespace

std::string EffectSourceText(const char* data, size_t length)
{
    if (length >= 3 && std::memcmp(data, "\xEF\xBB\xBF", 3) == 0) {
        data += 3;
        length -= 3;
    }
    while (length > 0 && data[length - 1] == '\0')
        --length;  // resources often carry a terminating zero
    return std::string(data, length);
}

std::string EffectKey(const std::string& source, const std::vector<ShaderMacro>& macros)
{
    std::string key = source;
    for (const ShaderMacro& m : macros)
        key += "\n#define " + m.name + " " + m.definition;
    return key;
}

std::string UntranslatedEffectMessage(const std::string& source, const std::vector<ShaderMacro>& macros)
{
    // FNV-1a over the key: the same effect is always named alike.
    uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : EffectKey(source, macros)) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    char text[300];
    std::snprintf(text, sizeof text,
                  "effect(1,1): error X3501: effect %016llx (%zu bytes, %zu macros) was not translated when the "
                  "program was built, and this build translates no effect at run time",
                  static_cast<unsigned long long>(hash), source.size(), macros.size());
    return text;
}

std::string WriteEffectStore(const std::vector<StoredEffect>& effects)
{
    Writer w;
    w.Out() = MAGIC;
    w.Number(static_cast<long long>(effects.size()));
    w.EndRecord();
    for (const StoredEffect& e : effects)
        PutEffect(w, e);
    return w.Out();
}

bool ReadEffectStore(const std::string& bytes, std::vector<StoredEffect>& effects, std::string& message)
{
    effects.clear();
    const size_t magic = sizeof MAGIC - 1;
    if (bytes.compare(0, magic, MAGIC) != 0) {
        message = "not an effect store";
        return false;
    }
    Reader r(bytes);
    r.Skip(magic);
    const size_t count = r.Count();
    r.EndRecord();
    for (size_t i = 0; i < count && r.Ok(); ++i) {
        effects.emplace_back();
        if (!GetEffect(r, effects.back())) {
            message = "effect store damaged in effect " + std::to_string(i + 1) + " near byte " +
                      std::to_string(r.Position());
            effects.clear();
            return false;
        }
    }
    if (!r.Ok() || r.Position() != bytes.size()) {
        message = "effect store damaged near byte " + std::to_string(r.Position());
        effects.clear();
        return false;
    }
    return true;
}
