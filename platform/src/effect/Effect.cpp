#include "Effect.h"

#include "effect/front/ShaderInterface.h"
#include "effect/front/UniformPacker.h"

#include <cstring>
#include <functional>

namespace {

bool IsNumeric(EffectValueType t)
{
    return t == EffectValueType::Float || t == EffectValueType::Int || t == EffectValueType::Bool;
}

// The index of the entry with the given name, or -1; a nameless entry (a
// technique may have no name) is found by none.
template <typename Entry>
int IndexByName(const std::vector<Entry>& entries, const char* name)
{
    for (size_t i = 0; i < entries.size(); ++i)
        if (!entries[i].name.empty() && entries[i].name == name)
            return static_cast<int>(i);
    return -1;
}

}  // namespace

Effect::Effect(Device* device, std::shared_ptr<const CompiledEffect> compiled)
    : DeviceChild(device), m_compiled(std::move(compiled))
{
    const EffectDescription& d = m_compiled->source.description;
    for (size_t p = 0; p < d.parameters.size(); ++p) {
        m_handles.push_back({HandleKind::Parameter, -1, static_cast<int>(p), nullptr, nullptr});
        m_values.push_back(d.parameters[p].defaults);
    }
    m_textures.assign(d.parameters.size(), nullptr);
    for (size_t t = 0; t < d.techniques.size(); ++t) {
        m_handles.push_back({HandleKind::Technique, static_cast<int>(t), -1, nullptr, nullptr});
        for (size_t p = 0; p < d.techniques[t].passes.size(); ++p)
            m_handles.push_back({HandleKind::Pass, static_cast<int>(t), static_cast<int>(p), nullptr, nullptr});
    }
    // Annotations last: they name the handles of their objects, which now stay put.
    const size_t objects = m_handles.size();
    size_t annotationCount = 0;
    for (const EffectParameter& p : d.parameters)
        annotationCount += p.annotations.size();
    for (const EffectTechnique& t : d.techniques) {
        annotationCount += t.annotations.size();
        for (const EffectPass& p : t.passes)
            annotationCount += p.annotations.size();
    }
    m_handles.reserve(objects + annotationCount);
    for (size_t i = 0; i < objects; ++i) {
        const HandleRecord r = m_handles[i];
        const std::vector<EffectAnnotation>* list = r.kind == HandleKind::Parameter ? &d.parameters[r.index].annotations
                                                    : r.kind == HandleKind::Technique
                                                        ? &d.techniques[r.technique].annotations
                                                        : &d.techniques[r.technique].passes[r.index].annotations;
        for (const EffectAnnotation& a : *list)
            m_handles.push_back({HandleKind::Annotation, -1, static_cast<int>(i), &a, nullptr});
    }
    for (HandleRecord& r : m_handles)
        if (r.kind == HandleKind::Annotation)
            r.owner = HandleOf(static_cast<size_t>(r.index));
    m_uniformScratch.assign(m_compiled->largestUniformBlock, 0);
    if (!d.techniques.empty())
        m_technique = 0;
}

Effect::~Effect()
{
    if (m_begun)
        End();
    for (IDirect3DBaseTexture9*& t : m_textures) {
        if (t)
            t->Release();
        t = nullptr;
    }
}

void Effect::ReleaseGlObjects()
{
    // The programs belong to the device's cache; nothing of the effect's own is in GL.
}

// ---- handles ----

const Effect::HandleRecord* Effect::Record(D3DXHANDLE handle) const
{
    if (!handle || m_handles.empty())
        return nullptr;
    const void* p = handle;
    const std::less<const void*> before;
    if (before(p, &m_handles.front()) || !before(p, &m_handles.back() + 1))
        return nullptr;
    const size_t offset = static_cast<size_t>(reinterpret_cast<const char*>(p) -
                                              reinterpret_cast<const char*>(m_handles.data()));
    if (offset % sizeof(HandleRecord) != 0)
        return nullptr;
    return &m_handles[offset / sizeof(HandleRecord)];
}

D3DXHANDLE Effect::FindHandle(HandleKind kind, int technique, int index) const
{
    for (size_t i = 0; i < m_handles.size(); ++i) {
        const HandleRecord& r = m_handles[i];
        if (r.kind == kind && (kind == HandleKind::Parameter || r.technique == technique) &&
            (kind == HandleKind::Technique || r.index == index))
            return HandleOf(i);
    }
    return nullptr;
}

