// ID3DXEffect over the GL device: techniques, passes, annotations, parameters by name and
// handle, state saved at Begin and restored at End, failures and the program cache.
#include "DeviceEffects.h"
#include "DeviceFixture.h"
#include "d3d/Device.h"
#include "effect/StoredEffects.h"
#include "effect/front/StoredEffect.h"

#include <cstring>
#include <fstream>
#include <iterator>

TEST_F(DeviceTest, PassCountsAndAnnotationsReadBack)
{
    REQUIRE_DISPLAY();
    ASSERT_TRUE(CreateDevice(false));
    ID3DXEffect* effect = MakeEffect(DEVICE_TEST_EFFECT);
    ASSERT_NE(effect, nullptr);
    ASSERT_EQ(effect->SetTechnique("States"), D3D_OK);
    UINT passes = 0;
    ASSERT_EQ(effect->Begin(&passes, 0), D3D_OK);
    EXPECT_EQ(passes, 2u);
    effect->End();

    D3DXHANDLE technique = effect->GetTechniqueByName("States");
    ASSERT_NE(technique, nullptr);
    EXPECT_EQ(effect->GetCurrentTechnique(), technique);
    D3DXHANDLE p1 = effect->GetPass("States", 1);
    ASSERT_NE(p1, nullptr);
    EXPECT_EQ(effect->GetPass(technique, 1), p1) << "by name or by handle";
    EXPECT_EQ(effect->GetPass(technique, 2), nullptr);
    EXPECT_EQ(effect->GetPassByName(technique, "p1"), p1);

    float scale = 0.0f;
    D3DXHANDLE x = effect->GetAnnotationByName(p1, "fScaleX");
    ASSERT_NE(x, nullptr);
    ASSERT_EQ(effect->GetFloat(x, &scale), D3D_OK);
    EXPECT_FLOAT_EQ(scale, 0.25f);
    ASSERT_EQ(effect->GetFloat(effect->GetAnnotationByName(p1, "fScaleY"), &scale), D3D_OK);
    EXPECT_FLOAT_EQ(scale, 4.0f);
    LPCSTR name = nullptr;
    ASSERT_EQ(effect->GetString(effect->GetAnnotationByName(p1, "Name"), &name), D3D_OK);
    EXPECT_STREQ(name, "second");
    EXPECT_EQ(effect->GetAnnotationByName(effect->GetPass(technique, 0), "fScaleX"), nullptr)
        << "a pass without the annotation has none";
}

TEST_F(DeviceTest, UndeclaredNamesFailHarmlessly)
{
    REQUIRE_DISPLAY();
    ASSERT_TRUE(CreateDevice(false));
    ID3DXEffect* effect = MakeEffect(DEVICE_TEST_EFFECT);
    ASSERT_NE(effect, nullptr);
    const float pair[2] = {1.0f, 2.0f};
    D3DXMATRIX m = {};
    const D3DXVECTOR4 v = {1, 2, 3, 4};
    EXPECT_TRUE(FAILED(effect->SetFloat("g_nothing", 1.0f)));
    EXPECT_TRUE(FAILED(effect->SetFloatArray("g_PixelRatio", pair, 2)));
    EXPECT_TRUE(FAILED(effect->SetMatrix("g_nothing", &m)));
    EXPECT_TRUE(FAILED(effect->SetVector("g_nothing", &v)));
    EXPECT_TRUE(FAILED(effect->SetTexture("g_txSrcNormal", nullptr)));
    EXPECT_TRUE(FAILED(effect->SetTexture("g_fDepth", nullptr))) << "a float is no texture";
    EXPECT_TRUE(FAILED(effect->SetTechnique("Nowhere")));
    EXPECT_EQ(effect->GetParameterByName(nullptr, "g_nothing"), nullptr);
    EXPECT_EQ(effect->GetAnnotationByName("g_nothing", "x"), nullptr);

    ASSERT_EQ(effect->SetFloat("g_fDepth", 0.75f), D3D_OK);
    float f = 0.0f;
    ASSERT_EQ(effect->GetFloat(effect->GetParameterByName(nullptr, "g_fDepth"), &f), D3D_OK);
    EXPECT_FLOAT_EQ(f, 0.75f);
    D3DXVECTOR4 colour = {};
    ASSERT_EQ(effect->GetVector("g_vColor", &colour), D3D_OK);
    EXPECT_FLOAT_EQ(colour.w, 1.0f) << "defaults hold until set";
}

