#include "AudioOutput.h"
#include "DemoTimeline.h"
#include "FrameClock.h"
#include "Intro.h"

#include <emscripten/emscripten.h>

// The intro's entry in the browser, where the page drives it: a click starts it, every
// animation frame draws one frame, and the page runs the music's service step with each
// frame and on a timer, as the mixing thread does elsewhere. A page cannot wait in a loop
// of its own, so the loop that RunIntro runs on the other systems is taken a frame at a
// time.

namespace {

// Elsewhere the process ends here and takes the window along; the page lives on, so the
// window goes, and with it the keys the intro took from the page.
void EndIntro()
{
    StopIntro();
    DestroyWindow(GetMainWindow());
}

}  // namespace

// 1 when the intro runs; 0 when it could not start (no WebGL 2), and it has shut down.
extern "C" EMSCRIPTEN_KEEPALIVE int skv_intro_start()
{
    if (StartIntro(GetIntroSteps()))
        return 1;
    EndIntro();
    return 0;
}

// Draws the next frame: 1 while the intro goes on; 0 when it has ended (Escape, the page
// lost the focus) and shut down.
extern "C" EMSCRIPTEN_KEEPALIVE int skv_intro_frame()
{
    if (RunIntroFrame())
        return 1;
    EndIntro();
    return 0;
}

extern "C" EMSCRIPTEN_KEEPALIVE void skv_service_audio()
{
    ServiceAudioOutput();
}

// For a capture: every coming frame lasts exactly this long (0 or less: measured again).
extern "C" EMSCRIPTEN_KEEPALIVE void skv_fix_frame_time(int milliseconds)
{
    if (milliseconds > 0)
        FixFrameTime(milliseconds);
    else
        UseFixedFrameTime(0);
}

extern "C" EMSCRIPTEN_KEEPALIVE float skv_demo_time()
{
    return GetIntroDemoTime();
}

// Where the main part begins: a benchmark measures the frames from there, as natively.
extern "C" EMSCRIPTEN_KEEPALIVE float skv_main_part_time()
{
    return TITLE_CARD_SECONDS;
}