// A handle is either one of ours, which says what kind of object it stands
// for, or the name of a parameter or technique.
int Effect::IndexOf(D3DXHANDLE handle, HandleKind kind) const
{
    if (!handle)
        return -1;
    if (const HandleRecord* r = Record(handle))
        return r->kind != kind ? -1 : kind == HandleKind::Technique ? r->technique : r->index;
    const EffectDescription& d = m_compiled->source.description;
    return kind == HandleKind::Technique ? IndexByName(d.techniques, handle) : IndexByName(d.parameters, handle);
}

int Effect::ParameterIndex(D3DXHANDLE handle) const
{
    return IndexOf(handle, HandleKind::Parameter);
}

int Effect::NumericParameter(D3DXHANDLE handle) const
{
    const int p = ParameterIndex(handle);
    if (p < 0 || !IsNumeric(m_compiled->source.description.parameters[p].type))
        return -1;
    return p;
}

int Effect::MatrixParameter(D3DXHANDLE handle) const
{
    const int p = NumericParameter(handle);
    if (p < 0 || m_compiled->source.description.parameters[p].rows < 2)
        return -1;
    return p;
}

int Effect::TechniqueIndex(D3DXHANDLE handle) const
{
    return IndexOf(handle, HandleKind::Technique);
}

const EffectAnnotation* Effect::Annotation(D3DXHANDLE handle) const
{
    const HandleRecord* r = Record(handle);
    return r && r->kind == HandleKind::Annotation ? r->annotation : nullptr;
}

D3DXHANDLE WINAPI Effect::GetParameterByName(D3DXHANDLE hParameter, LPCSTR pName)
{
    if (hParameter || !pName)
        return nullptr;  // no structure members here
    const int p = ParameterIndex(pName);
    return p < 0 ? nullptr : FindHandle(HandleKind::Parameter, -1, p);
}

D3DXHANDLE WINAPI Effect::GetTechniqueByName(LPCSTR pName)
{
    if (!pName || Record(pName))
        return nullptr;
    const int t = TechniqueIndex(pName);
    return t < 0 ? nullptr : FindHandle(HandleKind::Technique, t, -1);
}

D3DXHANDLE WINAPI Effect::GetPass(D3DXHANDLE hTechnique, UINT Index)
{
    const int t = TechniqueIndex(hTechnique);
    if (t < 0 || Index >= m_compiled->source.description.techniques[t].passes.size())
        return nullptr;
    return FindHandle(HandleKind::Pass, t, static_cast<int>(Index));
}

D3DXHANDLE WINAPI Effect::GetPassByName(D3DXHANDLE hTechnique, LPCSTR pName)
{
    const int t = TechniqueIndex(hTechnique);
    if (t < 0 || !pName)
        return nullptr;
    const std::vector<EffectPass>& passes = m_compiled->source.description.techniques[t].passes;
    for (size_t p = 0; p < passes.size(); ++p)
        if (!passes[p].name.empty() && passes[p].name == pName)
            return FindHandle(HandleKind::Pass, t, static_cast<int>(p));
    return nullptr;
}

D3DXHANDLE WINAPI Effect::GetAnnotationByName(D3DXHANDLE hObject, LPCSTR pName)
{
    if (!hObject || !pName)
        return nullptr;
    D3DXHANDLE owner = nullptr;
    if (const HandleRecord* r = Record(hObject)) {
        if (r->kind == HandleKind::Annotation)
            return nullptr;
        owner = hObject;
    } else {
        // A name: a parameter's, else a technique's.
        const int p = ParameterIndex(hObject);
        const int t = p < 0 ? TechniqueIndex(hObject) : -1;
        owner = p >= 0   ? FindHandle(HandleKind::Parameter, -1, p)
                : t >= 0 ? FindHandle(HandleKind::Technique, t, -1)
                         : nullptr;
        if (!owner)
            return nullptr;
    }
    for (size_t i = 0; i < m_handles.size(); ++i) {
        const HandleRecord& r = m_handles[i];
        if (r.kind == HandleKind::Annotation && r.owner == owner && !r.annotation->name.empty() &&
            r.annotation->name == pName)
            return HandleOf(i);
    }
    return nullptr;
}

// ---- values ----

HRESULT WINAPI Effect::SetFloatArray(D3DXHANDLE hParameter, const FLOAT* pf, UINT Count)
{
    const int p = NumericParameter(hParameter);
    if (p < 0 || !pf)
        return D3DERR_INVALIDCALL;
    std::vector<float>& v = m_values[p];
    const size_t n = Count < v.size() ? Count : v.size();
    std::memcpy(v.data(), pf, n * sizeof(float));
    return D3D_OK;
}

