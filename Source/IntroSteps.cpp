#include "Intro.h"
#include "Music.h"

// The intro's start-up and frame steps. The device (CGfxD3D), the post-processing
// (CPostProcess) and the Demo are not part of the program yet; until they are,
// each step below stands in for its call with what exists, and each is marked
// "Pending:" with the call that replaces it. CGfxD3D and CPostProcess have static
// members, so their operations go into the table as they are.
namespace {

// Pending: CGfxD3D::Init. A window is all a device would need; without one (no
// display) the intro leaves as it does when the device cannot be made.
bool InitDevice()
{
    return GetMainWindow() != NULL;
}

// Pending: CGfxD3D::Shutdown.
void ShutdownDevice()
{
}

// Pending: s_pDemo = new (std::nothrow) Demo; return s_pDemo != nullptr.
// The Demo's constructor starts the music first, as this does; whether it starts
// or not (no audio device), the intro goes on.
bool CreateDemo()
{
    StartMusic(LoadMusic(103));
    return true;
}

// Pending: s_pDemo->Frame().
void DrawDemoFrame()
{
}

// Pending: CPostProcess::Init.
void InitPostProcess()
{
}

// Pending: CPostProcess::Shutdown.
void ShutdownPostProcess()
{
}

// Pending: CGfxD3D::EndFrame. Nothing is presented yet, so nothing paces the
// loop; a millisecond's rest keeps it from spinning a whole core.
void EndFrame()
{
    Sleep(1);
}

const IntroSteps INTRO_STEPS = {
    &InitDevice, &ShutdownDevice, &CreateDemo, &DrawDemoFrame, &InitPostProcess, &ShutdownPostProcess, &EndFrame,
};

}  // namespace

const IntroSteps& GetIntroSteps()
{
    return INTRO_STEPS;
}
