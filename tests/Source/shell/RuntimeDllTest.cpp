#include "MessageBoxSpy.h"
#include "RuntimeDll.h"

#include <gtest/gtest.h>

#include <string>

TEST(RuntimeDll, AMissingOneIsToldInWordsAndD3dxIsFound)
{
    MessageBoxSpy spy(IDOK);
    EXPECT_FALSE(RequireRuntimeDll("skelvane_no_such_runtime.dll", MISSING_D3DX_MESSAGE, &MessageBoxSpy::Show));
    ASSERT_EQ(spy.shown.size(), 1u);
    const std::string text = spy.shown[0].text;
    EXPECT_NE(text.find("d3dx9_38.dll"), std::string::npos) << text;
    EXPECT_NE(text.find("DirectX 9.0c end-user runtime"), std::string::npos) << text;
    EXPECT_EQ(spy.shown[0].caption, "Skelvane");
    EXPECT_EQ(spy.shown[0].type, static_cast<UINT>(MB_OK | MB_ICONERROR));

    // Wherever the tests run it is there (wine brings its own).
    EXPECT_TRUE(RequireRuntimeDll(D3DX_DLL_NAME, MISSING_D3DX_MESSAGE, &MessageBoxSpy::Show));
    EXPECT_EQ(spy.shown.size(), 1u);
}
