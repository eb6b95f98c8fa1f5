#pragma once

#include <windows.h>

// The pieces the entry brings up around its message loop, each one call into the
// graphics device, the post-processing or the Demo. The entry runs them through
// this table so that a test can drive the real start-up, loop and shutdown with
// pieces of its own.
struct IntroSteps {
    bool (*initDevice)();           // CGfxD3D::Init: false when no device could be made
    void (*shutdownDevice)();       // CGfxD3D::Shutdown: releases what initDevice made
    bool (*createDemo)();           // constructs the Demo (assets, music); false when out of memory
    void (*drawDemoFrame)();        // the Demo's frame
    void (*initPostProcess)();      // CPostProcess::Init: the off-screen targets
    void (*shutdownPostProcess)();  // CPostProcess::Shutdown
    void (*endFrame)();             // CGfxD3D::EndFrame: fade overlay and present
};

// The intro's own steps (IntroSteps.cpp, part of the executable).
const IntroSteps& GetIntroSteps();

// Registers the window class, creates the window, brings up the steps, runs the
// message loop until the quit message, Escape or the window losing activation,
// shuts down in reverse order. Returns 0 on every path.
int RunIntro(const IntroSteps& steps);

// The intro window; null before it is created.
HWND GetMainWindow();
