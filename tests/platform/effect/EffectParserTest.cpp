#include "TestEffects.h"
#include "effect/front/EffectParser.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const EffectParameter* FindParameter(const EffectDescription& d, const std::string& name)
{
    for (const EffectParameter& p : d.parameters)
        if (p.name == name)
            return &p;
    return nullptr;
}

size_t CountLines(const std::string& s)
{
    size_t n = 0;
    for (char c : s)
        n += c == '\n';
    return n;
}

EffectDescription MustParse(const std::string& source)
{
    EffectDescription d;
    std::string error;
    EXPECT_TRUE(ParseEffect(source, d, error)) << error;
    return d;
}

std::string ParseError(const std::string& source)
{
    EffectDescription d;
    std::string error;
    EXPECT_FALSE(ParseEffect(source, d, error)) << "accepted: " << source;
    return error;
}

}  // namespace

TEST(EffectParser, ReadsParametersWithTheirDefaults)
{
    const EffectDescription d = MustParse(SCENE_EFFECT);
    const EffectParameter* proj = FindParameter(d, "g_mProj");
    ASSERT_NE(proj, nullptr);
    EXPECT_EQ(proj->rows, 4);
    EXPECT_EQ(proj->columns, 4);
    EXPECT_EQ(proj->defaults.size(), 16u);

    const EffectParameter* strength = FindParameter(d, "g_fSpecularStrength");
    ASSERT_NE(strength, nullptr);
    ASSERT_EQ(strength->defaults.size(), 1u);
    EXPECT_FLOAT_EQ(strength->defaults[0], 16.0f);

    const EffectParameter* ambient = FindParameter(d, "g_vAmbientColor");
    ASSERT_NE(ambient, nullptr);
    EXPECT_EQ(ambient->columns, 4);
    EXPECT_EQ(ambient->defaults, (std::vector<float>{0.2f, 0.2f, 0.2f, 1.0f}));

    const EffectParameter* light = FindParameter(d, "g_vLightDir");
    ASSERT_NE(light, nullptr);
    EXPECT_EQ(light->defaults, (std::vector<float>{0.25f, 0.5f, 0.25f}));

    const EffectParameter* modelView = FindParameter(d, "g_mModelView");
    ASSERT_NE(modelView, nullptr);
    EXPECT_EQ(modelView->semantic, "WORLDVIEW");

    const EffectParameter* diffuse = FindParameter(d, "g_vDiffuseColor");
    ASSERT_NE(diffuse, nullptr);
    ASSERT_EQ(diffuse->annotations.size(), 1u);
    EXPECT_EQ(diffuse->annotations[0].name, "UIName");
    EXPECT_EQ(diffuse->annotations[0].text, "Diffuse");

    const EffectParameter* texture = FindParameter(d, "g_txScene");
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->type, EffectValueType::Texture);
}

TEST(EffectParser, ReadsSamplerStates)
{
    const EffectDescription d = MustParse(SCENE_EFFECT);
    ASSERT_EQ(d.samplers.size(), 1u);
    const EffectSampler& s = d.samplers[0];
    EXPECT_EQ(s.name, "g_samScene");
    EXPECT_EQ(s.texture, "g_txScene");
    auto valueOf = [&](D3DSAMPLERSTATETYPE type) -> long {
        for (const EffectSamplerState& st : s.states)
            if (st.type == type)
                return static_cast<long>(st.value);
        return -1;
    };
    EXPECT_EQ(valueOf(D3DSAMP_ADDRESSU), D3DTADDRESS_WRAP);
    EXPECT_EQ(valueOf(D3DSAMP_ADDRESSV), D3DTADDRESS_WRAP);
    EXPECT_EQ(valueOf(D3DSAMP_MINFILTER), D3DTEXF_POINT);
    EXPECT_EQ(valueOf(D3DSAMP_MAGFILTER), D3DTEXF_LINEAR);
    EXPECT_EQ(valueOf(D3DSAMP_MIPFILTER), D3DTEXF_LINEAR);
    EXPECT_EQ(valueOf(D3DSAMP_ADDRESSW), -1) << "only the states written are set";
}

TEST(EffectParser, ReadsTechniquesPassesAndStates)
{
    const EffectDescription d = MustParse(SCENE_EFFECT);
    ASSERT_EQ(d.techniques.size(), 2u);
    const EffectTechnique& three = d.techniques[0];
    EXPECT_EQ(three.name, "RenderSceneThreePasses");
    ASSERT_EQ(three.passes.size(), 3u);
    EXPECT_EQ(three.passes[0].name, "p0");
    EXPECT_EQ(three.passes[0].vertexShader.entry, "SceneVS");
    EXPECT_EQ(three.passes[0].vertexShader.profile, "vs_2_0");
    EXPECT_EQ(three.passes[0].pixelShader.entry, "ColorPS");
    ASSERT_EQ(three.passes[0].renderStates.size(), 3u);
    EXPECT_EQ(three.passes[0].renderStates[0].type, D3DRS_CULLMODE);
    EXPECT_EQ(three.passes[0].renderStates[0].value, static_cast<DWORD>(D3DCULL_CW));
    EXPECT_EQ(three.passes[0].renderStates[1].type, D3DRS_ZENABLE);
    EXPECT_EQ(three.passes[0].renderStates[1].value, static_cast<DWORD>(D3DZB_TRUE));
    EXPECT_EQ(three.passes[0].renderStates[2].type, D3DRS_ALPHABLENDENABLE);
    EXPECT_EQ(three.passes[0].renderStates[2].value, static_cast<DWORD>(TRUE));
    EXPECT_TRUE(three.passes[1].renderStates.empty());

    const EffectTechnique& copy = d.techniques[1];
    ASSERT_EQ(copy.passes.size(), 1u);
    EXPECT_TRUE(copy.passes[0].vertexShader.IsNull());
    EXPECT_EQ(copy.passes[0].pixelShader.entry, "CopyPS");
}

