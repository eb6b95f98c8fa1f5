#pragma once

struct Song;

// Frees everything a Song owns and the Song itself, without touching the
// output: for songs that never left the loader.
void ReleaseSongMemory(Song* song);
