#include "Device.h"

#include "Surface.h"
#include "Texture.h"
#include "VertexDeclaration.h"
#include "effect/front/ShaderInterface.h"

#include <cstdint>

namespace {

GLenum BlendFactor(DWORD blend)
{
    switch (blend) {
    case D3DBLEND_ZERO: return GL_ZERO;
    case D3DBLEND_ONE: return GL_ONE;
    case D3DBLEND_SRCCOLOR: return GL_SRC_COLOR;
    case D3DBLEND_INVSRCCOLOR: return GL_ONE_MINUS_SRC_COLOR;
    case D3DBLEND_SRCALPHA: return GL_SRC_ALPHA;
    case D3DBLEND_INVSRCALPHA: return GL_ONE_MINUS_SRC_ALPHA;
    case D3DBLEND_DESTALPHA: return GL_DST_ALPHA;
    case D3DBLEND_INVDESTALPHA: return GL_ONE_MINUS_DST_ALPHA;
    case D3DBLEND_DESTCOLOR: return GL_DST_COLOR;
    case D3DBLEND_INVDESTCOLOR: return GL_ONE_MINUS_DST_COLOR;
    case D3DBLEND_SRCALPHASAT: return GL_SRC_ALPHA_SATURATE;
    case D3DBLEND_BLENDFACTOR: return GL_CONSTANT_COLOR;
    case D3DBLEND_INVBLENDFACTOR: return GL_ONE_MINUS_CONSTANT_COLOR;
    default: return GL_ONE;
    }
}

GLenum BlendEquation(DWORD op)
{
    switch (op) {
    case D3DBLENDOP_SUBTRACT: return GL_FUNC_SUBTRACT;
    case D3DBLENDOP_REVSUBTRACT: return GL_FUNC_REVERSE_SUBTRACT;
    case D3DBLENDOP_MIN: return GL_MIN;
    case D3DBLENDOP_MAX: return GL_MAX;
    default: return GL_FUNC_ADD;
    }
}

GLenum CompareFunction(DWORD f)
{
    switch (f) {
    case D3DCMP_NEVER: return GL_NEVER;
    case D3DCMP_LESS: return GL_LESS;
    case D3DCMP_EQUAL: return GL_EQUAL;
    case D3DCMP_LESSEQUAL: return GL_LEQUAL;
    case D3DCMP_GREATER: return GL_GREATER;
    case D3DCMP_NOTEQUAL: return GL_NOTEQUAL;
    case D3DCMP_GREATEREQUAL: return GL_GEQUAL;
    default: return GL_ALWAYS;
    }
}

GLenum AddressMode(DWORD a)
{
    // WebGL 2 has no border colour and no mirror-once: the nearest modes it has (the
    // intro's effects ask for wrap and clamp only).
    switch (a) {
    case D3DTADDRESS_MIRROR:
    case D3DTADDRESS_MIRRORONCE: return GL_MIRRORED_REPEAT;
    case D3DTADDRESS_CLAMP:
    case D3DTADDRESS_BORDER: return GL_CLAMP_TO_EDGE;
    default: return GL_REPEAT;
    }
}

bool PrimitiveShape(D3DPRIMITIVETYPE type, UINT primitives, GLenum& mode, UINT& vertices)
{
    switch (type) {
    case D3DPT_POINTLIST:
        mode = GL_POINTS;
        vertices = primitives;
        return true;
    case D3DPT_LINELIST:
        mode = GL_LINES;
        vertices = primitives * 2;
        return true;
    case D3DPT_LINESTRIP:
        mode = GL_LINE_STRIP;
        vertices = primitives + 1;
        return true;
    case D3DPT_TRIANGLELIST:
        mode = GL_TRIANGLES;
        vertices = primitives * 3;
        return true;
    case D3DPT_TRIANGLESTRIP:
        mode = GL_TRIANGLE_STRIP;
        vertices = primitives + 2;
        return true;
    case D3DPT_TRIANGLEFAN:
        mode = GL_TRIANGLE_FAN;
        vertices = primitives + 2;
        return true;
    default: return false;
    }
}

// Direct3D 9 puts pixel centres at integer coordinates, GL half a pixel further on: every
// vertex program moves its clip position by half a pixel, which the device sets per draw.
// Vertically the move is one subpixel step (1/256) short of half a pixel: Direct3D's fill
// rule keeps pixel centres on a triangle's top edge as seen on screen, GL's (with the
// picture's top row first in memory) those on its bottom edge, and the shorter move puts
// those centres inside for the top edge and outside for the bottom one.
const float VERTICAL_PIXEL_OFFSET = 0.5f - 1.0f / 256.0f;

// Direct3D's clip volume on GL's: y turned over, so that the picture's top row is the
// framebuffer's first (as Direct3D keeps render targets and textures), and depth 0..w
// moved to -w..w. The turn reverses the winding, which the device's front face allows for.
const char CLIP_VOLUME_TO_GL[] =
    "    gl_Position.y = -gl_Position.y;\n"
    "    gl_Position.z = 2.0 * gl_Position.z - gl_Position.w;\n";

const char PIXEL_OFFSET_UNIFORM[] = "skv_PixelOffset";
const char TARGET_SIZE_UNIFORM[] = "skv_TargetSize";

std::string WithPixelCentreOffset(const std::string& glsl)
{
    const char MAIN[] = "void main()";
    const size_t at = glsl.rfind(MAIN);
    if (at == std::string::npos)
        return std::string();
    std::string out = glsl;
    out.replace(at, sizeof MAIN - 1, "void skv_main()");
    return out + "uniform vec2 " + PIXEL_OFFSET_UNIFORM +
           ";\n"
           "void main()\n"
           "{\n"
           "    skv_main();\n"
           "    gl_Position.xy += " +
           PIXEL_OFFSET_UNIFORM + " * gl_Position.w;\n" + CLIP_VOLUME_TO_GL + "}\n";
}

// The vertex program for pre-transformed vertices: x and y are pixels of the target, z is
// depth and w holds 1 / w. Each pixel-shader input gets the declaration's element of the
// same semantic, as Direct3D's fixed vertex processing passes them on.
std::string PreTransformedVertexSource(const std::vector<ShaderVarying>& inputs)
{
    std::string s =
        "#version 300 es\n"
        "layout(location = 0) in vec4 a_Position;\n"
        "layout(location = 2) in vec4 a_Color0;\n"
        "layout(location = 3) in vec4 a_Color1;\n";
    for (int i = 0; i < 8; ++i)
        s += "layout(location = " + std::to_string(4 + i) + ") in vec4 a_TexCoord" + std::to_string(i) + ";\n";
    s += std::string("uniform vec2 ") + TARGET_SIZE_UNIFORM + ";\n";
    static const char* const TYPES[] = {"float", "vec2", "vec3", "vec4"};
    static const char* const SWIZZLES[] = {"x", "xy", "xyz", "xyzw"};
    std::string body;
    for (const ShaderVarying& in : inputs) {
        const int n = in.components >= 1 && in.components <= 4 ? in.components : 4;
        const std::string name = VaryingName(in.semantic);
        s += std::string("out ") + TYPES[n - 1] + " " + name + ";\n";
        std::string source = "vec4(0.0)";
        if (in.location <= 7)
            source = "a_TexCoord" + std::to_string(in.location);
        else if (in.location == 8 || in.location == 9)
            source = "a_Color" + std::to_string(in.location - 8);
        body += "    " + name + " = " + source + "." + SWIZZLES[n - 1] + ";\n";
    }
    s += std::string(
             "void main()\n"
             "{\n"
             "    float w = a_Position.w != 0.0 ? 1.0 / a_Position.w : 1.0;\n"
             "    vec2 ndc = vec2((2.0 * a_Position.x + 1.0) / ") +
         TARGET_SIZE_UNIFORM +
         ".x - 1.0,\n"
         "                    1.0 - (2.0 * a_Position.y + 0.9921875) / " +  // 2 x VERTICAL_PIXEL_OFFSET
         TARGET_SIZE_UNIFORM +
         ".y);\n"
         "    gl_Position = vec4(ndc * w, a_Position.z * w, w);\n" +
         CLIP_VOLUME_TO_GL + body + "}\n";
    return s;
}

std::string InfoLog(GLuint object, bool program)
{
    GLint length = 0;
    if (program)
        glGetProgramiv(object, GL_INFO_LOG_LENGTH, &length);
    else
        glGetShaderiv(object, GL_INFO_LOG_LENGTH, &length);
    std::string message(static_cast<size_t>(length > 0 ? length : 1), '\0');
    if (program)
        glGetProgramInfoLog(object, static_cast<GLsizei>(message.size()), nullptr, &message[0]);
    else
        glGetShaderInfoLog(object, static_cast<GLsizei>(message.size()), nullptr, &message[0]);
    return message.c_str();
}

}  // namespace

