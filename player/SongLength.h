#pragma once

// How long a song plays before it repeats itself, for tools that render or
// play a song once (xm2wav, xmplay, a capture's default length). Playback
// itself never asks: the intro's music simply keeps looping.
//
// The length comes from a pass of the sequencer alone: SongTick runs the first
// tick of every row with nothing mixed; the row's other ticks, which change
// neither the song's course nor its timing, are counted without being run.
// Frames are counted exactly as the block fill counts them. The song ends at the first row start that
// repeats one already played in the same pattern-loop state: the wrap at the
// end of the order list to its restart position, a backward Bxx or Dxx, or
// any other way back. Rows repeated by an E6x loop (the loop counter differs)
// and the ticks of an EEx delay are part of the song.
//
// The pass uses the player's channel and voice tables: call it while nothing
// plays. It leaves the song and the tables at play start (ResetPlayState).

#include "Song.h"

#include <cstdint>

struct SongLength {
    // False when the end, or the end of the last extra pass, lies beyond the
    // limit; frames is then the limit.
    bool found;
    // One play: play start to the first return; 0 when that lies beyond the
    // limit (and so do the loop fields).
    int64_t songFrames;
    // With extra passes: play start to the return that ends the last pass.
    // Equal to songFrames when none were asked for.
    int64_t frames;
    // Where playback goes on after the end, and the frame at which that row
    // was first played: each further pass plays from there.
    int32_t loopOrder;
    int32_t loopRow;
    int64_t loopFrame;
};

// The song's length from play start, in output frames, followed through
// extraPasses further passes from the row it returns to, each ending where
// playback comes back to that row again. A null song, or a limit of 0 or
// less, gives found false and 0 frames.
SongLength FindSongLength(Song* song, int32_t extraPasses, int64_t limitFrames);
