#include "StatusLine.h"

#include <cstdio>

std::string FormatStatusLine(const std::string& moduleName, int orderPos, int songLength, int row,
                             int playTimeMs, int barWidth)
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
    const int minutes = playTimeMs / 60000;
    const int seconds = playTimeMs / 1000 % 60;
    const int tenths = playTimeMs / 100 % 10;
    std::snprintf(numbers, sizeof numbers, "   order %2d/%d   row %2d   %d:%02d.%d  ", orderPos + 1, songLength,
                  row, minutes, seconds, tenths);

    // Positions before the current one are played; the current one is under way.
    const int played = orderPos < songLength ? orderPos : songLength;
    const int filled = static_cast<int>(static_cast<long long>(played) * barWidth / songLength);
    std::string bar = "[";
    bar.append(static_cast<size_t>(filled), '#');
    bar.append(static_cast<size_t>(barWidth - filled), '.');
    bar += ']';

    return (moduleName.empty() ? std::string("(untitled)") : moduleName) + numbers + bar;
}
