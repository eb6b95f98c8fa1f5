#include "OutputHook.h"

#include "BlockFill.h"

void StopOutputBeforeFree(Song* song)
{
    // Fills run on the caller's thread today, so none can be in progress;
    // closing the ring makes sure no later fill touches the freed song.
    if (song && PlayRing.currentSong == song)
        CloseBlockRing();
}
