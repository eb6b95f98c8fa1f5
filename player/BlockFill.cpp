#include "BlockFill.h"

#include "PlayerMemory.h"

#include <cstring>

BlockRing PlayRing = {nullptr, nullptr, nullptr, nullptr, 0, nullptr};

namespace {

const size_t MIX_RING_ALIGNMENT = 16;
const int32_t MILLISECONDS_PER_SECOND = 1000;

}  // namespace

bool OpenBlockRing(Song* song)
{
    CloseBlockRing();
    if (!song)
        return false;
    BlockRing ring = {nullptr, nullptr, nullptr, nullptr, 0, song};
    ring.positions = static_cast<BlockPosition*>(
        PlayerAllocZeroed(sizeof(BlockPosition) * BlockCount));
    ring.pcmRing = static_cast<int16_t*>(PlayerAllocZeroed(sizeof(int16_t) * 2 * RingFrames));
    ring.mixRingMemory = PlayerAllocZeroed(sizeof(float) * 2 * RingFrames + 256);
    if (!ring.positions || !ring.pcmRing || !ring.mixRingMemory) {
        PlayerFree(ring.positions);
        PlayerFree(ring.pcmRing);
        PlayerFree(ring.mixRingMemory);
        return false;
    }
    const uintptr_t address = reinterpret_cast<uintptr_t>(ring.mixRingMemory);
    const uintptr_t aligned = (address + MIX_RING_ALIGNMENT - 1) &
                              ~uintptr_t(MIX_RING_ALIGNMENT - 1);
    ring.mixRing = reinterpret_cast<float*>(aligned);
    PlayRing = ring;
    return true;
}

void MixBlock(Song* song, float* mix, int16_t* pcm)
{
    std::memset(mix, 0, sizeof(float) * 2 * BlockFrames);
    int32_t done = 0;
    int32_t left = song->samplesLeftInTick;
    while (done < BlockFrames) {
        if (left <= 0) {
            if (song->tickCallback)
                song->tickCallback(song);
            left = song->samplesPerTick > 0 ? song->samplesPerTick : 1;
        }
        const int32_t count = left < BlockFrames - done ? left : BlockFrames - done;
        MixVoices(mix + size_t(done) * 2, count);
        // Derived from the frame count, never summed per stretch, so the
        // time stays exact however the stretches fall.
        song->mixedFrames += uint64_t(count);
        song->playTimeMs = int32_t(song->mixedFrames * MILLISECONDS_PER_SECOND / uint64_t(MixRate));
        done += count;
        left -= count;
    }
    song->samplesLeftInTick = left;
    ConvertToPcm16(pcm, mix, BlockFrames);
}

void FillBlock()
{
    Song* song = PlayRing.currentSong;
    if (!song || !PlayRing.mixRing)
        return;
    const int32_t block = PlayRing.nextBlock;
    MixBlock(song, PlayRing.mixRing + size_t(block) * BlockFrames * 2,
             PlayRing.pcmRing + size_t(block) * BlockFrames * 2);
    BlockPosition& position = PlayRing.positions[block];
    position.orderPos = uint8_t(song->orderPos);
    position.row = uint8_t(song->row);
    position.playTimeMs = song->playTimeMs;
    PlayRing.nextBlock = block + 1 == BlockCount ? 0 : block + 1;
}

void CloseBlockRing()
{
    PlayerFree(PlayRing.positions);
    PlayerFree(PlayRing.pcmRing);
    PlayerFree(PlayRing.mixRingMemory);
    PlayRing = BlockRing{nullptr, nullptr, nullptr, nullptr, 0, nullptr};
}

const int16_t* BlockPcm(int32_t block)
{
    if (!PlayRing.pcmRing || block < 0 || block >= BlockCount)
        return nullptr;
    return PlayRing.pcmRing + size_t(block) * BlockFrames * 2;
}