TEST(EffectParser, ReadsPassAnnotations)
{
    const EffectDescription d = MustParse(DOWN_FILTER_EFFECT);
    ASSERT_EQ(d.techniques.size(), 1u);
    const EffectPass& p = d.techniques[0].passes.at(0);
    ASSERT_EQ(p.annotations.size(), 2u);
    EXPECT_EQ(p.annotations[0].name, "fScaleX");
    EXPECT_EQ(p.annotations[0].values, std::vector<float>{0.25f});
    EXPECT_EQ(p.annotations[1].name, "fScaleY");
    EXPECT_TRUE(p.vertexShader.IsNull()) << "null, lower case, is NULL";
}

TEST(EffectParser, ShaderTextKeepsLinesAndLosesEffectConstructs)
{
    const EffectDescription d = MustParse(SCENE_EFFECT);
    const std::string& s = d.shaderSource;
    EXPECT_EQ(CountLines(s), CountLines(SCENE_EFFECT)) << "compiler messages keep their line numbers";
    EXPECT_EQ(s.find("technique"), std::string::npos);
    EXPECT_EQ(s.find("sampler_state"), std::string::npos);
    EXPECT_EQ(s.find("texture"), std::string::npos);
    EXPECT_EQ(s.find("UIName"), std::string::npos) << "annotations removed";
    EXPECT_EQ(s.find("WORLDVIEW"), std::string::npos) << "parameter semantics removed";
    EXPECT_NE(s.find("sampler2D g_samScene;"), std::string::npos);
    EXPECT_NE(s.find("float4x4 g_mProj;"), std::string::npos);
    EXPECT_NE(s.find("float g_fSpecularStrength ;"), std::string::npos) << "default removed";
    EXPECT_NE(s.find("VS_OUTPUT SceneVS("), std::string::npos) << "functions kept";
}

TEST(EffectParser, StaticsStayInTheShaderAndAreNoParameters)
{
    const EffectDescription d = MustParse(DOWN_FILTER_EFFECT);
    EXPECT_EQ(FindParameter(d, "OFFSETS"), nullptr);
    EXPECT_NE(d.shaderSource.find("static const float2 OFFSETS[4] = {"), std::string::npos);
}

TEST(EffectParser, InitializerForms)
{
    const EffectDescription d = MustParse(
        "float a = -0.5;\n"
        "float4 b = 2;\n"
        "float2 c = float2(1.0f / 4, -(3 - 1));\n"
        "float2x2 m = {{1, 2}, {3, 4}};\n"
        "float w[3] = {0.25, 0.5, 1e-1};\n"
        "bool flag = true;\n"
        "int n = 0x10;\n"
        "matrix<float, 2, 3> t;\n");
    EXPECT_EQ(FindParameter(d, "a")->defaults, std::vector<float>{-0.5f});
    EXPECT_EQ(FindParameter(d, "b")->defaults, (std::vector<float>{2, 2, 2, 2}));
    EXPECT_EQ(FindParameter(d, "c")->defaults, (std::vector<float>{0.25f, -2.0f}));
    EXPECT_EQ(FindParameter(d, "m")->defaults, (std::vector<float>{1, 2, 3, 4}));
    EXPECT_EQ(FindParameter(d, "w")->elements, 3);
    EXPECT_EQ(FindParameter(d, "w")->defaults, (std::vector<float>{0.25f, 0.5f, 0.1f}));
    EXPECT_EQ(FindParameter(d, "flag")->type, EffectValueType::Bool);
    EXPECT_EQ(FindParameter(d, "flag")->defaults, std::vector<float>{1.0f});
    EXPECT_EQ(FindParameter(d, "n")->defaults, std::vector<float>{16.0f});
    EXPECT_EQ(FindParameter(d, "t")->rows, 2);
    EXPECT_EQ(FindParameter(d, "t")->columns, 3);
}

TEST(EffectParser, RefusesMalformedEffectsWithTheLine)
{
    EXPECT_NE(ParseError("float4 a = {1, 2};\n").find("(1)"), std::string::npos);
    EXPECT_NE(ParseError("\n\ntechnique T { pass P { CullMode = Sideways; } }").find("(3)"), std::string::npos);
    EXPECT_NE(ParseError("technique T { pass P { Frobnicate = 1; } }").find("Frobnicate"), std::string::npos);
    ParseError("technique T { pass P { PixelShader = compile vs_2_0 PS(); } }");
    ParseError("technique T { pass P { PixelShader = compile ps_9_9 PS(); } }");
    ParseError("sampler s = sampler_state { Texture = <missing>; };");
    ParseError("texture t; sampler s = sampler_state { Texture = <t>; MinFilter = Bilinear; };");
    ParseError("float a; float a;");
    ParseError("float4 f(float4 p : POSITION) : COLOR { return p;");
    ParseError("/* unterminated");
    ParseError("string s = \"unterminated;");
    ParseError("technique T { pass P { ");
    ParseError("float x = 1 +;");
    ParseError("MyStruct s;");
}

TEST(EffectParser, AcceptsAnEmptyEffect)
{
    const EffectDescription d = MustParse("// nothing\n#define X 1\n");
    EXPECT_TRUE(d.parameters.empty());
    EXPECT_TRUE(d.techniques.empty());
    EXPECT_NE(d.shaderSource.find("#define X 1"), std::string::npos) << "directives go to the compiler";
}
