#pragma once

#include <string>

// One status line of xmplay: module name, order position and row, elapsed time
// against the song's length (left out when songMs is below 0), and a bar over
// the order list,
//     "Skelvane   order  2/4   row 17   0:05.2 / 2:21.7  [##########..........]"
// barWidth cells; the bar counts the positions before the current one as played.
std::string FormatStatusLine(const std::string& moduleName, int orderPos, int songLength, int row, int playTimeMs,
                             int songMs, int barWidth);
