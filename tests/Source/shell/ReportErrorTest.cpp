#include "MessageBoxSpy.h"
#include "ReportError.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Each function is its own assertion site with its own once-only flag.
int s_firstSiteLine = 0;

void FirstSite(bool condition)
{
    s_firstSiteLine = __LINE__ + 1;  // the assertion on the next line
    ASSERT(condition, "first site failed");
}

void SecondSite(int value)
{
    ASSERT(value > 3, "second site failed");
}

void SiteAnsweredByFailedBox(bool condition)
{
    ASSERT(condition, "box failed");
}

#ifdef _WIN32
const int ABORT_EXIT_CODE = -1;
#else
const int ABORT_EXIT_CODE = 255;  // exit(-1) as seen by a POSIX parent
#endif

}  // namespace

TEST(ReportError, ShowsTheBreakBoxWithAbortRetryIgnore)
{
    MessageBoxSpy spy(IDIGNORE);
    EXPECT_TRUE(ReportError("Failed to load mesh"));
    ASSERT_EQ(spy.shown.size(), 1u);
    EXPECT_EQ(spy.shown[0].text, "Failed to load mesh");
    EXPECT_EQ(spy.shown[0].caption, "BREAK!");
    EXPECT_EQ(spy.shown[0].type, 0x1032u);
}

TEST(ReportError, IgnoreGoesOnAndFailedBoxReturnsFalse)
{
    {
        MessageBoxSpy spy(IDIGNORE);
        EXPECT_TRUE(ReportError("x %d", 1));
        EXPECT_TRUE(ReportError("x %d", 1));  // a direct report can show again
        EXPECT_EQ(spy.shown.size(), 2u);
    }
    {
        MessageBoxSpy spy(0);
        EXPECT_FALSE(ReportError("no display"));
    }
}

TEST(ReportError, RetryWithoutDebuggerCountsAsIgnore)
{
    MessageBoxSpy spy(IDRETRY);
    EXPECT_TRUE(ReportError("retry me"));
    EXPECT_EQ(spy.shown.size(), 1u);
}

TEST(ReportError, OverlongMessageIsCutAt2047Characters)
{
    MessageBoxSpy spy(IDIGNORE);
    const std::string huge(5000, 'q');
    ReportError("%s", huge.c_str());
    ASSERT_EQ(spy.shown.size(), 1u);
    EXPECT_EQ(spy.shown[0].text, std::string(2047, 'q'));
}

TEST(ReportErrorDeathTest, AbortEndsTheProcessWithMinusOne)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            MessageBoxSpy spy(IDABORT);
            ReportError("abort me");
        },
        testing::ExitedWithCode(ABORT_EXIT_CODE), "");
}

TEST(Assertion, ReportsInFixedFormatOncePerSiteAfterIgnore)
{
    MessageBoxSpy spy(IDIGNORE);
    FirstSite(true);
    EXPECT_TRUE(spy.shown.empty());

    FirstSite(false);
    ASSERT_EQ(spy.shown.size(), 1u);
    const std::string& text = spy.shown[0].text;
    EXPECT_EQ(text.rfind("ASSERT: condition, first site failed - line: ", 0), 0u) << text;
    EXPECT_NE(text.find(" file: "), std::string::npos);
    EXPECT_NE(text.find("ReportErrorTest.cpp"), std::string::npos);
    const int line = std::stoi(text.substr(text.find("line: ") + 6));
    EXPECT_EQ(line, s_firstSiteLine);

    FirstSite(false);
    EXPECT_EQ(spy.shown.size(), 1u) << "an ignored site stays quiet";

    SecondSite(1);
    ASSERT_EQ(spy.shown.size(), 2u) << "other sites still report";
    EXPECT_EQ(spy.shown[1].text.rfind("ASSERT: value > 3, second site failed", 0), 0u);
}

TEST(Assertion, FailedBoxLeavesTheSiteArmed)
{
    MessageBoxSpy spy(0);
    SiteAnsweredByFailedBox(false);
    SiteAnsweredByFailedBox(false);
    EXPECT_EQ(spy.shown.size(), 2u);
}
