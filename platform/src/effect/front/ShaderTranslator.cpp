#include "ShaderTranslator.h"

#include "ShaderInterface.h"

#include <d3d9types.h>

#include <glslang/Public/ResourceLimits.h>
#include <glslang/Public/ShaderLang.h>
#include <glslang/MachineIndependent/localintermediate.h>
#include <glslang/SPIRV/GlslangToSpv.h>
#include <spirv_cross_c.h>

#include <algorithm>
#include <mutex>

namespace {

void InitializeGlslangOnce()
{
    static std::once_flag s_once;
    std::call_once(s_once, [] { glslang::InitializeProcess(); });
}

// Owns a SPIRV-Cross context for the length of one translation.
class CrossContext {
public:
    CrossContext() { spvc_context_create(&m_context); }
    ~CrossContext()
    {
        if (m_context)
            spvc_context_destroy(m_context);
    }
    spvc_context Get() const { return m_context; }
    std::string LastError() const
    {
        const char* e = m_context ? spvc_context_get_last_error_string(m_context) : nullptr;
        return e ? e : "SPIRV-Cross failed";
    }

private:
    spvc_context m_context = nullptr;
};

bool CompileToSpirv(const std::string& source, const std::string& entry, ShaderStage stage,
                    const std::vector<ShaderMacro>& macros, std::vector<unsigned>& spirv, std::string& messages)
{
    InitializeGlslangOnce();
    const EShLanguage language = stage == ShaderStage::Vertex ? EShLangVertex : EShLangFragment;
    glslang::TShader shader(language);
    const char* text = source.c_str();
    const int length = static_cast<int>(source.size());
    const char* name = "effect";
    shader.setStringsWithLengthsAndNames(&text, &length, &name, 1);
    std::string preamble;
    for (const ShaderMacro& m : macros)
        preamble += "#define " + m.name + " " + m.definition + "\n";
    shader.setPreamble(preamble.c_str());
    shader.setEntryPoint(entry.c_str());
    shader.setSourceEntryPoint(entry.c_str());
    shader.setEnvInput(glslang::EShSourceHlsl, language, glslang::EShClientOpenGL, 100);
    shader.setEnvClient(glslang::EShClientOpenGL, glslang::EShTargetOpenGL_450);
    shader.setEnvTarget(glslang::EShTargetSpv, glslang::EShTargetSpv_1_0);
    // Keeps each variable's HLSL semantic in the SPIR-V, where the locations are chosen.
    shader.setEnvTargetHlslFunctionality1();
    shader.setAutoMapLocations(true);
    shader.setAutoMapBindings(true);
    const EShMessages rules = static_cast<EShMessages>(EShMsgReadHlsl | EShMsgHlslDX9Compatible | EShMsgSpvRules);
    if (!shader.parse(GetDefaultResources(), 100, false, rules)) {
        messages = shader.getInfoLog();
        return false;
    }
    if (shader.getIntermediate()->getNumEntryPoints() < 1) {
        messages = "error: entry point " + entry + " not found";
        return false;
    }
    glslang::TProgram program;
    program.addShader(&shader);
    if (!program.link(rules)) {
        messages = program.getInfoLog();
        return false;
    }
    glslang::SpvOptions options;
    options.disableOptimizer = false;  // legalizes HLSL and drops unused inputs
    spv::SpvBuildLogger logger;
    glslang::GlslangToSpv(*program.getIntermediate(language), spirv, &logger, &options);
    if (spirv.empty()) {
        messages = "SPIR-V generation failed: " + logger.getAllMessages();
        return false;
    }
    return true;
}

std::string SemanticOf(spvc_compiler compiler, spvc_variable_id id)
{
    const char* s = spvc_compiler_get_decoration_string(compiler, id, SpvDecorationUserSemantic);
    std::string name;
    int index = 0;
    SplitSemantic(s ? s : "", name, index);
    return name + std::to_string(index);
}

int ComponentsOf(spvc_compiler compiler, spvc_type_id typeId)
{
    return static_cast<int>(spvc_type_get_vector_size(spvc_compiler_get_type_handle(compiler, typeId)));
}

bool IsBuiltIn(spvc_compiler compiler, spvc_variable_id id)
{
    return spvc_compiler_has_decoration(compiler, id, SpvDecorationBuiltIn) != SPVC_FALSE;
}

void SetBuiltIn(spvc_compiler compiler, spvc_variable_id id, SpvBuiltIn builtIn)
{
    spvc_compiler_unset_decoration(compiler, id, SpvDecorationLocation);
    spvc_compiler_set_decoration(compiler, id, SpvDecorationBuiltIn, builtIn);
}

// The location of a stage input or output; -1 for a semantic the stage
// cannot have, or MADE_BUILT_IN where the variable became a built-in instead,
// which takes none.
const int MADE_BUILT_IN = -2;

int MakeBuiltIn(spvc_compiler compiler, spvc_variable_id id, SpvBuiltIn builtIn)
{
    SetBuiltIn(compiler, id, builtIn);
    return MADE_BUILT_IN;
}

int PlaceInput(spvc_compiler compiler, spvc_variable_id id, ShaderStage stage, const std::string& semantic)
{
    std::string name;
    int index = 0;
    SplitSemantic(semantic, name, index);
    if (stage == ShaderStage::Vertex) {
        static const struct {
            const char* name;
            int usage;
        } USAGES[] = {{"POSITION", D3DDECLUSAGE_POSITION},
                      {"SV_POSITION", D3DDECLUSAGE_POSITION},
                      {"NORMAL", D3DDECLUSAGE_NORMAL},
                      {"COLOR", D3DDECLUSAGE_COLOR},
                      {"TEXCOORD", D3DDECLUSAGE_TEXCOORD},
                      {"TANGENT", D3DDECLUSAGE_TANGENT},
                      {"BINORMAL", D3DDECLUSAGE_BINORMAL},
                      {"BLENDWEIGHT", D3DDECLUSAGE_BLENDWEIGHT},
                      {"BLENDINDICES", D3DDECLUSAGE_BLENDINDICES}};
        int location = -1;
        for (const auto& u : USAGES)
            if (name == u.name)
                location = AttributeLocation(u.usage, index);
        return location;
    }
    // Not readable in shader model 2; where a shader names it, it gets the pixel position.
    if (name == "POSITION" || name == "SV_POSITION" || name == "VPOS")
        return MakeBuiltIn(compiler, id, SpvBuiltInFragCoord);
    return VaryingLocation(semantic);
}

int PlaceOutput(spvc_compiler compiler, spvc_variable_id id, ShaderStage stage, const std::string& semantic)
{
    std::string name;
    int index = 0;
    SplitSemantic(semantic, name, index);
    if (stage == ShaderStage::Vertex) {
        if (name == "POSITION" || name == "SV_POSITION")
            return MakeBuiltIn(compiler, id, SpvBuiltInPosition);
        return VaryingLocation(semantic);
    }
    if (name == "DEPTH" || name == "SV_DEPTH")
        return MakeBuiltIn(compiler, id, SpvBuiltInFragDepth);
    return (name == "COLOR" || name == "SV_TARGET") && index == 0 ? 0 : -1;
}

// Places the stage's inputs or its outputs by their semantics. The varyings
// between the stages (vertex outputs, pixel inputs) are also named after
// their semantic, so that the two stages link by name; those of this stage's
// interface that the caller keeps go into record.
bool PlaceVariables(spvc_compiler compiler, spvc_resources resources, ShaderStage stage, bool outputs,
                    std::vector<ShaderVarying>* record, std::string& messages)
{
    const spvc_reflected_resource* list = nullptr;
    size_t count = 0;
    spvc_resources_get_resource_list_for_type(resources,
                                              outputs ? SPVC_RESOURCE_TYPE_STAGE_OUTPUT
                                                      : SPVC_RESOURCE_TYPE_STAGE_INPUT,
                                              &list, &count);
    const bool varyings = outputs == (stage == ShaderStage::Vertex);
    for (size_t i = 0; i < count; ++i) {
        if (IsBuiltIn(compiler, list[i].id))
            continue;
        const std::string semantic = SemanticOf(compiler, list[i].id);
        const spvc_variable_id id = list[i].id;
        const int location = outputs ? PlaceOutput(compiler, id, stage, semantic)
                                     : PlaceInput(compiler, id, stage, semantic);
        if (location == MADE_BUILT_IN)
            continue;
        if (location < 0) {
            messages = std::string("error: unsupported ") + (outputs ? "output" : "input") + " semantic " + semantic;
            return false;
        }
        spvc_compiler_set_decoration(compiler, id, SpvDecorationLocation, static_cast<unsigned>(location));
        if (varyings)
            spvc_compiler_set_name(compiler, id, VaryingName(semantic).c_str());
        if (record)
            record->push_back({semantic, location, ComponentsOf(compiler, list[i].type_id)});
    }
    return true;
}

// Places every input and output by its semantic.
bool PlaceInterface(spvc_compiler compiler, spvc_resources resources, ShaderStage stage, TranslatedShader& out,
                    std::string& messages)
{
    // A pixel shader's outputs are the render targets: nothing to record.
    if (!PlaceVariables(compiler, resources, stage, false, &out.inputs, messages) ||
        !PlaceVariables(compiler, resources, stage, true, stage == ShaderStage::Vertex ? &out.outputs : nullptr,
                        messages))
        return false;

    for (const std::vector<ShaderVarying>* set : {&out.inputs, &out.outputs})
        for (size_t a = 0; a < set->size(); ++a)
            for (size_t b = a + 1; b < set->size(); ++b)
                if ((*set)[a].location == (*set)[b].location) {
                    messages = "error: semantic " + (*set)[b].semantic + " used twice";
                    return false;
                }
    return true;
}

UniformBaseType BaseTypeOf(spvc_basetype t)
{
    switch (t) {
    case SPVC_BASETYPE_INT32: return UniformBaseType::Int;
    case SPVC_BASETYPE_UINT32: return UniformBaseType::UInt;
    case SPVC_BASETYPE_BOOLEAN: return UniformBaseType::Bool;
    default: return UniformBaseType::Float;
    }
}

bool ReflectUniforms(spvc_compiler compiler, spvc_resources resources, ShaderStage stage, TranslatedShader& out,
                     std::string& messages)
{
    const spvc_reflected_resource* list = nullptr;
    size_t count = 0;
    spvc_resources_get_resource_list_for_type(resources, SPVC_RESOURCE_TYPE_UNIFORM_BUFFER, &list, &count);
    if (count > 1) {
        messages = "error: constant buffers are not supported";
        return false;
    }
    if (count == 0)
        return true;
    const unsigned binding = stage == ShaderStage::Vertex ? VERTEX_UNIFORM_BINDING : PIXEL_UNIFORM_BINDING;
    spvc_compiler_set_decoration(compiler, list[0].id, SpvDecorationDescriptorSet, 0);
    spvc_compiler_set_decoration(compiler, list[0].id, SpvDecorationBinding, binding);

    const spvc_type_id blockId = list[0].base_type_id;
    // Both stages of a program share one namespace of blocks: each stage's has its own name.
    spvc_compiler_set_name(compiler, blockId, UniformBlockName(static_cast<int>(binding)));
    spvc_type block = spvc_compiler_get_type_handle(compiler, blockId);
    size_t size = 0;
    if (spvc_compiler_get_declared_struct_size(compiler, block, &size) != SPVC_SUCCESS || size == 0) {
        messages = "error: cannot lay out the shader's parameters";
        return false;
    }
    out.uniforms.size = static_cast<uint32_t>(size);
    const unsigned members = spvc_type_get_num_member_types(block);
    for (unsigned i = 0; i < members; ++i) {
        UniformMember m;
        const char* name = spvc_compiler_get_member_name(compiler, blockId, i);
        m.name = name ? name : "";
        spvc_type type = spvc_compiler_get_type_handle(compiler, spvc_type_get_member_type(block, i));
        if (spvc_type_get_basetype(type) == SPVC_BASETYPE_STRUCT) {
            messages = "error: structure parameters are not supported (" + m.name + ")";
            return false;
        }
        unsigned offset = 0;
        spvc_compiler_type_struct_member_offset(compiler, block, i, &offset);
        m.offset = offset;
        m.baseType = BaseTypeOf(spvc_type_get_basetype(type));
        const unsigned vectorSize = spvc_type_get_vector_size(type);
        const unsigned columns = spvc_type_get_columns(type);
        if (columns > 1) {
            // HLSL's rows are SPIR-V's columns.
            m.rows = static_cast<int>(columns);
            m.columns = static_cast<int>(vectorSize);
            unsigned stride = 0;
            spvc_compiler_type_struct_member_matrix_stride(compiler, block, i, &stride);
            m.matrixStride = stride;
            m.columnsContiguous = spvc_compiler_has_member_decoration(compiler, blockId, i, SpvDecorationRowMajor) !=
                                  SPVC_FALSE;
        } else {
            m.rows = 1;
            m.columns = static_cast<int>(vectorSize);
        }
        if (spvc_type_get_num_array_dimensions(type) > 0) {
            if (spvc_type_get_num_array_dimensions(type) > 1) {
                messages = "error: arrays of arrays are not supported (" + m.name + ")";
                return false;
            }
            m.elements = static_cast<int>(spvc_type_get_array_dimension(type, 0));
            unsigned arrayStride = 0;
            spvc_compiler_type_struct_member_array_stride(compiler, block, i, &arrayStride);
            m.arrayStride = arrayStride;
        }
        out.uniforms.members.push_back(m);
    }
    return true;
}

bool PlaceSamplers(spvc_compiler compiler, spvc_resources resources, ShaderStage stage,
                   const std::vector<std::string>& samplerOrder, TranslatedShader& out, std::string& messages)
{
    const spvc_reflected_resource* list = nullptr;
    size_t count = 0;
    spvc_resources_get_resource_list_for_type(resources, SPVC_RESOURCE_TYPE_SAMPLED_IMAGE, &list, &count);
    if (count == 0)
        return true;
    if (stage == ShaderStage::Vertex) {
        messages = "error: vertex shader texture sampling is not supported";
        return false;
    }
    std::vector<size_t> order(count);
    for (size_t i = 0; i < count; ++i)
        order[i] = i;
    auto rank = [&](size_t i) {
        const std::string name = list[i].name ? list[i].name : "";
        const auto at = std::find(samplerOrder.begin(), samplerOrder.end(), name);
        return static_cast<size_t>(at - samplerOrder.begin());
    };
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return rank(a) < rank(b); });
    if (count > static_cast<size_t>(MAX_SAMPLER_UNITS)) {
        messages = "error: too many samplers";
        return false;
    }
    for (size_t unit = 0; unit < count; ++unit) {
        const spvc_reflected_resource& r = list[order[unit]];
        spvc_compiler_set_decoration(compiler, r.id, SpvDecorationDescriptorSet, 0);
        spvc_compiler_set_decoration(compiler, r.id, SpvDecorationBinding, static_cast<unsigned>(unit));
        spvc_compiler_set_name(compiler, r.id, SamplerUniformName(static_cast<int>(unit)).c_str());
        out.samplers.push_back({r.name ? r.name : "", static_cast<int>(unit)});
    }
    return true;
}

}  // namespace