GLuint Device::CompileShader(GLenum type, const std::string& glsl, std::string& log)
{
    const std::string key = std::to_string(type) + "\n" + glsl;
    const auto at = m_shaders.find(key);
    if (at != m_shaders.end())
        return at->second;
    const char* text = glsl.c_str();
    const GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint compiled = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (!compiled) {
        log = "GL compile error: " + InfoLog(shader, false);
        glDeleteShader(shader);
        return 0;
    }
    m_shaders[key] = shader;
    return shader;
}

const Device::LinkedProgram* Device::Link(GLuint vertexShader, const StageProgram& pixel, std::string& log)
{
    const std::pair<GLuint, GLuint> key(vertexShader, pixel.glShader);
    const auto at = m_linkedPrograms.find(key);
    if (at != m_linkedPrograms.end())
        return &at->second;
    const GLuint program = glCreateProgram();
    glAttachShader(program, vertexShader);
    glAttachShader(program, pixel.glShader);
    glLinkProgram(program);
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (!linked) {
        log = "GL link error: " + InfoLog(program, true);
        glDeleteProgram(program);
        return nullptr;
    }
    // GLSL ES 3.00 places neither blocks nor samplers itself: the device's fixed bindings
    // and units are set once here.
    for (int binding : {VERTEX_UNIFORM_BINDING, PIXEL_UNIFORM_BINDING}) {
        const GLuint block = glGetUniformBlockIndex(program, UniformBlockName(binding));
        if (block != GL_INVALID_INDEX)
            glUniformBlockBinding(program, block, static_cast<GLuint>(binding));
    }
    glUseProgram(program);
    m_boundProgram = program;
    for (const ShaderSampler& s : pixel.shader.samplers)
        glUniform1i(glGetUniformLocation(program, SamplerUniformName(s.unit).c_str()), s.unit);
    LinkedProgram linkedProgram;
    linkedProgram.program = program;
    linkedProgram.placement = glGetUniformLocation(program, PIXEL_OFFSET_UNIFORM);
    if (linkedProgram.placement < 0)
        linkedProgram.placement = glGetUniformLocation(program, TARGET_SIZE_UNIFORM);
    return &(m_linkedPrograms[key] = linkedProgram);
}