HRESULT WINAPI Effect::GetFloatArray(D3DXHANDLE hParameter, FLOAT* pf, UINT Count)
{
    if (!pf)
        return D3DERR_INVALIDCALL;
    const std::vector<float>* v = nullptr;
    const int p = NumericParameter(hParameter);
    if (p >= 0)
        v = &m_values[p];
    else if (const EffectAnnotation* a = Annotation(hParameter))
        v = a->type == EffectValueType::String ? nullptr : &a->values;
    if (!v)
        return D3DERR_INVALIDCALL;
    for (UINT i = 0; i < Count && i < v->size(); ++i)
        pf[i] = (*v)[i];
    return D3D_OK;
}

HRESULT WINAPI Effect::SetFloat(D3DXHANDLE hParameter, FLOAT f)
{
    return SetFloatArray(hParameter, &f, 1);
}

HRESULT WINAPI Effect::GetFloat(D3DXHANDLE hParameter, FLOAT* pf)
{
    return GetFloatArray(hParameter, pf, 1);
}

HRESULT WINAPI Effect::SetInt(D3DXHANDLE hParameter, INT n)
{
    return SetFloat(hParameter, static_cast<float>(n));
}

HRESULT WINAPI Effect::GetInt(D3DXHANDLE hParameter, INT* pn)
{
    float f = 0.0f;
    if (!pn || FAILED(GetFloat(hParameter, &f)))
        return D3DERR_INVALIDCALL;
    *pn = static_cast<INT>(f);
    return D3D_OK;
}

HRESULT WINAPI Effect::SetBool(D3DXHANDLE hParameter, BOOL b)
{
    return SetFloat(hParameter, b ? 1.0f : 0.0f);
}

HRESULT WINAPI Effect::GetBool(D3DXHANDLE hParameter, BOOL* pb)
{
    float f = 0.0f;
    if (!pb || FAILED(GetFloat(hParameter, &f)))
        return D3DERR_INVALIDCALL;
    *pb = f != 0.0f ? TRUE : FALSE;
    return D3D_OK;
}

HRESULT WINAPI Effect::SetVector(D3DXHANDLE hParameter, const D3DXVECTOR4* pVector)
{
    if (!pVector)
        return D3DERR_INVALIDCALL;
    const float v[4] = {pVector->x, pVector->y, pVector->z, pVector->w};
    const int p = NumericParameter(hParameter);
    if (p < 0 || m_compiled->source.description.parameters[p].rows != 1)
        return D3DERR_INVALIDCALL;
    return SetFloatArray(hParameter, v, 4);
}

HRESULT WINAPI Effect::GetVector(D3DXHANDLE hParameter, D3DXVECTOR4* pVector)
{
    if (!pVector)
        return D3DERR_INVALIDCALL;
    float v[4] = {0, 0, 0, 0};
    if (FAILED(GetFloatArray(hParameter, v, 4)))
        return D3DERR_INVALIDCALL;
    *pVector = {v[0], v[1], v[2], v[3]};
    return D3D_OK;
}

HRESULT WINAPI Effect::SetMatrix(D3DXHANDLE hParameter, const D3DXMATRIX* pMatrix)
{
    const int p = MatrixParameter(hParameter);
    if (p < 0 || !pMatrix)
        return D3DERR_INVALIDCALL;
    const EffectParameter& param = m_compiled->source.description.parameters[p];
    // Kept as the application sees it, row by row; packing for the shader is the upload's.
    std::vector<float>& v = m_values[p];
    for (int r = 0; r < param.rows; ++r)
        for (int c = 0; c < param.columns; ++c)
            v[static_cast<size_t>(r * param.columns + c)] = pMatrix->m[r][c];
    return D3D_OK;
}

HRESULT WINAPI Effect::GetMatrix(D3DXHANDLE hParameter, D3DXMATRIX* pMatrix)
{
    const int p = MatrixParameter(hParameter);
    if (p < 0 || !pMatrix)
        return D3DERR_INVALIDCALL;
    const EffectParameter& param = m_compiled->source.description.parameters[p];
    std::memset(pMatrix->m, 0, sizeof pMatrix->m);
    for (int r = 0; r < param.rows; ++r)
        for (int c = 0; c < param.columns; ++c)
            pMatrix->m[r][c] = m_values[p][static_cast<size_t>(r * param.columns + c)];
    return D3D_OK;
}

