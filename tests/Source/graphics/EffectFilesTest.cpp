// The effect files as the intro embeds them: text form, techniques, passes, annotations,
// parameters and their defaults, sampler and pass states.
#include "CPostProcess.h"
#include "GraphicsDevice.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

using EffectFiles = GraphicsTest;

struct PostFile {
    WORD id;
    float scaleX, scaleY;  // 0: no annotation
    bool depthTestOff;     // the pass sets ZEnable false
    bool readsScene;       // g_samSceneColor
    bool readsPosition;    // g_samSrcPosition
};

const PostFile POST_FILES[] = {
    {ID_DOWN_FILTER_FX, 0.25f, 0.25f, false, false, false},
    {ID_BLUR_H_FX, 0, 0, true, false, false},
    {ID_BLUR_V_FX, 0, 0, true, false, false},
    {ID_UP_FILTER_FX, 4.0f, 4.0f, false, false, false},
    {ID_DOF_FX, 0, 0, true, true, true},
    {ID_BLOOM_H_FX, 0, 0, true, false, false},
    {ID_BLOOM_V_FX, 0, 0, true, false, false},
    {ID_BRIGHT_PASS_FX, 0, 0, false, false, false},
    {ID_COMBINE4_FX, 4.0f, 4.0f, false, true, false},
    {ID_COMBINE_FX, 0, 0, true, true, false},
};

const WORD ALL_EFFECTS[] = {ID_SCENE_FX,       ID_BLOOM_H_FX,   ID_BLOOM_V_FX, ID_BRIGHT_PASS_FX, ID_COMBINE4_FX,
                            ID_DOWN_FILTER_FX, ID_UP_FILTER_FX, ID_2D_FX,      ID_COMBINE_FX,     ID_DOF_FX,
                            ID_BLUR_V_FX,      ID_BLUR_H_FX,    ID_TEXT_FX};

std::string ResourceText(WORD id)
{
    HRSRC resource = FindResourceA(nullptr, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10));
    if (!resource)
        return std::string();
    HGLOBAL loaded = LoadResource(nullptr, resource);
    const char* data = static_cast<const char*>(LockResource(loaded));
    return std::string(data, SizeofResource(nullptr, resource));
}

// A new instance, so that the values other tests set do not show.
class FreshEffect {
public:
    explicit FreshEffect(WORD id) : m_effect(CGfxD3D::CreateEffect(id, "")) {}
    ~FreshEffect()
    {
        if (m_effect)
            m_effect->Release();
    }
    ID3DXEffect* operator->() const { return m_effect; }
    ID3DXEffect* get() const { return m_effect; }

private:
    ID3DXEffect* m_effect;
};

std::vector<float> Values(ID3DXEffect* effect, const char* name, UINT count)
{
    std::vector<float> v(count, -99.0f);
    EXPECT_EQ(effect->GetFloatArray(name, v.data(), count), D3D_OK) << name;
    return v;
}

void ExpectPasses(ID3DXEffect* effect, const char* technique, const std::vector<const char*>& passes)
{
    D3DXHANDLE t = effect->GetTechniqueByName(technique);
    ASSERT_NE(t, nullptr) << technique;
    for (size_t i = 0; i < passes.size(); ++i) {
        EXPECT_EQ(effect->GetPass(t, static_cast<UINT>(i)), effect->GetPassByName(t, passes[i]))
            << technique << " pass " << i << " is " << passes[i];
        EXPECT_NE(effect->GetPass(t, static_cast<UINT>(i)), nullptr);
    }
    EXPECT_EQ(effect->GetPass(t, static_cast<UINT>(passes.size())), nullptr) << technique << " has no more passes";
}

// The sampler states of the stage that holds texture during the first pass.
struct SamplerStates {
    bool found = false;
    DWORD addressU = 0, addressV = 0, minFilter = 0, magFilter = 0, mipFilter = 0;
};

