#include "OutputHook.h"

#include "BlockFill.h"

namespace {

OutputStopper s_stopOutput = nullptr;

}  // namespace

void SetOutputStopper(OutputStopper stopper)
{
    s_stopOutput = stopper;
}

void StopOutputBeforeFree(Song* song)
{
    if (!song)
        return;
    if (s_stopOutput)
        s_stopOutput(song);
    // Offline fills run on the caller's thread, so none can be in progress;
    // closing the ring makes sure no later fill touches the freed song.
    if (PlayRing.currentSong == song)
        CloseBlockRing();
}
