#include "CString.h"
#include "MessageBoxSpy.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

TEST(CString, CopiesUpTo256CharactersWithoutReport)
{
    MessageBoxSpy spy(IDIGNORE);
    const std::string exact(256, 'a');
    CString s;
    s = exact.c_str();
    EXPECT_EQ(std::string(s.GetText()), exact);
    EXPECT_TRUE(spy.shown.empty());

    CString shortOne("hello");
    EXPECT_STREQ(shortOne, "hello");
    EXPECT_EQ(StringLen(shortOne), 5);
}

TEST(CString, NullGivesEmptyString)
{
    MessageBoxSpy spy(IDIGNORE);
    CString s("something");
    s = nullptr;
    EXPECT_STREQ(s, "");
    EXPECT_EQ(StringLen(nullptr), 0);
    EXPECT_TRUE(spy.shown.empty());
}

TEST(CString, TooLongStringIsCutAndReportedOnce)
{
    MessageBoxSpy spy(IDIGNORE);
    std::string tooLong(256, 'b');
    tooLong += 'Z';
    CString s;
    s = tooLong.c_str();
    EXPECT_EQ(std::string(s.GetText()), std::string(256, 'b'));
    ASSERT_EQ(spy.shown.size(), 1u);
    EXPECT_EQ(spy.shown[0].text.rfind("ASSERT: StringLen( string ) <= STRING_LEN, "
                                      "Trying to copy a string that is too large - line: ",
                                      0),
              0u)
        << spy.shown[0].text;

    s = tooLong.c_str();
    EXPECT_EQ(spy.shown.size(), 1u) << "the site was ignored once and stays quiet";
    EXPECT_EQ(StringLen(s), 256);
}

TEST(FormatString, FitsAt256AndReportsAt257)
{
    char buffer[300];
    std::memset(buffer, 'X', sizeof buffer);

    {
        MessageBoxSpy spy(0);  // a failed box keeps the site armed for the next case
        FormatString(buffer, "%s", std::string(256, 'c').c_str());
        EXPECT_EQ(std::string(buffer), std::string(256, 'c'));
        EXPECT_TRUE(spy.shown.empty());
    }
    {
        MessageBoxSpy spy(IDIGNORE);
        std::memset(buffer, 'X', sizeof buffer);
        char* result = FormatString(buffer, "%s%d", std::string(256, 'd').c_str(), 7);
        EXPECT_EQ(result, buffer);
        EXPECT_EQ(std::string(buffer), std::string(256, 'd')) << "cut and terminated";
        EXPECT_EQ(buffer[257], 'X') << "nothing written past the terminator";
        ASSERT_EQ(spy.shown.size(), 1u);
        EXPECT_EQ(spy.shown[0].text.rfind("ASSERT: chars_written >= 0, "
                                          "The formatted output is too long for the buffer",
                                          0),
                  0u);
    }
}

TEST(FormatString, FormatsArguments)
{
    MessageBoxSpy spy(IDIGNORE);
    char buffer[STRING_LEN + 1];
    EXPECT_STREQ(FormatString(buffer, "%s-%03d-%.2f", "ab", 7, 1.5), "ab-007-1.50");
    EXPECT_TRUE(spy.shown.empty());
}
