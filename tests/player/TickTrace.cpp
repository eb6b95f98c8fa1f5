#include "TickTrace.h"

std::vector<TickTrace> TraceMoreTicks(Song* song, int ticks)
{
    std::vector<TickTrace> trace;
    for (int i = 0; i < ticks; ++i) {
        const int32_t tick = song->tick;
        SongTick(song);
        TickTrace entry = {song->orderPos, song->row, tick, {}};
        for (int c = 0; c < song->channelCount; ++c) {
            const Channel& channel = ChannelTable[c];
            const Voice& voice = *channel.voice;
            entry.channels.push_back(
                ChannelTrace{channel.period, channel.periodDelta, channel.volume,
                             channel.volumeDelta, channel.panning, channel.volEnvValue,
                             channel.panEnvValue, channel.fadeoutVolume, channel.keyOff,
                             channel.updateFlags, voice.index, voice.sample != nullptr,
                             voice.positionInt, voice.volume, voice.panning, voice.frequency,
                             voice.leftTarget, voice.rightTarget});
        }
        trace.push_back(entry);
    }
    return trace;
}

std::vector<TickTrace> TraceTicks(Song* song, int ticks)
{
    ResetPlayState(song);
    return TraceMoreTicks(song, ticks);
}

std::vector<std::string> Positions(const std::vector<TickTrace>& trace)
{
    std::vector<std::string> positions;
    for (const TickTrace& entry : trace)
        positions.push_back(std::to_string(entry.order) + ":" + std::to_string(entry.row) + ":" +
                            std::to_string(entry.tick));
    return positions;
}
