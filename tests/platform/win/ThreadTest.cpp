#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

namespace {

DWORD WINAPI ReturnParameter(LPVOID parameter)
{
    return static_cast<DWORD>(reinterpret_cast<uintptr_t>(parameter));
}

std::atomic<bool> s_release{false};
std::atomic<bool> s_finished{false};

DWORD WINAPI WaitForRelease(LPVOID)
{
    while (!s_release)
        Sleep(1);
    s_finished = true;
    return 5;
}

double MillisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

TEST(Thread, RunsAtOnceWithItsParameterAndReportsItsExitCode)
{
    DWORD id = 0;
    HANDLE thread = CreateThread(NULL, 0, &ReturnParameter, reinterpret_cast<LPVOID>(42), 0, &id);
    ASSERT_NE(thread, nullptr);
    EXPECT_NE(id, 0u);
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, 42u);
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0) << "an ended thread stays signalled";
    EXPECT_TRUE(CloseHandle(thread));
}

TEST(Thread, WaitTimesOutWhileTheThreadRuns)
{
    s_release = false;
    s_finished = false;
    HANDLE thread = CreateThread(NULL, 0, &WaitForRelease, NULL, 0, NULL);
    ASSERT_NE(thread, nullptr);
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, STILL_ACTIVE);
    EXPECT_EQ(WaitForSingleObject(thread, 20), WAIT_TIMEOUT);
    s_release = true;
    EXPECT_EQ(WaitForSingleObject(thread, 5000), WAIT_OBJECT_0);
    EXPECT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, 5u);
    EXPECT_TRUE(CloseHandle(thread));
}

TEST(Thread, HandleCanBeClosedWhileTheThreadRuns)
{
    s_release = false;
    s_finished = false;
    HANDLE thread = CreateThread(NULL, 0, &WaitForRelease, NULL, 0, NULL);
    ASSERT_NE(thread, nullptr);
    EXPECT_TRUE(CloseHandle(thread));
    s_release = true;
    const auto start = std::chrono::steady_clock::now();
    while (!s_finished && MillisecondsSince(start) < 5000)
        Sleep(1);
    EXPECT_TRUE(s_finished);
}

TEST(Thread, PriorityIsKeptAndTimeCriticalNeverFailsTheCaller)
{
    s_release = false;
    HANDLE thread = CreateThread(NULL, 0, &WaitForRelease, NULL, 0, NULL);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(GetThreadPriority(thread), THREAD_PRIORITY_NORMAL);
    // Raising needs privileges on Linux; the intro ignores the result either way.
    SetThreadPriority(thread, THREAD_PRIORITY_TIME_CRITICAL);
    EXPECT_EQ(GetThreadPriority(thread), THREAD_PRIORITY_TIME_CRITICAL);
    EXPECT_TRUE(SetThreadPriority(thread, THREAD_PRIORITY_LOWEST)) << "lowering is always allowed";
    s_release = true;
    EXPECT_EQ(WaitForSingleObject(thread, 5000), WAIT_OBJECT_0);
    EXPECT_TRUE(CloseHandle(thread));
}

TEST(Thread, BadArgumentsAndForeignHandlesAreRefused)
{
    EXPECT_EQ(CreateThread(NULL, 0, NULL, NULL, 0, NULL), nullptr);
    EXPECT_EQ(CreateThread(NULL, 0, &ReturnParameter, NULL, CREATE_SUSPENDED, NULL), nullptr);
    int notAThread = 0;
    EXPECT_EQ(WaitForSingleObject(&notAThread, 0), WAIT_FAILED);
    EXPECT_FALSE(CloseHandle(&notAThread));
    EXPECT_FALSE(CloseHandle(NULL));
    EXPECT_FALSE(SetThreadPriority(NULL, THREAD_PRIORITY_NORMAL));
}
