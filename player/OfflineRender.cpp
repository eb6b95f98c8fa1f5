#include "OfflineRender.h"

#include "BlockFill.h"
#include "PlayState.h"

#include <cstring>

bool RenderSong(Song* song, int16_t* destination, int64_t frames)
{
    if (!song || (!destination && frames > 0))
        return false;
    ResetPlayState(song);
    if (!OpenBlockRing(song))
        return false;
    int64_t done = 0;
    while (done < frames) {
        const int32_t block = PlayRing.nextBlock;
        FillBlock();
        int64_t count = frames - done;
        if (count > BlockFrames)
            count = BlockFrames;
        std::memcpy(destination + done * 2, BlockPcm(block), size_t(count) * 2 * sizeof(int16_t));
        done += count;
    }
    CloseBlockRing();
    return true;
}
