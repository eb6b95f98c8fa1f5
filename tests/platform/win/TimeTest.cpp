#include <windows.h>

#include <gtest/gtest.h>

TEST(Time, CounterHasAFixedFrequencyAndRunsForward)
{
    LARGE_INTEGER frequency, first, second;
    ASSERT_TRUE(QueryPerformanceFrequency(&frequency));
    EXPECT_GT(frequency.QuadPart, 0);
    LARGE_INTEGER again;
    QueryPerformanceFrequency(&again);
    EXPECT_EQ(again.QuadPart, frequency.QuadPart);

    ASSERT_TRUE(QueryPerformanceCounter(&first));
    Sleep(30);
    ASSERT_TRUE(QueryPerformanceCounter(&second));
    const double seconds = static_cast<double>(second.QuadPart - first.QuadPart) / frequency.QuadPart;
    EXPECT_GE(seconds, 0.029);
    EXPECT_LT(seconds, 2.0);
    EXPECT_FALSE(QueryPerformanceCounter(NULL));
    EXPECT_FALSE(QueryPerformanceFrequency(NULL));
}

TEST(Time, TickCountIsInMillisecondsAndSleepZeroReturns)
{
    const ULONGLONG start = GetTickCount64();
    Sleep(0);
    Sleep(25);
    const ULONGLONG elapsed = GetTickCount64() - start;
    EXPECT_GE(elapsed, 24u);
    EXPECT_LT(elapsed, 2000u);
}
