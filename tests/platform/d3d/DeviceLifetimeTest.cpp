#include "DeviceFixture.h"
#include "win/PlatformWindow.h"

// Direct3D lets a device outlive its window: the intro's window can be closed
// (Alt+F4, a close request) before the device and the render targets are released.
TEST_F(DeviceTest, DeviceAndItsTexturesOutliveTheWindow)
{
    REQUIRE_DISPLAY();
    ASSERT_TRUE(CreateDevice(true));
    IDirect3DTexture9* target = nullptr;
    ASSERT_EQ(m_device->CreateTexture(64, 64, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &target,
                                      nullptr),
              D3D_OK);

    const HWND window = m_host.Window();
    ASSERT_TRUE(m_host.DestroyWindow());
    EXPECT_EQ(GetSdlWindow(window), nullptr) << "the handle is gone at once";

    // The device still draws and releases its objects with its context intact.
    EXPECT_EQ(m_device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF336699, 1.0f, 0), D3D_OK);
    EXPECT_EQ(m_device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    EXPECT_EQ(target->Release(), 0u);
}
