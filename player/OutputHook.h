#pragma once

struct Song;

// FreeSong calls this before it frees anything: whatever output is mixing the
// song must be stopped, and no block fill may be running, when it returns.
// The block ring is closed if it mixes the song; an audio output that has
// registered its stopper is stopped first (it waits for its mixing thread).
void StopOutputBeforeFree(Song* song);

// The audio output registers how it stops itself. The player makes no platform
// calls of its own, so it reaches the output's thread only through this.
typedef void (*OutputStopper)(Song* song);
void SetOutputStopper(OutputStopper stopper);
