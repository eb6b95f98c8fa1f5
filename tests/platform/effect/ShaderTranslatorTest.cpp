#include "TestEffects.h"
#include "effect/front/EffectCompiler.h"
#include "effect/front/ShaderInterface.h"

#include <gtest/gtest.h>

namespace {

const UniformMember* FindMember(const TranslatedShader& s, const std::string& name)
{
    for (const UniformMember& m : s.uniforms.members)
        if (m.name == name)
            return &m;
    return nullptr;
}

CompiledEffectSource MustCompile(const std::string& source)
{
    CompiledEffectSource c;
    std::string messages;
    EXPECT_TRUE(CompileEffectSource(source, {}, c, messages)) << messages;
    return c;
}

}  // namespace

TEST(ShaderTranslator, SceneEffectCompilesEveryPass)
{
    const CompiledEffectSource c = MustCompile(SCENE_EFFECT);
    ASSERT_EQ(c.passes.size(), 2u);
    ASSERT_EQ(c.passes[0].size(), 3u);
    EXPECT_EQ(c.passes[0][0].vertexShader, c.passes[0][1].vertexShader) << "one entry point compiles once";
    EXPECT_NE(c.passes[0][0].pixelShader, c.passes[0][1].pixelShader);
    EXPECT_EQ(c.passes[1][0].vertexShader, -1) << "VertexShader = NULL";
    EXPECT_GE(c.passes[1][0].pixelShader, 0);
}

TEST(ShaderTranslator, VertexPositionReachesGlPosition)
{
    const CompiledEffectSource c = MustCompile(SCENE_EFFECT);
    const TranslatedShader& vs = c.shaders.at(c.passes[0][0].vertexShader);
    EXPECT_NE(vs.glsl.find("gl_Position"), std::string::npos) << vs.glsl;
    for (const ShaderVarying& v : vs.outputs)
        EXPECT_NE(v.semantic, "POSITION0");
}

TEST(ShaderTranslator, AttributesAndVaryingsArePlacedBySemantic)
{
    const CompiledEffectSource c = MustCompile(SCENE_EFFECT);
    const TranslatedShader& vs = c.shaders.at(c.passes[0][0].vertexShader);
    bool position = false, normal = false;
    for (const ShaderVarying& v : vs.inputs) {
        if (v.semantic == "POSITION0") {
            position = true;
            EXPECT_EQ(v.location, AttributeLocation(D3DDECLUSAGE_POSITION, 0));
        }
        if (v.semantic == "NORMAL0") {
            normal = true;
            EXPECT_EQ(v.location, AttributeLocation(D3DDECLUSAGE_NORMAL, 0));
        }
    }
    EXPECT_TRUE(position);
    EXPECT_TRUE(normal);
    for (const ShaderVarying& v : vs.outputs)
        EXPECT_EQ(v.location, VaryingLocation(v.semantic)) << v.semantic;

    const TranslatedShader& copy = c.shaders.at(c.passes[1][0].pixelShader);
    ASSERT_EQ(copy.inputs.size(), 1u);
    EXPECT_EQ(copy.inputs[0].semantic, "TEXCOORD0");
    EXPECT_EQ(copy.inputs[0].location, 0);
    EXPECT_EQ(copy.inputs[0].components, 2);
}

TEST(ShaderTranslator, UniformLayoutIsReflected)
{
    const CompiledEffectSource c = MustCompile(SCENE_EFFECT);
    const TranslatedShader& vs = c.shaders.at(c.passes[0][0].vertexShader);
    ASSERT_GT(vs.uniforms.size, 0u);
    const UniformMember* proj = FindMember(vs, "g_mProj");
    ASSERT_NE(proj, nullptr);
    EXPECT_EQ(proj->rows, 4);
    EXPECT_EQ(proj->columns, 4);
    EXPECT_EQ(proj->matrixStride, 16u);
    EXPECT_TRUE(proj->columnsContiguous) << "HLSL's default column_major packing";
    const UniformMember* light = FindMember(vs, "g_vLightDir");
    ASSERT_NE(light, nullptr);
    EXPECT_EQ(light->columns, 3);
    EXPECT_EQ(light->offset % 16, 0u) << "std140 aligns a float3 to 16 bytes";
    for (const UniformMember& m : vs.uniforms.members)
        EXPECT_LE(m.offset + 4u, vs.uniforms.size) << m.name;
}

TEST(ShaderTranslator, RowMajorMatricesKeepTheirRowsTogether)
{
    const CompiledEffectSource c = MustCompile(
        "row_major float4x4 R; float4x4 C;\n"
        "float4 VS(float4 p : POSITION) : POSITION { return mul(mul(p, R), C); }\n"
        "technique T { pass P { VertexShader = compile vs_2_0 VS(); } }\n");
    const TranslatedShader& vs = c.shaders.at(0);
    ASSERT_NE(FindMember(vs, "R"), nullptr);
    ASSERT_NE(FindMember(vs, "C"), nullptr);
    EXPECT_FALSE(FindMember(vs, "R")->columnsContiguous);
    EXPECT_TRUE(FindMember(vs, "C")->columnsContiguous);
}

TEST(ShaderTranslator, SamplersGetUnitsInDeclarationOrder)
{
    const CompiledEffectSource c = MustCompile(
        "texture ta; texture tb;\n"
        "sampler sb = sampler_state { Texture = <tb>; };\n"
        "sampler sa = sampler_state { Texture = <ta>; };\n"
        "float4 PS(float2 t : TEXCOORD0) : COLOR { return tex2D(sa, t) + tex2D(sb, t); }\n"
        "technique T { pass P { PixelShader = compile ps_2_0 PS(); } }\n");
    const TranslatedShader& ps = c.shaders.at(0);
    ASSERT_EQ(ps.samplers.size(), 2u);
    EXPECT_EQ(ps.samplers[0].name, "sb");
    EXPECT_EQ(ps.samplers[0].unit, 0);
    EXPECT_EQ(ps.samplers[1].name, "sa");
    EXPECT_EQ(ps.samplers[1].unit, 1);
}

TEST(ShaderTranslator, BrokenShaderGivesTheCompilersMessage)
{
    CompiledEffectSource c;
    std::string messages;
    EXPECT_FALSE(
        CompileEffectSource("float4 PS(float2 t : TEXCOORD0) : COLOR { return undefinedThing * t.x; }\n"
                            "technique T { pass P { PixelShader = compile ps_2_0 PS(); } }\n",
                            {}, c, messages));
    EXPECT_NE(messages.find("undefinedThing"), std::string::npos) << messages;
    EXPECT_NE(messages.find("PS"), std::string::npos) << messages;
    EXPECT_NE(messages.find(":1:"), std::string::npos) << "names the line: " << messages;
}

TEST(ShaderTranslator, MissingEntryPointFails)
{
    CompiledEffectSource c;
    std::string messages;
    EXPECT_FALSE(
        CompileEffectSource("technique T { pass P { PixelShader = compile ps_2_0 Nowhere(); } }", {}, c, messages));
    EXPECT_FALSE(messages.empty());
}

TEST(ShaderTranslator, MacrosReachTheCompiler)
{
    const std::string source =
        "float4 PS() : COLOR { return VALUE; }\n"
        "technique T { pass P { PixelShader = compile ps_2_0 PS(); } }\n";
    CompiledEffectSource c;
    std::string messages;
    EXPECT_FALSE(CompileEffectSource(source, {}, c, messages));
    EXPECT_TRUE(CompileEffectSource(source, {{"VALUE", "float4(1, 0, 0, 1)"}}, c, messages)) << messages;
}
