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
// Their Demo's time in seconds; 0 before it exists.
float GetIntroDemoTime();

// Registers the window class, creates the window, brings up the steps, runs the
// message loop until the quit message, Escape or the window losing activation,
// shuts down in reverse order. Returns 0 on every path.
int RunIntro(const IntroSteps& steps);

// The same run in three parts, for a host that draws on its own schedule (the browser's
// animation frames). StartIntro brings up the window and the steps; false when the intro
// cannot run, and StopIntro is still due. RunIntroFrame runs the loop until it has drawn
// one frame; false when the run is over instead. StopIntro shuts down in reverse order.
bool StartIntro(const IntroSteps& steps);
bool RunIntroFrame();
void StopIntro();

// The intro window; null before it is created.
HWND GetMainWindow();
