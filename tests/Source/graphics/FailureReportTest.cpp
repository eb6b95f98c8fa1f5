// The loaders' failure paths through the "BREAK!" box, answered by the test: effects and
// textures report once after the viewer chose to go on, meshes every time.
#include "CMesh.h"
#include "CTexture.h"
#include "GraphicsDevice.h"
#include "MessageBoxSpy.h"

#include <cstring>

namespace {

using FailureReport = GraphicsTest;

// ReportError formats into 2048 characters.
std::string AsReported(const std::string& text)
{
    return text.substr(0, 2047);
}

}  // namespace

TEST_F(FailureReport, EffectThatDoesNotCompileIsReportedOnceWithTheCompilersMessages)
{
    // The compiler's own messages for the broken file.
    ID3DXEffect* effect = nullptr;
    ID3DXBuffer* errors = nullptr;
    EXPECT_NE(D3DXCreateEffectFromResourceA(Device(), nullptr, MAKEINTRESOURCEA(ID_TEST_BROKEN_FX), nullptr, nullptr,
                                            0x900, nullptr, &effect, &errors),
              D3D_OK);
    ASSERT_EQ(effect, nullptr);
    ASSERT_NE(errors, nullptr);
    const std::string messages(static_cast<const char*>(errors->GetBufferPointer()),
                               strnlen(static_cast<const char*>(errors->GetBufferPointer()), errors->GetBufferSize()));
    errors->Release();
    EXPECT_NE(messages.find("g_fUndeclaredBrightness"), std::string::npos) << messages;

    {
        // The box could not be shown: the site stays armed and reports again.
        MessageBoxSpy spy(0);
        EXPECT_EQ(CGfxD3D::CreateEffect(ID_TEST_BROKEN_FX, "Data\\Broken.fx"), nullptr);
        EXPECT_EQ(CGfxD3D::CreateEffect(ID_MISSING, "Data\\Missing.fx"), nullptr);
        ASSERT_EQ(spy.shown.size(), 2u);
        EXPECT_EQ(spy.shown[0].text,
                  AsReported("ASSERT: p_effect != NULL, " + messages + " - line: 258 file: .\\Source\\CGfxD3D"));
        EXPECT_EQ(spy.shown[0].caption, "BREAK!");
        EXPECT_EQ(spy.shown[1].text, "ASSERT: p_effect != NULL,  - line: 258 file: .\\Source\\CGfxD3D")
            << "no resource, no messages: an empty text";
    }
    {
        // Ignore: the first failure is reported, none after it.
        MessageBoxSpy spy(IDIGNORE);
        EXPECT_EQ(CGfxD3D::CreateEffect(ID_TEST_BROKEN_FX, "Data\\Broken.fx"), nullptr);
        EXPECT_EQ(CGfxD3D::CreateEffect(ID_TEST_BROKEN_FX, "Data\\Broken.fx"), nullptr);
        EXPECT_EQ(CGfxD3D::CreateEffect(ID_MISSING, "Data\\Missing.fx"), nullptr);
        EXPECT_EQ(spy.shown.size(), 1u);
        ID3DXEffect* good = CGfxD3D::CreateEffect(ID_DOWN_FILTER_FX, "Data\\PP_ColorDownFilter4.fx");
        EXPECT_NE(good, nullptr);
        if (good)
            good->Release();
    }
}

TEST_F(FailureReport, TextureThatDoesNotLoadIsReportedOnce)
{
    const char* const REPORT =
        "ASSERT: p_texture->m_pHandle != NULL, Failed to load texture - line: 43 file: .\\Source\\CTexture";
    {
        MessageBoxSpy spy(0);
        CTexture* missing = CTexture::Load(ID_MISSING);
        CTexture* notAnImage = CTexture::Load(ID_SCENE_FX);
        ASSERT_NE(missing, nullptr) << "a texture object even without a texture";
        ASSERT_NE(notAnImage, nullptr);
        EXPECT_EQ(missing->m_pHandle, nullptr);
        EXPECT_EQ(missing->m_Width, 0u);
        EXPECT_EQ(missing->m_Height, 0u);
        EXPECT_EQ(notAnImage->m_pHandle, nullptr);
        ASSERT_EQ(spy.shown.size(), 2u);
        EXPECT_EQ(spy.shown[0].text, REPORT);
        EXPECT_EQ(spy.shown[1].text, REPORT);
        delete missing;
        delete notAnImage;
    }
    {
        MessageBoxSpy spy(IDIGNORE);
        CTexture* first = CTexture::Load(ID_MISSING);
        CTexture* second = CTexture::Load(ID_MISSING);
        EXPECT_EQ(spy.shown.size(), 1u);
        EXPECT_EQ(second->m_pHandle, nullptr);
        CTexture* good = CTexture::Load(ID_TEST_TEXELS_4X4);
        ASSERT_NE(good->m_pHandle, nullptr) << "later loads still work";
        good->m_pHandle->Release();
        delete first;
        delete second;
        delete good;
    }
}

TEST_F(FailureReport, MeshThatDoesNotLoadIsReportedEveryTime)
{
    MessageBoxSpy spy(IDIGNORE);
    EXPECT_EQ(CMesh::Load(ID_MISSING), nullptr);
    EXPECT_EQ(CMesh::Load(ID_MISSING), nullptr);
    EXPECT_EQ(CMesh::Load(ID_SCENE_FX), nullptr) << "effect text is not a mesh";
    ASSERT_EQ(spy.shown.size(), 3u);
    for (const MessageBoxSpy::Shown& box : spy.shown) {
        EXPECT_EQ(box.text, "Failed to load mesh");
        EXPECT_EQ(box.caption, "BREAK!");
    }
}