SamplerStates StatesOf(IDirect3DBaseTexture9* texture)
{
    SamplerStates s;
    IDirect3DDevice9* device = CGfxD3D::GetDevice();
    for (DWORD stage = 0; stage < 16; ++stage) {
        IDirect3DBaseTexture9* bound = nullptr;
        device->GetTexture(stage, &bound);
        if (bound)
            bound->Release();
        if (bound != texture)
            continue;
        s.found = true;
        device->GetSamplerState(stage, D3DSAMP_ADDRESSU, &s.addressU);
        device->GetSamplerState(stage, D3DSAMP_ADDRESSV, &s.addressV);
        device->GetSamplerState(stage, D3DSAMP_MINFILTER, &s.minFilter);
        device->GetSamplerState(stage, D3DSAMP_MAGFILTER, &s.magFilter);
        device->GetSamplerState(stage, D3DSAMP_MIPFILTER, &s.mipFilter);
    }
    return s;
}

void ExpectSampler(const SamplerStates& s, DWORD address, DWORD minFilter, DWORD magFilter, DWORD mipFilter)
{
    ASSERT_TRUE(s.found);
    EXPECT_EQ(s.addressU, address);
    EXPECT_EQ(s.addressV, address);
    EXPECT_EQ(s.minFilter, minFilter);
    EXPECT_EQ(s.magFilter, magFilter);
    EXPECT_EQ(s.mipFilter, mipFilter);
}

void UnbindAllTextures()
{
    for (DWORD stage = 0; stage < 16; ++stage)
        CGfxD3D::GetDevice()->SetTexture(stage, nullptr);
}

}  // namespace

TEST_F(EffectFiles, AreAsciiTextWithCrLfLineEnds)
{
    for (WORD id : ALL_EFFECTS) {
        const std::string text = ResourceText(id);
        ASSERT_FALSE(text.empty()) << "resource " << id;
        int lines = 0;
        for (size_t i = 0; i < text.size(); ++i) {
            const unsigned char c = static_cast<unsigned char>(text[i]);
            ASSERT_LT(c, 128) << "resource " << id << " byte " << i;
            ASSERT_NE(c, 0) << "resource " << id << " byte " << i;
            if (c == '\n') {
                ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << "resource " << id << ": bare LF at byte " << i;
                ++lines;
            }
            if (c == '\r') {
                ASSERT_TRUE(i + 1 < text.size() && text[i + 1] == '\n') << "resource " << id << ": bare CR";
            }
        }
        EXPECT_GT(lines, 10) << "resource " << id;
    }
}

TEST_F(EffectFiles, PostProcessFilesShareTheirInputsAndHaveOnePassWithItsScaleAnnotations)
{
    const char* const SHARED[] = {"g_PixelRatio", "g_txSrcColor", "g_txSrcNormal", "g_txSrcPosition", "g_txSceneColor"};
    for (const PostFile& file : POST_FILES) {
        SCOPED_TRACE(testing::Message() << "resource " << file.id);
        FreshEffect effect(file.id);
        ASSERT_NE(effect.get(), nullptr);
        for (const char* name : SHARED)
            EXPECT_NE(effect->GetParameterByName(nullptr, name), nullptr) << name;
        ExpectPasses(effect.get(), "PostProcess", {"p0"});
        D3DXHANDLE pass = effect->GetPass(effect->GetTechniqueByName("PostProcess"), 0);
        const char* const NAMES[2] = {"fScaleX", "fScaleY"};
        const float scales[2] = {file.scaleX, file.scaleY};
        for (int i = 0; i < 2; ++i) {
            D3DXHANDLE annotation = effect->GetAnnotationByName(pass, NAMES[i]);
            if (scales[i] == 0.0f) {
                EXPECT_EQ(annotation, nullptr) << NAMES[i];
                continue;
            }
            ASSERT_NE(annotation, nullptr) << NAMES[i];
            float value = 0.0f;
            EXPECT_EQ(effect->GetFloat(annotation, &value), D3D_OK);
            EXPECT_EQ(value, scales[i]) << NAMES[i];
        }
    }
}

