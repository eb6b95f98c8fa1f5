#include "CGfxD3D.h"
#include "CPostProcess.h"
#include "Demo.h"
#include "Intro.h"

#include <new>

// The intro's start-up and frame steps, in the table the entry runs.
namespace {

// Owned by the entry for the whole run and never destroyed: its assets and the
// playing music end with the process.
Demo* s_pDemo = NULL;

bool CreateDemo()
{
    s_pDemo = new (std::nothrow) Demo();
    return s_pDemo != NULL;
}

void DrawDemoFrame()
{
    s_pDemo->Frame();
}

const IntroSteps INTRO_STEPS = {
    &CGfxD3D::Init,      &CGfxD3D::Shutdown,      &CreateDemo,        &DrawDemoFrame,
    &CPostProcess::Init, &CPostProcess::Shutdown, &CGfxD3D::EndFrame,
};

}  // namespace

const IntroSteps& GetIntroSteps()
{
    return INTRO_STEPS;
}

float GetIntroDemoTime()
{
    return s_pDemo ? s_pDemo->GetDemoTime() : 0.0f;
}