TEST_F(DeviceTest, EndRestoresTheStatesThePassesChanged)
{
    REQUIRE_DISPLAY();
    ASSERT_TRUE(CreateDevice(false));
    ID3DXEffect* effect = MakeEffect(DEVICE_TEST_EFFECT);
    ASSERT_NE(effect, nullptr);
    const std::vector<unsigned char> dds = MakeDds(1, 1, D3DFMT_A8R8G8B8, {0xFFFFFFFF});
    IDirect3DTexture9* texture = LoadTexture(dds);
    ASSERT_NE(texture, nullptr);
    effect->SetTexture("g_tx", texture);

    m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    m_device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    m_device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    m_device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    m_device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    effect->SetTechnique("States");
    UINT passes = 0;
    ASSERT_EQ(effect->Begin(&passes, 0), D3D_OK);
    ASSERT_EQ(effect->BeginPass(0), D3D_OK);
    DWORD value = 0;
    m_device->GetRenderState(D3DRS_CULLMODE, &value);
    EXPECT_EQ(value, static_cast<DWORD>(D3DCULL_CW));
    m_device->GetRenderState(D3DRS_ZENABLE, &value);
    EXPECT_EQ(value, static_cast<DWORD>(D3DZB_FALSE));
    IDirect3DBaseTexture9* bound = nullptr;
    m_device->GetTexture(0, &bound);
    EXPECT_EQ(bound, texture) << "the pass binds its sampler's texture";
    if (bound)
        bound->Release();
    m_device->GetSamplerState(0, D3DSAMP_MINFILTER, &value);
    EXPECT_EQ(value, static_cast<DWORD>(D3DTEXF_POINT));
    effect->EndPass();
    ASSERT_EQ(effect->BeginPass(1), D3D_OK);
    m_device->GetRenderState(D3DRS_CULLMODE, &value);
    EXPECT_EQ(value, static_cast<DWORD>(D3DCULL_CW)) << "states of pass 0 stay for pass 1";
    m_device->GetRenderState(D3DRS_ZWRITEENABLE, &value);
    EXPECT_EQ(value, static_cast<DWORD>(FALSE));
    effect->EndPass();
    ASSERT_EQ(effect->End(), D3D_OK);

    m_device->GetRenderState(D3DRS_CULLMODE, &value);
    EXPECT_EQ(value, static_cast<DWORD>(D3DCULL_NONE));
    m_device->GetRenderState(D3DRS_ZENABLE, &value);
    EXPECT_EQ(value, static_cast<DWORD>(D3DZB_TRUE));
    m_device->GetRenderState(D3DRS_ALPHABLENDENABLE, &value);
    EXPECT_EQ(value, static_cast<DWORD>(FALSE));
    m_device->GetRenderState(D3DRS_ZWRITEENABLE, &value);
    EXPECT_EQ(value, static_cast<DWORD>(TRUE));
    m_device->GetSamplerState(0, D3DSAMP_MINFILTER, &value);
    EXPECT_EQ(value, static_cast<DWORD>(D3DTEXF_LINEAR));
    m_device->GetTexture(0, &bound);
    EXPECT_EQ(bound, nullptr) << "the texture binding is restored too";

    // With D3DXFX_DONOTSAVESTATE the pass's states stay.
    ASSERT_EQ(effect->Begin(&passes, D3DXFX_DONOTSAVESTATE), D3D_OK);
    effect->BeginPass(0);
    effect->EndPass();
    effect->End();
    m_device->GetRenderState(D3DRS_CULLMODE, &value);
    EXPECT_EQ(value, static_cast<DWORD>(D3DCULL_CW));
}

TEST_F(DeviceTest, ParametersReachTheShadersAtBeginPass)
{
    REQUIRE_DISPLAY();
    ASSERT_TRUE(CreateDevice(false));
    ID3DXEffect* effect = DeviceEffect("Clip");
    ASSERT_NE(effect, nullptr);
    m_device->SetVertexDeclaration(PosDeclaration());
    m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    m_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    const PosVertex v[4] = {{-1, 1, 1}, {1, 1, 1}, {-1, -1, 1}, {1, -1, 1}};
    const D3DXVECTOR4 green = {0, 1, 0, 1};
    effect->SetVector("g_vColor", &green);
    DrawWithEffect(effect, D3DPT_TRIANGLESTRIP, 2, v, sizeof(PosVertex));
    EXPECT_EQ(Pixel(ReadBackBuffer(), 3, 3), 0xFF00FF00u);

    // Set inside a pass, a value reaches the shader with CommitChanges.
    const float blue[4] = {0, 0, 1, 1};
    ASSERT_EQ(m_device->BeginScene(), D3D_OK);
    UINT passes = 0;
    effect->Begin(&passes, 0);
    effect->BeginPass(0);
    effect->SetFloatArray("g_vColor", blue, 4);
    EXPECT_EQ(effect->CommitChanges(), D3D_OK);
    m_device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, v, sizeof(PosVertex));
    effect->EndPass();
    effect->End();
    m_device->EndScene();
    EXPECT_EQ(Pixel(ReadBackBuffer(), 3, 3), 0xFF0000FFu);
}

