#include "StatusLine.h"

#include <gtest/gtest.h>

TEST(StatusLine, ShowsNamePositionTimeAgainstTheLengthAndBar)
{
    EXPECT_EQ(FormatStatusLine("Skelvane placeholder", 1, 4, 17, 5230, 141720, 20),
              "Skelvane placeholder   order  2/4   row 17   0:05.2 / 2:21.7  [#####...............]");
}

TEST(StatusLine, BarFillsWithTheOrderList)
{
    EXPECT_EQ(FormatStatusLine("x", 0, 8, 0, 0, -1, 8), "x   order  1/8   row  0   0:00.0  [........]");
    EXPECT_EQ(FormatStatusLine("x", 7, 8, 63, 0, -1, 8), "x   order  8/8   row 63   0:00.0  [#######.]");
    // Positions past the song length (a jump beyond it) fill the bar, never more.
    EXPECT_EQ(FormatStatusLine("x", 12, 8, 0, 0, -1, 8), "x   order 13/8   row  0   0:00.0  [########]");
}

TEST(StatusLine, MinutesAndOddInput)
{
    EXPECT_EQ(FormatStatusLine("", 0, 0, 5, 754321, 3600000, 4),
              "(untitled)   order  1/1   row  5   12:34.3 / 60:00.0  [....]");
    EXPECT_EQ(FormatStatusLine("y", -3, 2, 1, -50, -1, 0), "y   order  1/2   row  1   0:00.0  []");
}