bool Device::LinkStage(ShaderStage stage, const TranslatedShader& shader, StageProgram& out, std::string& log)
{
    out.stage = stage;
    out.shader = shader;
    if (stage == ShaderStage::Vertex) {
        const std::string glsl = WithPixelCentreOffset(shader.glsl);
        out.glShader = glsl.empty() ? 0 : CompileShader(GL_VERTEX_SHADER, glsl, log);
        return out.glShader != 0;
    }
    out.glShader = CompileShader(GL_FRAGMENT_SHADER, shader.glsl, log);
    if (!out.glShader)
        return false;
    out.preTransformedShader = CompileShader(GL_VERTEX_SHADER, PreTransformedVertexSource(shader.inputs), log);
    return out.preTransformedShader != 0;
}

bool Device::LinkPair(const StageProgram* vertex, const StageProgram& pixel, std::string& log)
{
    return Link(vertex ? vertex->glShader : pixel.preTransformedShader, pixel, log) != nullptr;
}

void Device::SetStagePrograms(const StageProgram* vertex, const StageProgram* pixel)
{
    m_vertexProgram = vertex;
    m_pixelProgram = pixel;
}

bool Device::SetUniformBlock(int binding, const void* data, size_t size)
{
    if ((binding != VERTEX_UNIFORM_BINDING && binding != PIXEL_UNIFORM_BINDING) || !data || size == 0)
        return false;
    UniformBlock& block = m_uniformBlocks[binding];
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    block.data.assign(bytes, bytes + size);
    block.written = false;
    return true;
}

bool Device::UploadUniformBlocks(size_t reserve)
{
    // The draw's own data and every block fit without new storage, so that none of them is
    // lost to the storage the next one would start.
    size_t bytes = reserve;
    for (const UniformBlock& block : m_uniformBlocks)
        bytes += block.data.size() + static_cast<size_t>(m_uniformAlignment);
    const unsigned generation = m_stream.Generation();
    if (!m_stream.Reserve(bytes))
        return false;
    for (int binding = 0; binding < 2; ++binding) {
        UniformBlock& block = m_uniformBlocks[binding];
        if (block.data.empty() || (block.written && generation == m_stream.Generation()))
            continue;
        const GLintptr offset = m_stream.Write(block.data.data(), block.data.size(),
                                               static_cast<size_t>(m_uniformAlignment));
        if (offset < 0)
            return false;
        glBindBufferRange(GL_UNIFORM_BUFFER, static_cast<GLuint>(binding), m_stream.Buffer(), offset,
                          static_cast<GLsizeiptr>(block.data.size()));
        block.written = true;
    }
    return true;
}

