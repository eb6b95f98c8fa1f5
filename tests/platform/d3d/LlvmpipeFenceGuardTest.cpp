// The guard against llvmpipe's fence race: on for llvmpipe alone, and over many render-target
// switches it keeps only the scenes still in flight while every target gets what was drawn.
#include "DeviceFixture.h"
#include "d3d/Device.h"

TEST(LlvmpipeFenceGuard, IsNeededForLlvmpipeUnlessTurnedOff)
{
    EXPECT_TRUE(LlvmpipeFenceGuard::NeededFor("llvmpipe (LLVM 15.0.6, 256 bits)", nullptr));
    EXPECT_FALSE(LlvmpipeFenceGuard::NeededFor("llvmpipe (LLVM 15.0.6, 256 bits)", "off"));
    EXPECT_TRUE(LlvmpipeFenceGuard::NeededFor("llvmpipe (LLVM 15.0.6, 256 bits)", "on"));
    EXPECT_FALSE(LlvmpipeFenceGuard::NeededFor("AMD Radeon RX 6600 (radeonsi, navi23, LLVM 15.0.6)", nullptr));
    EXPECT_FALSE(LlvmpipeFenceGuard::NeededFor(nullptr, nullptr));
}

TEST_F(DeviceTest, RenderTargetSwitchesKeepOnlyTheScenesInFlight)
{
    REQUIRE_DISPLAY();
    ASSERT_TRUE(CreateDevice(true, 256, 256));
    const LlvmpipeFenceGuard& guard = AsDevice(m_device)->FenceGuard();
    ASSERT_TRUE(guard.Enabled()) << "the tests draw with llvmpipe";

    const int TARGETS = 3;
    IDirect3DSurface9* targets[TARGETS] = {};
    for (IDirect3DSurface9*& t : targets) {
        IDirect3DTexture9* texture = nullptr;
        ASSERT_EQ(m_device->CreateTexture(256, 256, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT,
                                          &texture, nullptr),
                  D3D_OK);
        m_owned.push_back(texture);
        ASSERT_EQ(texture->GetSurfaceLevel(0, &t), D3D_OK);
        m_owned.push_back(t);
    }
    IDirect3DSurface9* back = nullptr;
    ASSERT_EQ(m_device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back), D3D_OK);
    m_owned.push_back(back);

    size_t mostHeld = 0;
    for (int frame = 0; frame < 60; ++frame) {
        ASSERT_EQ(m_device->BeginScene(), D3D_OK);
        for (int t = 0; t < TARGETS; ++t) {
            ASSERT_EQ(m_device->SetRenderTarget(0, targets[t]), D3D_OK);
            const D3DCOLOR colour = D3DCOLOR_ARGB(255, frame, t * 80, 255 - frame);
            ASSERT_EQ(m_device->Clear(0, nullptr, D3DCLEAR_TARGET, colour, 1.0f, 0), D3D_OK);
        }
        ASSERT_EQ(m_device->SetRenderTarget(0, back), D3D_OK);
        ASSERT_EQ(m_device->EndScene(), D3D_OK);
        ASSERT_EQ(m_device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
        mostHeld = std::max(mostHeld, guard.Held());
    }
    EXPECT_GE(guard.Held(), 1u) << "the latest scene's fence is held";
    // Six scene ends a frame: a guard that never let go would hold 360 (and wait at its limit).
    EXPECT_LT(mostHeld, 40u) << "finished scenes are let go of";
    for (int t = 0; t < TARGETS; ++t)
        EXPECT_EQ(Pixel(ReadPixels(targets[t]), 128, 128), D3DCOLOR_ARGB(255, 59, t * 80, 196)) << "target " << t;
}