bool TranslateShader(const std::string& source, const std::string& entry, ShaderStage stage,
                     const std::vector<ShaderMacro>& macros, const std::vector<std::string>& samplerOrder,
                     TranslatedShader& out, std::string& messages)
{
    out = TranslatedShader();
    messages.clear();
    std::vector<unsigned> spirv;
    if (!CompileToSpirv(source, entry, stage, macros, spirv, messages))
        return false;

    CrossContext context;
    spvc_parsed_ir ir = nullptr;
    spvc_compiler compiler = nullptr;
    spvc_resources resources = nullptr;
    if (!context.Get() || spvc_context_parse_spirv(context.Get(), spirv.data(), spirv.size(), &ir) != SPVC_SUCCESS ||
        spvc_context_create_compiler(context.Get(), SPVC_BACKEND_GLSL, ir, SPVC_CAPTURE_MODE_TAKE_OWNERSHIP,
                                     &compiler) != SPVC_SUCCESS ||
        spvc_compiler_create_shader_resources(compiler, &resources) != SPVC_SUCCESS) {
        messages = "error: " + context.LastError();
        return false;
    }
    if (!PlaceInterface(compiler, resources, stage, out, messages) ||
        !ReflectUniforms(compiler, resources, stage, out, messages) ||
        !PlaceSamplers(compiler, resources, stage, samplerOrder, out, messages))
        return false;

    spvc_compiler_options options = nullptr;
    const char* glsl = nullptr;
    if (spvc_compiler_create_compiler_options(compiler, &options) != SPVC_SUCCESS ||
        spvc_compiler_options_set_uint(options, SPVC_COMPILER_OPTION_GLSL_VERSION, 300) != SPVC_SUCCESS ||
        spvc_compiler_options_set_bool(options, SPVC_COMPILER_OPTION_GLSL_ES, SPVC_TRUE) != SPVC_SUCCESS ||
        spvc_compiler_options_set_bool(options, SPVC_COMPILER_OPTION_GLSL_SEPARATE_SHADER_OBJECTS, SPVC_FALSE) !=
            SPVC_SUCCESS ||
        // Direct3D computes in full float precision; so does every GL this runs on.
        spvc_compiler_options_set_bool(options, SPVC_COMPILER_OPTION_GLSL_ES_DEFAULT_FLOAT_PRECISION_HIGHP,
                                       SPVC_TRUE) != SPVC_SUCCESS ||
        spvc_compiler_options_set_bool(options, SPVC_COMPILER_OPTION_GLSL_ES_DEFAULT_INT_PRECISION_HIGHP, SPVC_TRUE) !=
            SPVC_SUCCESS ||
        spvc_compiler_install_compiler_options(compiler, options) != SPVC_SUCCESS ||
        spvc_compiler_compile(compiler, &glsl) != SPVC_SUCCESS || !glsl) {
        messages = "error: " + context.LastError();
        return false;
    }
    out.glsl = glsl;
    return true;
}