void Device::ApplyState()
{
    if (!m_renderStatesDirty)
        return;
    m_renderStatesDirty = false;
    const std::array<DWORD, 256>& rs = m_renderStates;

    if (rs[D3DRS_CULLMODE] == D3DCULL_NONE) {
        glDisable(GL_CULL_FACE);
    } else {
        // The vertex programs turn y over, and with it the winding GL sees.
        glEnable(GL_CULL_FACE);
        glFrontFace(GL_CW);
        glCullFace(rs[D3DRS_CULLMODE] == D3DCULL_CW ? GL_BACK : GL_FRONT);
    }
    if (rs[D3DRS_ZENABLE] != D3DZB_FALSE && m_depthBuffer) {
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(CompareFunction(rs[D3DRS_ZFUNC]));
    } else {
        glDisable(GL_DEPTH_TEST);
    }
    glDepthMask(rs[D3DRS_ZWRITEENABLE] ? GL_TRUE : GL_FALSE);

    if (rs[D3DRS_ALPHABLENDENABLE]) {
        glEnable(GL_BLEND);
        DWORD src = rs[D3DRS_SRCBLEND], dst = rs[D3DRS_DESTBLEND];
        if (src == D3DBLEND_BOTHSRCALPHA) {
            src = D3DBLEND_SRCALPHA;
            dst = D3DBLEND_INVSRCALPHA;
        } else if (src == D3DBLEND_BOTHINVSRCALPHA) {
            src = D3DBLEND_INVSRCALPHA;
            dst = D3DBLEND_SRCALPHA;
        }
        DWORD srcAlpha = src, dstAlpha = dst, opAlpha = rs[D3DRS_BLENDOP];
        if (rs[D3DRS_SEPARATEALPHABLENDENABLE]) {
            srcAlpha = rs[D3DRS_SRCBLENDALPHA];
            dstAlpha = rs[D3DRS_DESTBLENDALPHA];
            opAlpha = rs[D3DRS_BLENDOPALPHA];
        }
        glBlendFuncSeparate(BlendFactor(src), BlendFactor(dst), BlendFactor(srcAlpha), BlendFactor(dstAlpha));
        glBlendEquationSeparate(BlendEquation(rs[D3DRS_BLENDOP]), BlendEquation(opAlpha));
        const DWORD f = rs[D3DRS_BLENDFACTOR];
        glBlendColor(((f >> 16) & 0xFF) / 255.0f, ((f >> 8) & 0xFF) / 255.0f, (f & 0xFF) / 255.0f,
                     ((f >> 24) & 0xFF) / 255.0f);
    } else {
        glDisable(GL_BLEND);
    }
    const DWORD mask = rs[D3DRS_COLORWRITEENABLE];
    glColorMask((mask & D3DCOLORWRITEENABLE_RED) != 0, (mask & D3DCOLORWRITEENABLE_GREEN) != 0,
                (mask & D3DCOLORWRITEENABLE_BLUE) != 0, (mask & D3DCOLORWRITEENABLE_ALPHA) != 0);
    // D3DRS_FILLMODE stays solid: WebGL 2 draws no polygon outlines, and the intro asks for none.
}

bool Device::BindPrograms(bool preTransformed)
{
    if (!m_pixelProgram || !m_pixelProgram->glShader)
        return false;  // no fixed-function pixel processing in this layer
    GLuint vertex = 0;
    if (preTransformed)
        vertex = m_pixelProgram->preTransformedShader;
    else if (m_vertexProgram)
        vertex = m_vertexProgram->glShader;
    if (!vertex)
        return false;
    std::string log;
    const LinkedProgram* linked = Link(vertex, *m_pixelProgram, log);
    if (!linked)
        return false;
    if (linked->program != m_boundProgram) {
        glUseProgram(linked->program);
        m_boundProgram = linked->program;
    }
    if (preTransformed)
        glUniform2f(linked->placement, static_cast<float>(m_targetWidth), static_cast<float>(m_targetHeight));
    else
        glUniform2f(linked->placement, 1.0f / static_cast<float>(m_targetWidth),
                    -2.0f * VERTICAL_PIXEL_OFFSET / static_cast<float>(m_targetHeight));
    return true;
}