TEST_F(EffectFiles, ParametersHaveTheirDefaults)
{
    {
        FreshEffect dof(ID_DOF_FX);
        EXPECT_EQ(Values(dof.get(), "g_fFocalPlane", 1), std::vector<float>({0.5f}));
        EXPECT_EQ(Values(dof.get(), "g_fFocalScale", 1), std::vector<float>({4.0f}));
    }
    for (WORD id : {ID_BLOOM_H_FX, ID_BLOOM_V_FX}) {
        FreshEffect bloom(id);
        EXPECT_EQ(Values(bloom.get(), "g_BloomScale", 1), std::vector<float>({1.5f}));
    }
    {
        FreshEffect bright(ID_BRIGHT_PASS_FX);
        EXPECT_EQ(Values(bright.get(), "g_Luminance", 1), std::vector<float>({0.06f}));
    }
    {
        FreshEffect scene(ID_SCENE_FX);
        EXPECT_EQ(Values(scene.get(), "g_fSpecularStrength", 1), std::vector<float>({16.0f}));
        EXPECT_EQ(Values(scene.get(), "g_vSpecularColor", 3), std::vector<float>({0.5f, 0.5f, 0.5f}));
        EXPECT_EQ(Values(scene.get(), "g_vAmbientColor", 4), std::vector<float>({0.2f, 0.2f, 0.2f, 1.0f}));
        EXPECT_EQ(Values(scene.get(), "g_vDiffuseColor", 4), std::vector<float>({0.5f, 0.5f, 0.5f, 1.0f}));
        EXPECT_EQ(Values(scene.get(), "g_vLightDir", 3), std::vector<float>({0.25f, 0.5f, 0.25f}));
        EXPECT_EQ(Values(scene.get(), "g_vLightColor", 3), std::vector<float>({0.1f, 0.1f, 0.1f}));
        for (const char* name : {"g_mProj", "g_mModel", "g_mModelView", "g_txScene", "g_fFocalPlaneLength"})
            EXPECT_NE(scene->GetParameterByName(nullptr, name), nullptr) << name;
        ExpectPasses(scene.get(), "RenderSceneThreePasses", {"p0", "p1", "p2"});
        ExpectPasses(scene.get(), "RenderNoLight", {"p0"});
    }
    {
        FreshEffect text(ID_TEXT_FX);
        EXPECT_EQ(Values(text.get(), "g_vLightDir", 3), std::vector<float>({-0.25f, 0.25f, 0.5f}));
        EXPECT_EQ(Values(text.get(), "g_vAmbientColor", 4), std::vector<float>({0.5f, 0.215f, 0.0f, 1.0f}));
        EXPECT_EQ(Values(text.get(), "g_vDiffuseColor", 4), std::vector<float>({0.25f, 0.1f, 0.0f, 1.0f}));
        for (const char* name : {"g_mProj", "g_mView", "g_mModel", "g_mModelView", "g_fFocalPlaneLength"})
            EXPECT_NE(text->GetParameterByName(nullptr, name), nullptr) << name;
        ExpectPasses(text.get(), "RenderSceneThreePasses", {"p0", "p1", "p2"});
    }
    {
        FreshEffect twoD(ID_2D_FX);
        EXPECT_EQ(Values(twoD.get(), "g_fBrightness", 1), std::vector<float>({0.0f}));
        for (const char* name : {"g_Texture", "g_OrthogonalMatrix"})
            EXPECT_NE(twoD->GetParameterByName(nullptr, name), nullptr) << name;
        for (const char* technique : {"PosCol2D", "PosColTex2D", "PosColTex2DAlpha"})
            ExpectPasses(twoD.get(), technique, {"Single_Pass"});
    }
}

