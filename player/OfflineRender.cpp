#include "OfflineRender.h"

#include "PlayState.h"
#include "PlayerMemory.h"

#include <cstring>

bool StartSongStream(SongStream& stream, Song* song)
{
    stream.song = song;
    stream.pcmFrames = 0;
    if (!song)
        return false;
    ResetPlayState(song);
    return true;
}

void ReadSongStream(SongStream& stream, int16_t* destination, int64_t frames)
{
    if (!stream.song || !destination)
        return;
    while (frames > 0) {
        if (stream.pcmFrames == 0 && frames >= BlockFrames) {
            MixBlock(stream.song, stream.mix, destination);
            destination += size_t(BlockFrames) * 2;
            frames -= BlockFrames;
            continue;
        }
        if (stream.pcmFrames == 0) {
            MixBlock(stream.song, stream.mix, stream.pcm);
            stream.pcmFrames = BlockFrames;
        }
        const int32_t count = frames < stream.pcmFrames ? int32_t(frames) : stream.pcmFrames;
        const int16_t* from = stream.pcm + size_t(BlockFrames - stream.pcmFrames) * 2;
        std::memcpy(destination, from, size_t(count) * 2 * sizeof(int16_t));
        destination += size_t(count) * 2;
        frames -= count;
        stream.pcmFrames -= count;
    }
}

bool RenderSong(Song* song, int16_t* destination, int64_t frames)
{
    if (!song || (!destination && frames > 0))
        return false;
    // About 11 KB: kept off the stack of the caller's thread.
    SongStream* stream = static_cast<SongStream*>(PlayerAllocZeroed(sizeof(SongStream)));
    if (!stream)
        return false;
    StartSongStream(*stream, song);
    ReadSongStream(*stream, destination, frames);
    PlayerFree(stream);
    return true;
}
