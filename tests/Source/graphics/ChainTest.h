// A fixture for tests of the post-process chain: both chain targets start filled with
// a known colour, so pixels a pass must not touch can be checked, and the render
// target a chain saved is put back after each test.
#pragma once

#include "CPostProcess.h"
#include "GraphicsDevice.h"

class ChainTest : public GraphicsTest {
protected:
    static constexpr uint32_t SENTINEL = 0xFF3355AA;

    void SetUp() override
    {
        GraphicsTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        for (int i = 0; i < 2; ++i) {
            CGfxD3D::SetRenderTexture(CPostProcess::GetChainTarget(i));
            CGfxD3D::ClearColor(SENTINEL);
        }
        BindBackBuffer();
    }

    void TearDown() override
    {
        // Puts back the render target that BeginChain saved and drops the reference.
        if (Device())
            CPostProcess::EndSceneTargets();
    }

    static Image Chain(int index) { return ReadTexture(CPostProcess::GetChainTarget(index)); }
};
