#include "Effect.h"
#include "StoredEffects.h"
#include "effect/front/StoredEffect.h"

#include <d3dx9.h>

#include <cstring>
#include <new>

namespace {

HRESULT ReportErrors(const std::string& messages, LPD3DXBUFFER* ppErrors)
{
    if (ppErrors && SUCCEEDED(D3DXCreateBuffer(static_cast<DWORD>(messages.size() + 1), ppErrors)))
        std::memcpy((*ppErrors)->GetBufferPointer(), messages.c_str(), messages.size() + 1);
    return E_FAIL;
}

// The effect's translation: stored when the layer was built, or made now where this build
// translates at run time.
bool TranslateEffect(const std::string& key, const std::string& source, const std::vector<ShaderMacro>& macros,
                     CompiledEffectSource& out, std::string& messages)
{
    if (const CompiledEffectSource* stored = FindStoredEffect(key)) {
        out = *stored;
        return true;
    }
#if SKV_RUNTIME_EFFECT_TRANSLATION
    return CompileEffectSource(source, macros, out, messages);
#else
    messages = UntranslatedEffectMessage(source, macros);
    return false;
#endif
}

// Compiles and links an effect source for the device, or returns the one it already has.
std::shared_ptr<CompiledEffect> CompileForDevice(Device* device, const std::string& source,
                                                 const std::vector<ShaderMacro>& macros, std::string& messages)
{
    const std::string key = EffectKey(source, macros);
    if (std::shared_ptr<CompiledEffect> known = device->FindCompiledEffect(key))
        return known;

    auto compiled = std::make_shared<CompiledEffect>();
    if (!TranslateEffect(key, source, macros, compiled->source, messages))
        return nullptr;
    const std::vector<EffectParameter>& params = compiled->source.description.parameters;
    for (size_t i = 0; i < compiled->source.shaders.size(); ++i) {
        StageProgram stage;
        std::string log;
        if (!device->LinkStage(compiled->source.shaderStages[i], compiled->source.shaders[i], stage, log)) {
            messages = log;
            return nullptr;
        }
        std::vector<int> owners;
        for (const UniformMember& m : stage.shader.uniforms.members) {
            int owner = -1;
            for (size_t p = 0; p < params.size(); ++p)
                if (params[p].name == m.name)
                    owner = static_cast<int>(p);
            owners.push_back(owner);
        }
        if (stage.shader.uniforms.size > compiled->largestUniformBlock)
            compiled->largestUniformBlock = stage.shader.uniforms.size;
        compiled->stages.push_back(std::move(stage));
        compiled->memberParameters.push_back(std::move(owners));
    }
    // Each pass's program links now, so that a failure shows here and not at a draw.
    for (const std::vector<CompiledPassShaders>& technique : compiled->source.passes)
        for (const CompiledPassShaders& pass : technique) {
            if (pass.pixelShader < 0)
                continue;
            const StageProgram* vertex = pass.vertexShader >= 0 ? &compiled->stages[pass.vertexShader] : nullptr;
            if (!device->LinkPair(vertex, compiled->stages[pass.pixelShader], messages))
                return nullptr;
        }
    device->StoreCompiledEffect(key, compiled);
    return compiled;
}

}  // namespace

HRESULT WINAPI D3DXCreateEffect(LPDIRECT3DDEVICE9 pDevice, LPCVOID pSrcData, UINT SrcDataLen, const D3DXMACRO* pDefines,
                                LPD3DXINCLUDE, DWORD, LPD3DXEFFECTPOOL pPool, LPD3DXEFFECT* ppEffect,
                                LPD3DXBUFFER* ppCompilationErrors)
{
    if (ppCompilationErrors)
        *ppCompilationErrors = nullptr;
    if (!ppEffect)
        return D3DERR_INVALIDCALL;
    *ppEffect = nullptr;
    if (!pDevice || !pSrcData || SrcDataLen == 0 || pPool)
        return D3DERR_INVALIDCALL;
    Device* device = AsDevice(pDevice);
    if (!device->IsCurrent())
        return D3DERR_INVALIDCALL;

    const std::string source = EffectSourceText(static_cast<const char*>(pSrcData), SrcDataLen);
    std::vector<ShaderMacro> macros;
    for (const D3DXMACRO* m = pDefines; m && m->Name; ++m)
        macros.push_back({m->Name, m->Definition ? m->Definition : ""});

    std::string messages;
    std::shared_ptr<CompiledEffect> compiled = CompileForDevice(device, source, macros, messages);
    if (!compiled)
        return ReportErrors(messages.empty() ? "error: the effect does not compile" : messages, ppCompilationErrors);
    *ppEffect = new (std::nothrow) Effect(device, compiled);
    return *ppEffect ? D3D_OK : E_OUTOFMEMORY;
}
