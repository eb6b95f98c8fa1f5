#include "TestWindow.h"

namespace {

// With no window manager, X gives keys to whatever lies under the pointer unless a
// window takes focus explicitly; park the pointer where no test window is.
class Focus : public WindowFixture {
protected:
    void SetUp() override
    {
        WindowFixture::SetUp();
        if (!IsSkipped())
            SDL_WarpMouseGlobal(1270, 1010);
    }
};

}  // namespace

TEST_F(Focus, AShownWindowBecomesTheActiveWindow)
{
    EXPECT_NE(GetActiveWindow(), m_window) << "hidden windows are never active";
    ShowWindow(m_window, SW_SHOWDEFAULT);
    EXPECT_EQ(GetActiveWindow(), m_window);
}

TEST_F(Focus, ShowingAnotherWindowTakesActivationAway)
{
    ShowWindow(m_window, SW_SHOWDEFAULT);
    ASSERT_EQ(GetActiveWindow(), m_window);
    HWND other = MakeWindow(500, 500);
    ASSERT_NE(other, nullptr);
    ShowWindow(other, SW_SHOWDEFAULT);
    EXPECT_EQ(GetActiveWindow(), other);
}

TEST_F(Focus, KeysGoToTheFocusedWindowWhenSdlNamesNone)
{
    ShowWindow(m_window, SW_SHOWDEFAULT);
    DrainQueue();
    SDL_Event event = {};
    event.type = SDL_KEYDOWN;
    event.key.state = SDL_PRESSED;
    event.key.keysym.scancode = SDL_SCANCODE_ESCAPE;
    SDL_PushEvent(&event);
    MSG msg = {};
    ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, m_window);
}

TEST_F(Focus, CursorDisplayCount)
{
    EXPECT_EQ(ShowCursor(FALSE), -1);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    EXPECT_EQ(ShowCursor(FALSE), -2);
    EXPECT_EQ(ShowCursor(TRUE), -1);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE) << "still hidden below 0";
    EXPECT_EQ(ShowCursor(TRUE), 0);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
}

TEST(FocusWithoutWindows, NoActiveWindowBeforeVideoStarts)
{
    if (SDL_WasInit(SDL_INIT_VIDEO))
        GTEST_SKIP() << "video already running in this process";
    EXPECT_EQ(GetActiveWindow(), nullptr);
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
}
