#pragma once

#include <string>

// One status line of xmplay: module name, order position and row, elapsed time,
// and a bar over the order list,
//     "Skelvane placeholder   order  2/4   row 17   0:05.2  [##########..........]"
// barWidth cells; the bar counts the positions before the current one as played.
std::string FormatStatusLine(const std::string& moduleName, int orderPos, int songLength, int row,
                             int playTimeMs, int barWidth);
