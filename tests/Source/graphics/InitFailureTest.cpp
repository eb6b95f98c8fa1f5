// CGfxD3D::Init in a process without the intro's window: the device cannot be made, Init
// says so without a word, and Shutdown releases only what Init made.
#include "CGfxD3D.h"
#include "Intro.h"
#include "MessageBoxSpy.h"

#include <gtest/gtest.h>

TEST(InitWithoutAWindow, FailsSilentlyAndShutdownReleasesOnlyTheDirect3DObject)
{
    ASSERT_EQ(GetMainWindow(), nullptr);
    MessageBoxSpy spy(IDIGNORE);
    EXPECT_FALSE(CGfxD3D::Init());
    EXPECT_TRUE(spy.shown.empty()) << "device creation fails without a message";
    EXPECT_EQ(CGfxD3D::GetDevice(), nullptr);

    IDirect3D9* direct3D = CGfxD3D::GetDirect3D();
    ASSERT_NE(direct3D, nullptr) << "the Direct3D object was made before the device failed";
    direct3D->AddRef();
    CGfxD3D::Shutdown();
    EXPECT_EQ(CGfxD3D::GetDirect3D(), nullptr);
    EXPECT_EQ(direct3D->Release(), 0u) << "Shutdown let go of the one reference Init held";
    EXPECT_EQ(CGfxD3D::GetDevice(), nullptr);

    // The cursor was left alone: the display count goes from 0 to 1 and back.
    EXPECT_EQ(ShowCursor(TRUE), 1);
    EXPECT_EQ(ShowCursor(FALSE), 0);

    CGfxD3D::Shutdown();  // nothing left to release
    EXPECT_TRUE(spy.shown.empty());
}
