#pragma once

#include "Display.h"
#include "win/PlatformWindow.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

// A registered class and a popup window whose procedure records every message and
// passes it on to DefWindowProcA, as the intro's procedure does.
struct RecordedMessage {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

inline std::vector<RecordedMessage>& RecordedMessages()
{
    static std::vector<RecordedMessage> s_messages;
    return s_messages;
}

inline LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    RecordedMessages().push_back({window, message, wParam, lParam});
    return DefWindowProcA(window, message, wParam, lParam);
}

class WindowFixture : public testing::Test {
protected:
    void SetUp() override
    {
        REQUIRE_DISPLAY();
        WNDCLASSEXA c = {};
        c.cbSize = sizeof c;
        c.style = CS_CLASSDC;
        c.lpfnWndProc = &RecordingProc;
        c.hInstance = GetModuleHandleA(NULL);
        c.lpszClassName = "WinApiTest";
        ASSERT_NE(RegisterClassExA(&c), 0);
        m_window = MakeWindow(100, 100);
        ASSERT_NE(m_window, nullptr);
        DrainQueue();
        RecordedMessages().clear();
    }

    void TearDown() override
    {
        for (HWND window : m_windows)
            DestroyWindow(window);
        UnregisterClassA("WinApiTest", GetModuleHandleA(NULL));
        DrainQueue();
        RecordedMessages().clear();
    }

    HWND MakeWindow(int x, int y)
    {
        HWND window = CreateWindowExA(0, "WinApiTest", "", WS_POPUP, x, y, 320, 240, NULL, NULL, GetModuleHandleA(NULL),
                                      NULL);
        if (window)
            m_windows.push_back(window);
        return window;
    }

    static void DrainQueue()
    {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        }
    }

    // Queues a key event as SDL reports one from X.
    static void PushKey(HWND window, SDL_Scancode scancode, bool down, Uint16 modifiers = 0, bool repeat = false)
    {
        SDL_Event event = {};
        event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        event.key.windowID = SDL_GetWindowID(GetSdlWindow(window));
        event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
        event.key.repeat = repeat ? 1 : 0;
        event.key.keysym.scancode = scancode;
        event.key.keysym.sym = SDL_GetKeyFromScancode(scancode);
        event.key.keysym.mod = modifiers;
        SDL_PushEvent(&event);
    }

    HWND m_window = nullptr;
    std::vector<HWND> m_windows;
};
