#include "SongLength.h"

#include "PlayState.h"
#include "Sequencer.h"

#include <string>
#include <unordered_map>

namespace {

// The pattern loops that are counting, as bytes: channel, loop row, count.
// Taken before a row tick, whose E6x may change them. A loop row whose
// counter is 0 is left out: the next E6x with a count normally follows an
// E60 of its own, so the row from an earlier loop no longer matters.
std::string CountingLoops(const Song* song)
{
    std::string loops;
    const int channels = song->channelCount < MAX_CHANNELS ? song->channelCount : MAX_CHANNELS;
    for (int c = 0; c < channels; ++c) {
        const Channel& channel = ChannelTable[c];
        if (channel.loopCount != 0) {
            loops += char(c);
            loops += char(channel.loopRow);
            loops += char(channel.loopCount);
        }
    }
    return loops;
}

// The row the tick just started, with the loops as they stood before it.
std::string RowKey(const Song* song, const std::string& loops)
{
    std::string key;
    key += char(song->orderPos);
    key += char(song->row);
    return key + loops;
}

int32_t TickFrames(const Song* song)
{
    return song->samplesPerTick > 0 ? song->samplesPerTick : 1;
}

}  // namespace

SongLength FindSongLength(Song* song, int32_t extraPasses, int64_t limitFrames)
{
    SongLength length = {false, 0, limitFrames > 0 ? limitFrames : 0, 0, 0, 0};
    if (!song || limitFrames <= 0)
        return length;
    ResetPlayState(song);
    std::unordered_map<std::string, int64_t> played;  // row key -> frame of its first start
    std::string returnKey;                            // the row the song comes back to
    int32_t passesLeft = extraPasses > 0 ? extraPasses : 0;
    int64_t frames = 0;
    while (frames <= limitFrames) {
        if (song->tick != 0) {
            frames += int64_t(SkipRestOfRow(song)) * TickFrames(song);
            continue;
        }
        const std::string loops = CountingLoops(song);
        SongTick(song);
        const std::string key = RowKey(song, loops);
        if (returnKey.empty()) {
            const auto first = played.emplace(key, frames);
            if (!first.second) {
                returnKey = key;
                length.songFrames = frames;
                length.loopOrder = song->orderPos;
                length.loopRow = song->row;
                length.loopFrame = first.first->second;
            }
        } else if (key == returnKey) {
            --passesLeft;
        }
        if (!returnKey.empty() && passesLeft == 0) {
            length.found = true;
            length.frames = frames;
            break;
        }
        frames += TickFrames(song);
    }
    ResetPlayState(song);
    return length;
}
