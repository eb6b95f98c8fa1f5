#include "EffectCompiler.h"

#include "EffectParser.h"

namespace {

struct ShaderKey {
    std::string entry;
    ShaderStage stage;
};

bool CompileShader(const std::string& source, const EffectShader& shader, ShaderStage stage,
                   const std::vector<ShaderMacro>& macros, const std::vector<std::string>& samplerOrder,
                   std::vector<ShaderKey>& keys, CompiledEffectSource& out, int& index, std::string& messages)
{
    index = -1;
    if (!shader.assigned || shader.IsNull())
        return true;
    if (!shader.arguments.empty()) {
        messages = "error: " + shader.entry + ": arguments to compiled shaders are not supported";
        return false;
    }
    for (size_t i = 0; i < keys.size(); ++i) {
        if (keys[i].entry == shader.entry && keys[i].stage == stage) {
            index = static_cast<int>(i);
            return true;
        }
    }
    TranslatedShader translated;
    std::string log;
    if (!TranslateShader(source, shader.entry, stage, macros, samplerOrder, translated, log)) {
        messages = shader.entry + " (" + shader.profile + "):\n" + log;
        return false;
    }
    keys.push_back({shader.entry, stage});
    out.shaders.push_back(std::move(translated));
    out.shaderStages.push_back(stage);
    index = static_cast<int>(out.shaders.size() - 1);
    return true;
}

// Vertex outputs and pixel inputs meet by location; a pixel input that the vertex shader
// writes with another width would read undefined values.
bool CheckLinkage(const TranslatedShader& vs, const TranslatedShader& ps, std::string& messages)
{
    for (const ShaderVarying& in : ps.inputs) {
        for (const ShaderVarying& outVarying : vs.outputs) {
            if (outVarying.location == in.location && outVarying.components != in.components) {
                messages = "error: " + in.semantic + " is written with " + std::to_string(outVarying.components) +
                           " components and read with " + std::to_string(in.components);
                return false;
            }
        }
    }
    return true;
}

}  // namespace

bool CompileEffectSource(const std::string& source, const std::vector<ShaderMacro>& macros, CompiledEffectSource& out,
                         std::string& messages)
{
    out = CompiledEffectSource();
    messages.clear();
    if (!ParseEffect(source, out.description, messages))
        return false;
    std::vector<std::string> samplerOrder;
    for (const EffectSampler& s : out.description.samplers)
        samplerOrder.push_back(s.name);

    std::vector<ShaderKey> keys;
    for (const EffectTechnique& technique : out.description.techniques) {
        out.passes.emplace_back();
        for (const EffectPass& pass : technique.passes) {
            CompiledPassShaders shaders;
            if (!CompileShader(out.description.shaderSource, pass.vertexShader, ShaderStage::Vertex, macros,
                               samplerOrder, keys, out, shaders.vertexShader, messages) ||
                !CompileShader(out.description.shaderSource, pass.pixelShader, ShaderStage::Pixel, macros, samplerOrder,
                               keys, out, shaders.pixelShader, messages))
                return false;
            if (shaders.vertexShader >= 0 && shaders.pixelShader >= 0 &&
                !CheckLinkage(out.shaders[shaders.vertexShader], out.shaders[shaders.pixelShader], messages)) {
                messages = "pass " + pass.name + ": " + messages;
                return false;
            }
            out.passes.back().push_back(shaders);
        }
    }
    return true;
}