GLuint Device::SamplerObject(const DWORD* states)
{
    std::array<DWORD, SAMPLER_STATE_COUNT> key;
    for (int i = 0; i < SAMPLER_STATE_COUNT; ++i)
        key[i] = states[i];
    key[D3DSAMP_SRGBTEXTURE] = 0;
    for (const auto& s : m_samplerObjects)
        if (s.first == key)
            return s.second;
    GLuint sampler = 0;
    glGenSamplers(1, &sampler);
    const bool minLinear = key[D3DSAMP_MINFILTER] >= D3DTEXF_LINEAR;
    GLenum minFilter = minLinear ? GL_LINEAR : GL_NEAREST;
    if (key[D3DSAMP_MIPFILTER] == D3DTEXF_POINT)
        minFilter = minLinear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
    else if (key[D3DSAMP_MIPFILTER] >= D3DTEXF_LINEAR)
        minFilter = minLinear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
    glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, static_cast<GLint>(minFilter));
    glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER,
                        key[D3DSAMP_MAGFILTER] >= D3DTEXF_LINEAR ? GL_LINEAR : GL_NEAREST);
    glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S, static_cast<GLint>(AddressMode(key[D3DSAMP_ADDRESSU])));
    glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T, static_cast<GLint>(AddressMode(key[D3DSAMP_ADDRESSV])));
    glSamplerParameteri(sampler, GL_TEXTURE_WRAP_R, static_cast<GLint>(AddressMode(key[D3DSAMP_ADDRESSW])));
    // WebGL 2 has no border colour and no level-of-detail bias; the intro sets neither.
    if (key[D3DSAMP_MAXMIPLEVEL] != 0)
        glSamplerParameterf(sampler, GL_TEXTURE_MIN_LOD, static_cast<float>(key[D3DSAMP_MAXMIPLEVEL]));
    m_samplerObjects.emplace_back(key, sampler);
    return sampler;
}

void Device::BindSamplers()
{
    for (const ShaderSampler& s : m_pixelProgram->shader.samplers) {
        const GLuint unit = static_cast<GLuint>(s.unit);
        Texture* texture = m_samplerStages[unit].texture ? AsTexture(m_samplerStages[unit].texture) : nullptr;
        glActiveTexture(GL_TEXTURE0 + unit);
        glBindTexture(GL_TEXTURE_2D, texture ? texture->GlTexture() : 0);
        glBindSampler(unit, SamplerObject(m_samplerStages[unit].states));
    }
}

HRESULT WINAPI Device::DrawPrimitiveUP(D3DPRIMITIVETYPE PrimitiveType, UINT PrimitiveCount,
                                       const void* pVertexStreamZeroData, UINT VertexStreamZeroStride)
{
    GLenum mode;
    UINT vertices;
    if (!m_inScene || !m_declaration || !pVertexStreamZeroData || VertexStreamZeroStride == 0 || PrimitiveCount == 0 ||
        !PrimitiveShape(PrimitiveType, PrimitiveCount, mode, vertices))
        return D3DERR_INVALIDCALL;
    if (!BindPrograms(m_declaration->IsPreTransformed()))
        return D3DERR_INVALIDCALL;
    const UINT stride = VertexStreamZeroStride;
    const size_t size = static_cast<size_t>(vertices) * stride;
    // The vertices start on a whole vertex, so the draw's first vertex says where; and on
    // four bytes, as WebGL wants attributes.
    const size_t alignment = stride % 4 == 0 ? stride : stride % 2 == 0 ? stride * 2 : stride * 4;
    if (!UploadUniformBlocks(size + alignment))
        return D3DERR_INVALIDCALL;
    const void* data = pVertexStreamZeroData;
    if (m_declaration->HasColours()) {
        m_vertexScratch.resize(size);
        m_declaration->SwapColourBytes(static_cast<const unsigned char*>(pVertexStreamZeroData), m_vertexScratch.data(),
                                       vertices, stride);
        data = m_vertexScratch.data();
    }
    const GLintptr offset = m_stream.Write(data, size, alignment);
    if (offset < 0)
        return D3DERR_INVALIDCALL;
    ApplyState();
    BindSamplers();
    m_declaration->Bind(m_stream.Buffer(), static_cast<GLsizei>(stride));
    glDrawArrays(mode, static_cast<GLint>(static_cast<size_t>(offset) / stride), static_cast<GLsizei>(vertices));
    return D3D_OK;
}

bool Device::DrawIndexedTriangles(GLuint vertexArray, UINT firstIndex, UINT indexCount)
{
    if (!m_inScene || !vertexArray || indexCount == 0 || !BindPrograms(false) || !UploadUniformBlocks(0))
        return false;
    ApplyState();
    BindSamplers();
    glBindVertexArray(vertexArray);
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(indexCount), GL_UNSIGNED_INT,
                   reinterpret_cast<const void*>(static_cast<uintptr_t>(firstIndex) * sizeof(uint32_t)));
    return true;
}
