#pragma once

struct Song;

// FreeSong calls this before it frees anything: whatever output is mixing the
// song must be stopped, and no block fill may be running, when it returns.
// Today the block ring is the only output; the audio output extends this to
// wait for the mixing thread and stop the device.
void StopOutputBeforeFree(Song* song);
