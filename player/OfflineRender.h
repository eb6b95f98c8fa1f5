#pragma once

// Renders a song from play start without an output device, exactly as the
// audio output would mix it: block by block through the same block mix.

#include "BlockFill.h"
#include "Song.h"

#include <cstdint>

// A render in progress, handed out in pieces of any size. The song is mixed a
// block at a time into the record's own buffers (whole blocks straight into
// the caller's), so a render of any length needs no memory beyond this record.
struct SongStream {
    Song* song;         // null before StartSongStream
    int32_t pcmFrames;  // frames of pcm not yet handed out; they end the block
    float mix[BlockFrames * 2];
    int16_t pcm[BlockFrames * 2];
};

// Puts the song at play start (ResetPlayState) and the stream before its
// first frame. False for a null song.
bool StartSongStream(SongStream& stream, Song* song);

// The stream's next `frames` stereo 16-bit frames (2 x frames values, left
// first). Does nothing before StartSongStream.
void ReadSongStream(SongStream& stream, int16_t* destination, int64_t frames);

// Puts the song at play start and writes its first `frames` frames to
// destination. False for a null song, a null destination with frames to
// write, or when memory runs out.
bool RenderSong(Song* song, int16_t* destination, int64_t frames);