HRESULT WINAPI Effect::GetString(D3DXHANDLE hParameter, LPCSTR* ppString)
{
    if (!ppString)
        return D3DERR_INVALIDCALL;
    if (const EffectAnnotation* a = Annotation(hParameter)) {
        if (a->type != EffectValueType::String)
            return D3DERR_INVALIDCALL;
        *ppString = a->text.c_str();
        return D3D_OK;
    }
    const int p = ParameterIndex(hParameter);
    if (p < 0 || m_compiled->source.description.parameters[p].type != EffectValueType::String)
        return D3DERR_INVALIDCALL;
    // A string parameter keeps its value as an unnamed annotation.
    for (const EffectAnnotation& a : m_compiled->source.description.parameters[p].annotations) {
        if (a.name.empty() && a.type == EffectValueType::String) {
            *ppString = a.text.c_str();
            return D3D_OK;
        }
    }
    *ppString = "";
    return D3D_OK;
}

HRESULT WINAPI Effect::SetTexture(D3DXHANDLE hParameter, LPDIRECT3DBASETEXTURE9 pTexture)
{
    const int p = ParameterIndex(hParameter);
    if (p < 0 || m_compiled->source.description.parameters[p].type != EffectValueType::Texture)
        return D3DERR_INVALIDCALL;
    if (pTexture)
        pTexture->AddRef();
    if (m_textures[p])
        m_textures[p]->Release();
    m_textures[p] = pTexture;
    return D3D_OK;
}

HRESULT WINAPI Effect::GetTexture(D3DXHANDLE hParameter, LPDIRECT3DBASETEXTURE9* ppTexture)
{
    const int p = ParameterIndex(hParameter);
    if (!ppTexture || p < 0 || m_compiled->source.description.parameters[p].type != EffectValueType::Texture)
        return D3DERR_INVALIDCALL;
    *ppTexture = m_textures[p];
    if (*ppTexture)
        (*ppTexture)->AddRef();
    return D3D_OK;
}

// ---- techniques and passes ----

HRESULT WINAPI Effect::SetTechnique(D3DXHANDLE hTechnique)
{
    const int t = TechniqueIndex(hTechnique);
    if (t < 0 || m_begun)
        return D3DERR_INVALIDCALL;
    m_technique = t;
    return D3D_OK;
}

D3DXHANDLE WINAPI Effect::GetCurrentTechnique()
{
    return m_technique < 0 ? nullptr : FindHandle(HandleKind::Technique, m_technique, -1);
}

HRESULT WINAPI Effect::Begin(UINT* pPasses, DWORD Flags)
{
    if (!m_device || m_technique < 0 || m_begun)
        return D3DERR_INVALIDCALL;
    m_begun = true;
    m_pass = -1;
    SaveState(Flags);
    if (pPasses)
        *pPasses = static_cast<UINT>(m_compiled->source.description.techniques[m_technique].passes.size());
    return D3D_OK;
}

HRESULT WINAPI Effect::BeginPass(UINT Pass)
{
    if (!m_device || !m_begun || m_pass >= 0 ||
        Pass >= m_compiled->source.description.techniques[m_technique].passes.size())
        return D3DERR_INVALIDCALL;
    m_pass = static_cast<int>(Pass);
    ApplyPass(true);
    return D3D_OK;
}

HRESULT WINAPI Effect::CommitChanges()
{
    if (!m_device || m_pass < 0)
        return D3DERR_INVALIDCALL;
    ApplyPass(false);
    return D3D_OK;
}

HRESULT WINAPI Effect::EndPass()
{
    if (m_pass < 0)
        return D3DERR_INVALIDCALL;
    m_pass = -1;
    return D3D_OK;
}

HRESULT WINAPI Effect::End()
{
    if (!m_begun)
        return D3DERR_INVALIDCALL;
    m_begun = false;
    m_pass = -1;
    if (m_device)
        RestoreState();
    return D3D_OK;
}

