#include "StatusLine.h"

#include <cstdio>

namespace {

// "m:ss.t"
std::string FormatTime(int ms)
{
    char text[32];
    std::snprintf(text, sizeof text, "%d:%02d.%d", ms / 60000, ms / 1000 % 60, ms / 100 % 10);
    return text;
}

}  // namespace

std::string FormatStatusLine(const std::string& moduleName, int orderPos, int songLength, int row, int playTimeMs,
                             int songMs, int barWidth)
{
    if (playTimeMs < 0)
        playTimeMs = 0;
    if (songLength < 1)
        songLength = 1;
    if (orderPos < 0)
        orderPos = 0;
    if (barWidth < 0)
        barWidth = 0;

    char numbers[96];
    std::snprintf(numbers, sizeof numbers, "   order %2d/%d   row %2d   %s%s%s  ", orderPos + 1, songLength, row,
                  FormatTime(playTimeMs).c_str(), songMs >= 0 ? " / " : "",
                  songMs >= 0 ? FormatTime(songMs).c_str() : "");

    // Positions before the current one are played; the current one is under way.
    const int played = orderPos < songLength ? orderPos : songLength;
    const int filled = static_cast<int>(static_cast<long long>(played) * barWidth / songLength);
    std::string bar = "[";
    bar.append(static_cast<size_t>(filled), '#');
    bar.append(static_cast<size_t>(barWidth - filled), '.');
    bar += ']';

    return (moduleName.empty() ? std::string("(untitled)") : moduleName) + numbers + bar;
}