TEST_F(EffectFiles, SamplersClampOrWrapAndFilterAsTheirPassesNeed)
{
    IDirect3DTexture9* src = CPostProcess::GetChainTarget(0);
    IDirect3DTexture9* scene = CPostProcess::GetSceneTarget(0);
    IDirect3DTexture9* position = CPostProcess::GetSceneTarget(2);
    for (const PostFile& file : POST_FILES) {
        SCOPED_TRACE(testing::Message() << "resource " << file.id);
        FreshEffect effect(file.id);
        effect->SetTexture("g_txSrcColor", src);
        effect->SetTexture("g_txSceneColor", scene);
        effect->SetTexture("g_txSrcPosition", position);
        effect->SetTechnique("PostProcess");
        UnbindAllTextures();
        UINT passes = 0;
        ASSERT_EQ(effect->Begin(&passes, 0), D3D_OK);
        effect->BeginPass(0);
        ExpectSampler(StatesOf(src), D3DTADDRESS_CLAMP, D3DTEXF_LINEAR, D3DTEXF_LINEAR, D3DTEXF_LINEAR);
        if (file.readsScene)
            ExpectSampler(StatesOf(scene), D3DTADDRESS_CLAMP, D3DTEXF_POINT, D3DTEXF_LINEAR, D3DTEXF_LINEAR);
        else
            EXPECT_FALSE(StatesOf(scene).found) << "no scene colour sampler";
        if (file.readsPosition)
            ExpectSampler(StatesOf(position), D3DTADDRESS_CLAMP, D3DTEXF_POINT, D3DTEXF_LINEAR, D3DTEXF_LINEAR);
        else
            EXPECT_FALSE(StatesOf(position).found) << "no position sampler";
        effect->EndPass();
        effect->End();
    }
    {
        FreshEffect sceneEffect(ID_SCENE_FX);
        sceneEffect->SetTexture("g_txScene", src);
        sceneEffect->SetTechnique("RenderNoLight");
        UnbindAllTextures();
        UINT passes = 0;
        ASSERT_EQ(sceneEffect->Begin(&passes, 0), D3D_OK);
        sceneEffect->BeginPass(0);
        ExpectSampler(StatesOf(src), D3DTADDRESS_WRAP, D3DTEXF_POINT, D3DTEXF_LINEAR, D3DTEXF_LINEAR);
        sceneEffect->EndPass();
        sceneEffect->End();
    }
    {
        FreshEffect twoD(ID_2D_FX);
        twoD->SetTexture("g_Texture", src);
        twoD->SetTechnique("PosColTex2D");
        UnbindAllTextures();
        UINT passes = 0;
        ASSERT_EQ(twoD->Begin(&passes, 0), D3D_OK);
        twoD->BeginPass(0);
        ExpectSampler(StatesOf(src), D3DTADDRESS_WRAP, D3DTEXF_LINEAR, D3DTEXF_LINEAR, D3DTEXF_LINEAR);
        twoD->EndPass();
        twoD->End();
    }
}

TEST_F(EffectFiles, PassesThatTurnDepthTestingOffDrawOverAnyDepth)
{
    // With the depth buffer at 0 and the device's depth test on, a pass quad at depth 0.5
    // is drawn only by the passes that set ZEnable false.
    FillTarget(CPostProcess::GetSceneTarget(0), Uniform(SCREEN_WIDTH, SCREEN_HEIGHT, 0xFFFFFFFF));
    FillTarget(CPostProcess::GetSceneTarget(2), Uniform(SCREEN_WIDTH, SCREEN_HEIGHT, 0xFF000000));
    Device()->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    Device()->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
    for (const PostFile& file : POST_FILES) {
        SCOPED_TRACE(testing::Message() << "resource " << file.id);
        CGfxD3D::SetRenderTexture(CPostProcess::GetChainTarget(1));
        CGfxD3D::ClearColor(0xFF3355AA);
        CGfxD3D::ClearDepth(0.0f);
        CPostProcess::BeginChain();
        CPostProcess::RunPass(IntroEffect(file.id));
        const bool drawn = ReadTexture(CPostProcess::GetChainTarget(1)).At(0, 0) != 0xFF3355AAu;
        EXPECT_EQ(drawn, file.depthTestOff);
        DWORD z = 0;
        Device()->GetRenderState(D3DRS_ZENABLE, &z);
        EXPECT_EQ(z, static_cast<DWORD>(D3DZB_TRUE)) << "restored when the technique ends";
        CPostProcess::EndSceneTargets();
    }
}