TEST_F(DeviceTest, BrokenEffectGivesNullAndTheCompilersMessages)
{
    REQUIRE_DISPLAY();
    ASSERT_TRUE(CreateDevice(false));
    const char source[] =
        "float4 PS(float2 t : TEXCOORD0) : COLOR { return g_undeclared * t.x; }\n"
        "technique T { pass P { PixelShader = compile ps_2_0 PS(); } }\n";
    ID3DXEffect* effect = reinterpret_cast<ID3DXEffect*>(1);
    ID3DXBuffer* errors = nullptr;
    EXPECT_TRUE(FAILED(
        D3DXCreateEffect(m_device, source, sizeof source - 1, nullptr, nullptr, 0x900, nullptr, &effect, &errors)));
    EXPECT_EQ(effect, nullptr);
    ASSERT_NE(errors, nullptr);
    const char* text = static_cast<const char*>(errors->GetBufferPointer());
    EXPECT_EQ(std::strlen(text) + 1, errors->GetBufferSize()) << "a zero-terminated text";
    EXPECT_NE(std::strstr(text, "g_undeclared"), nullptr) << text;
    errors->Release();

    errors = nullptr;
    const char syntax[] = "technique T { pass P { CullMode = Sideways; } }";
    EXPECT_TRUE(
        FAILED(D3DXCreateEffect(m_device, syntax, sizeof syntax - 1, nullptr, nullptr, 0, nullptr, &effect, &errors)));
    ASSERT_NE(errors, nullptr);
    EXPECT_NE(std::strstr(static_cast<const char*>(errors->GetBufferPointer()), "Sideways"), nullptr);
    errors->Release();
}

TEST_F(DeviceTest, RepeatedEffectsShareOneCompilation)
{
    REQUIRE_DISPLAY();
    ASSERT_TRUE(CreateDevice(false));
    ID3DXEffect* a = MakeEffect(DEVICE_TEST_EFFECT);
    ID3DXEffect* b = MakeEffect(DEVICE_TEST_EFFECT);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_NE(a, b);
    EXPECT_NE(AsDevice(m_device)->FindCompiledEffect(DEVICE_TEST_EFFECT), nullptr);
    // The instances keep their own values.
    a->SetFloat("g_fDepth", 0.25f);
    float f = 0.0f;
    b->GetFloat("g_fDepth", &f);
    EXPECT_FLOAT_EQ(f, 0.5f);
}

TEST_F(DeviceTest, StoredIntroEffectDrawsAsItsRunTimeTranslation)
{
    REQUIRE_DISPLAY();
    ASSERT_TRUE(CreateDevice(false));
    std::ifstream file(SKV_DATA_DIR "/2d.fx", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(bytes.empty());
    const std::string source = EffectSourceText(bytes.data(), bytes.size());
    // Without macros the intro's effect is stored; a macro the source does not use makes
    // another key, which only the translator knows.
    ASSERT_NE(FindStoredEffect(EffectKey(source, {})), nullptr);
    ASSERT_EQ(FindStoredEffect(EffectKey(source, {{"SKV_UNUSED", "1"}})), nullptr);
    const D3DXMACRO none[] = {{nullptr, nullptr}};
    const D3DXMACRO unused[] = {{"SKV_UNUSED", "1"}, {nullptr, nullptr}};

    std::vector<uint32_t> frames[2];
    for (int path = 0; path < 2; ++path) {
        ID3DXEffect* effect = nullptr;
        ASSERT_EQ(D3DXCreateEffect(m_device, bytes.data(), static_cast<UINT>(bytes.size()), path ? unused : none,
                                   nullptr, 0, nullptr, &effect, nullptr),
                  D3D_OK);
        m_owned.push_back(effect);
        ASSERT_EQ(effect->SetTechnique("PosCol2D"), D3D_OK);
        ASSERT_EQ(m_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0), D3D_OK);
        ASSERT_EQ(m_device->SetVertexDeclaration(PosColDeclaration()), D3D_OK);
        ASSERT_EQ(m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE), D3D_OK);
        // A quad with a different colour in each corner: the colours blend across it.
        const PosColVertex v[4] = {{4, 4, 0.5f, 1, 0xFFFF0000},
                                   {60, 4, 0.5f, 1, 0xFF00FF00},
                                   {4, 60, 0.5f, 1, 0xFF0000FF},
                                   {60, 60, 0.5f, 1, 0x80FFFFFF}};
        DrawWithEffect(effect, D3DPT_TRIANGLESTRIP, 2, v, sizeof(PosColVertex));
        frames[path] = ReadBackBuffer();
    }
    EXPECT_NE(Pixel(frames[0], 32, 32), 0xFF000000u) << "the pass draws";
    EXPECT_TRUE(frames[0] == frames[1]) << "the stored translation draws as the run-time one";
}
