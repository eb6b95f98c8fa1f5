#include "TestWindow.h"
#include "win/TerminationSignals.h"

#include <signal.h>

namespace {

using MessageQueue = WindowFixture;

bool Next(MSG& msg)
{
    return PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE) != FALSE;
}

}  // namespace

TEST_F(MessageQueue, PostedMessagesComeOutInOrderAndOnce)
{
    PostMessageA(m_window, 0x0400, 1, 2);
    PostMessageA(NULL, 0x0401, 3, 4);
    MSG msg = {};
    ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, 0x0400u);
    ASSERT_TRUE(Next(msg));
    EXPECT_EQ(msg.hwnd, m_window);
    EXPECT_EQ(msg.message, 0x0400u);
    EXPECT_EQ(msg.wParam, 1u);
    EXPECT_EQ(msg.lParam, 2);
    ASSERT_TRUE(Next(msg));
    EXPECT_EQ(msg.hwnd, nullptr);
    EXPECT_EQ(msg.message, 0x0401u);
    EXPECT_FALSE(Next(msg));
}

TEST_F(MessageQueue, FiltersByWindowAndRange)
{
    PostMessageA(NULL, 0x0500, 0, 0);
    PostMessageA(m_window, 0x0600, 0, 0);
    MSG msg = {};
    ASSERT_TRUE(PeekMessageA(&msg, m_window, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, 0x0600u);
    PostMessageA(m_window, 0x0700, 0, 0);
    ASSERT_TRUE(PeekMessageA(&msg, NULL, 0x0700, 0x07FF, PM_REMOVE));
    EXPECT_EQ(msg.message, 0x0700u);
    ASSERT_TRUE(PeekMessageA(&msg, reinterpret_cast<HWND>(-1), 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, 0x0500u);
    EXPECT_FALSE(Next(msg));
    EXPECT_FALSE(PostMessageA(reinterpret_cast<HWND>(&msg), 0x0400, 0, 0)) << "not a window";
}

TEST_F(MessageQueue, QuitComesOutWhenNothingElseWaits)
{
    PostQuitMessage(7);
    PostMessageA(m_window, 0x0400, 0, 0);
    MSG msg = {};
    ASSERT_TRUE(Next(msg));
    EXPECT_EQ(msg.message, 0x0400u);
    ASSERT_TRUE(Next(msg));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_EQ(msg.hwnd, nullptr);
    EXPECT_FALSE(Next(msg));
}

TEST_F(MessageQueue, KeysArriveWithVirtualKeyCodes)
{
    PushKey(m_window, SDL_SCANCODE_ESCAPE, true);
    PushKey(m_window, SDL_SCANCODE_ESCAPE, true, 0, true);
    PushKey(m_window, SDL_SCANCODE_ESCAPE, false);
    PushKey(m_window, SDL_SCANCODE_A, true);
    PushKey(m_window, SDL_SCANCODE_LEFT, true);
    PushKey(m_window, SDL_SCANCODE_F1, true);

    MSG msg = {};
    ASSERT_TRUE(Next(msg));
    EXPECT_EQ(msg.hwnd, m_window);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>(VK_ESCAPE));
    EXPECT_EQ(static_cast<DWORD>(msg.lParam), 0x00010001u) << "scan code 1, repeat count 1";

    ASSERT_TRUE(Next(msg));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_EQ(static_cast<DWORD>(msg.lParam), 0x40010001u) << "auto-repeat: was down before";

    ASSERT_TRUE(Next(msg));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_KEYUP));
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>(VK_ESCAPE));
    EXPECT_EQ(static_cast<DWORD>(msg.lParam), 0xC0010001u);

    ASSERT_TRUE(Next(msg));
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>('A'));
    ASSERT_TRUE(Next(msg));
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>(VK_LEFT));
    EXPECT_EQ(static_cast<DWORD>(msg.lParam) >> 16, 0x014Bu) << "extended key";
    ASSERT_TRUE(Next(msg));
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>(VK_F1));
    EXPECT_FALSE(Next(msg));
}