void Effect::ApplyPass(bool renderStates)
{
    const CompiledPassShaders& shaders = m_compiled->source.passes[m_technique][m_pass];
    const EffectPass& pass = m_compiled->source.description.techniques[m_technique].passes[m_pass];
    if (renderStates)
        for (const EffectRenderState& rs : pass.renderStates)
            m_device->SetRenderState(rs.type, rs.value);

    const StageProgram* vertex = m_device->GetVertexProgram();
    const StageProgram* pixel = m_device->GetPixelProgram();
    if (pass.vertexShader.assigned)
        vertex = shaders.vertexShader >= 0 ? &m_compiled->stages[shaders.vertexShader] : nullptr;
    if (pass.pixelShader.assigned)
        pixel = shaders.pixelShader >= 0 ? &m_compiled->stages[shaders.pixelShader] : nullptr;
    m_device->SetStagePrograms(vertex, pixel);
    if (shaders.vertexShader >= 0)
        UploadUniforms(shaders.vertexShader, VERTEX_UNIFORM_BINDING);
    if (shaders.pixelShader < 0)
        return;
    UploadUniforms(shaders.pixelShader, PIXEL_UNIFORM_BINDING);

    // The pass's samplers: their textures and states go to the device's sampler stages.
    const EffectDescription& d = m_compiled->source.description;
    for (const ShaderSampler& s : m_compiled->stages[shaders.pixelShader].shader.samplers) {
        for (const EffectSampler& sampler : d.samplers) {
            if (sampler.name != s.name)
                continue;
            IDirect3DBaseTexture9* texture = nullptr;
            for (size_t p = 0; p < d.parameters.size(); ++p)
                if (d.parameters[p].name == sampler.texture)
                    texture = m_textures[p];
            m_device->SetTexture(static_cast<DWORD>(s.unit), texture);
            for (const EffectSamplerState& st : sampler.states)
                m_device->SetSamplerState(static_cast<DWORD>(s.unit), st.type, st.value);
        }
    }
}

bool Effect::UploadUniforms(int stage, int binding)
{
    const UniformBlockLayout& layout = m_compiled->stages[stage].shader.uniforms;
    if (layout.size == 0)
        return true;
    unsigned char* block = m_uniformScratch.data();
    std::memset(block, 0, layout.size);
    const std::vector<int>& owners = m_compiled->memberParameters[stage];
    for (size_t i = 0; i < layout.members.size(); ++i) {
        const int p = owners[i];
        if (p >= 0)
            PackUniformMember(layout.members[i], m_values[p].data(), m_values[p].size(), block, layout.size);
    }
    return m_device->SetUniformBlock(binding, block, layout.size);
}

void Effect::SaveState(DWORD flags)
{
    m_saved = SavedState();
    if (flags & D3DXFX_DONOTSAVESTATE)
        return;
    const EffectTechnique& technique = m_compiled->source.description.techniques[m_technique];
    for (size_t p = 0; p < technique.passes.size(); ++p) {
        const EffectPass& pass = technique.passes[p];
        for (const EffectRenderState& rs : pass.renderStates) {
            bool known = false;
            for (const auto& saved : m_saved.renderStates)
                known = known || saved.first == rs.type;
            DWORD value = 0;
            if (!known && SUCCEEDED(m_device->GetRenderState(rs.type, &value)))
                m_saved.renderStates.push_back({rs.type, value});
        }
        if (!(flags & D3DXFX_DONOTSAVESHADERSTATE) && (pass.vertexShader.assigned || pass.pixelShader.assigned)) {
            m_saved.shaders = true;
            m_saved.vertex = m_device->GetVertexProgram();
            m_saved.pixel = m_device->GetPixelProgram();
        }
        const int ps = m_compiled->source.passes[m_technique][p].pixelShader;
        if ((flags & D3DXFX_DONOTSAVESAMPLERSTATE) || ps < 0)
            continue;
        for (const ShaderSampler& s : m_compiled->stages[ps].shader.samplers) {
            const DWORD unit = static_cast<DWORD>(s.unit);
            bool known = false;
            for (const auto& saved : m_saved.textures)
                known = known || saved.first == unit;
            if (known)
                continue;
            IDirect3DBaseTexture9* texture = nullptr;
            m_device->GetTexture(unit, &texture);
            m_saved.textures.push_back({unit, texture});
            for (const EffectSampler& sampler : m_compiled->source.description.samplers) {
                if (sampler.name != s.name)
                    continue;
                for (const EffectSamplerState& st : sampler.states) {
                    DWORD value = 0;
                    m_device->GetSamplerState(unit, st.type, &value);
                    m_saved.samplerStates.push_back({unit, {st.type, value}});
                }
            }
        }
    }
}

void Effect::RestoreState()
{
    for (const auto& rs : m_saved.renderStates)
        m_device->SetRenderState(rs.first, rs.second);
    if (m_saved.shaders)
        m_device->SetStagePrograms(m_saved.vertex, m_saved.pixel);
    for (auto it = m_saved.samplerStates.rbegin(); it != m_saved.samplerStates.rend(); ++it)
        m_device->SetSamplerState(it->first, it->second.first, it->second.second);
    for (auto& t : m_saved.textures) {
        m_device->SetTexture(t.first, t.second);
        if (t.second)
            t.second->Release();
    }
    m_saved = SavedState();
}
