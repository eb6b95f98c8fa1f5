#pragma once

// The ring of output blocks that the audio output plays and the offline
// renderer reads: each block is mixed tick by tick from the song in floats and
// converted to 16-bit stereo PCM in the same frames of the PCM ring. The
// audio output and every offline render share this fill, so they produce the
// same samples.

#include "Mixer.h"
#include "Song.h"

#include <cstdint>

const int32_t BufferMs = 1000;
// 20 ms of frames rounded up to a multiple of 4.
const int32_t BlockFrames = ((MixRate * 20 / 1000) + 3) & ~3;
const int32_t RingFrames = (BufferMs / 20) * BlockFrames * 2;
const int32_t BlockCount = RingFrames / BlockFrames;

#pragma pack(push, 1)
// Where the song stood when a block had been mixed.
struct BlockPosition {
    uint8_t orderPos;  // low 8 bits
    uint8_t row;       // low 8 bits
    int32_t playTimeMs;
};
#pragma pack(pop)
static_assert(sizeof(BlockPosition) == 6, "block positions are 6 bytes");

struct BlockRing {
    int16_t* pcmRing;          // RingFrames stereo 16-bit frames
    float* mixRing;            // RingFrames stereo float frames, 16-byte aligned
    void* mixRingMemory;       // the allocation mixRing lies in
    BlockPosition* positions;  // BlockCount records
    int32_t nextBlock;         // the next block to fill
    Song* currentSong;         // the song being mixed; null when closed
};

extern BlockRing PlayRing;

// Allocates the rings and block positions (zero-filled) for the song, which
// must have been put at play start with ResetPlayState; nextBlock 0. Any ring
// open before is closed first. False (and nothing allocated) when memory runs
// out or the song is null.
bool OpenBlockRing(Song* song);

// Mixes the song's next BlockFrames frames: a sequencer tick whenever the
// frames of the current tick are used up, the voices mixed between ticks into
// mix (BlockFrames stereo floats, cleared first), the block converted to PCM
// in pcm. Every block of the ring and of an offline render is made by it.
void MixBlock(Song* song, float* mix, int16_t* pcm);

// Mixes block nextBlock for the current song: a sequencer tick whenever the
// frames of the current tick are used up, the voices mixed between ticks, the
// block's position stored and the block converted to PCM; nextBlock moves on,
// wrapping after the last block. Does nothing when the ring is closed.
void FillBlock();

// Frees the rings and forgets the song; nextBlock 0.
void CloseBlockRing();

// The PCM frames of block b.
const int16_t* BlockPcm(int32_t block);