TEST_F(MessageQueue, DispatchCallsTheWindowProcedure)
{
    PushKey(m_window, SDL_SCANCODE_SPACE, true);
    MSG msg = {};
    ASSERT_TRUE(Next(msg));
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    ASSERT_EQ(RecordedMessages().size(), 1u);
    EXPECT_EQ(RecordedMessages()[0].message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_EQ(RecordedMessages()[0].wParam, static_cast<WPARAM>(VK_SPACE));
}

TEST_F(MessageQueue, AltKeysAreSystemKeysAndAltF4ClosesTheWindow)
{
    PushKey(m_window, SDL_SCANCODE_LALT, true, KMOD_LALT);
    PushKey(m_window, SDL_SCANCODE_F4, true, KMOD_LALT);
    MSG msg = {};
    ASSERT_TRUE(Next(msg));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_SYSKEYDOWN));
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>(VK_MENU));
    DispatchMessageA(&msg);
    ASSERT_TRUE(Next(msg));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_SYSKEYDOWN));
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>(VK_F4));
    EXPECT_TRUE((static_cast<DWORD>(msg.lParam) >> 16) & KF_ALTDOWN);
    DispatchMessageA(&msg);

    // Default handling: WM_SYSCOMMAND SC_CLOSE, WM_CLOSE, then the window is destroyed.
    std::vector<UINT> seen;
    for (const RecordedMessage& m : RecordedMessages())
        seen.push_back(m.message);
    const std::vector<UINT> expected = {WM_SYSKEYDOWN, WM_SYSKEYDOWN, WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY};
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(GetSdlWindow(m_window), nullptr);
    m_windows.clear();
}

TEST_F(MessageQueue, CtrlAltIsNoSystemKey)
{
    PushKey(m_window, SDL_SCANCODE_X, true, KMOD_LALT | KMOD_LCTRL);
    MSG msg = {};
    ASSERT_TRUE(Next(msg));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_KEYDOWN));
}

TEST_F(MessageQueue, CloseRequestBecomesWmCloseAndDestroysTheWindow)
{
    SDL_Event event = {};
    event.type = SDL_WINDOWEVENT;
    event.window.event = SDL_WINDOWEVENT_CLOSE;
    event.window.windowID = SDL_GetWindowID(GetSdlWindow(m_window));
    SDL_PushEvent(&event);

    MSG msg = {};
    ASSERT_TRUE(Next(msg));
    EXPECT_EQ(msg.hwnd, m_window);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_CLOSE));
    PostMessageA(m_window, 0x0400, 0, 0);
    DispatchMessageA(&msg);
    EXPECT_EQ(GetSdlWindow(m_window), nullptr);
    ASSERT_EQ(RecordedMessages().size(), 2u);
    EXPECT_EQ(RecordedMessages()[1].message, static_cast<UINT>(WM_DESTROY));
    EXPECT_FALSE(Next(msg)) << "messages posted to the destroyed window are gone";
    EXPECT_EQ(DispatchMessageA(&msg), 0) << "dispatch to a dead window does nothing";
    m_windows.clear();
}

TEST_F(MessageQueue, CtrlCAndKillCloseEveryWindowAndASecondOneEndsTheProcess)
{
    HWND other = MakeWindow(200, 200);
    for (int signalNumber : {SIGINT, SIGTERM}) {
        CatchTerminationSignals();
        raise(signalNumber);
        raise(signalNumber == SIGINT ? SIGTERM : SIGINT);  // a burst of signals is one request
        MSG msg = {};
        std::vector<HWND> closed;
        while (Next(msg)) {
            EXPECT_EQ(msg.message, static_cast<UINT>(WM_CLOSE));
            closed.push_back(msg.hwnd);
        }
        EXPECT_EQ(closed, (std::vector<HWND>{m_window, other})) << signalNumber;
        EXPECT_EXIT(raise(signalNumber), testing::KilledBySignal(signalNumber), "")
            << "a second signal while the program shuts down";
    }
    CatchTerminationSignals();
}
