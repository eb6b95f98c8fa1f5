#include "Display.h"
#include "win/PlatformWindow.h"

#include <gtest/gtest.h>

namespace {

int s_destroyCount = 0;

LRESULT CALLBACK CountingProc(HWND, UINT message, WPARAM, LPARAM)
{
    if (message == WM_DESTROY)
        ++s_destroyCount;
    return 0;
}

WNDCLASSEXA MakeClass(const char* name)
{
    WNDCLASSEXA c = {};
    c.cbSize = sizeof c;
    c.style = CS_CLASSDC;
    c.lpfnWndProc = &CountingProc;
    c.hInstance = GetModuleHandleA(NULL);
    c.lpszClassName = name;
    return c;
}

}  // namespace

TEST(Window, ClassRegistrationIsByName)
{
    const WNDCLASSEXA c = MakeClass("WindowTestClass");
    EXPECT_NE(RegisterClassExA(&c), 0);
    EXPECT_EQ(RegisterClassExA(&c), 0) << "a name registers once";
    EXPECT_TRUE(UnregisterClassA("WindowTestClass", c.hInstance));
    EXPECT_FALSE(UnregisterClassA("WindowTestClass", c.hInstance));
    EXPECT_EQ(CreateWindowExA(0, "WindowTestClass", "", WS_POPUP, 0, 0, 64, 64, nullptr, nullptr, c.hInstance, nullptr),
              nullptr)
        << "no window of an unregistered class";
}

TEST(Window, PopupWindowHasAnSdlWindowUntilDestroyed)
{
    REQUIRE_DISPLAY();
    const WNDCLASSEXA c = MakeClass("Skelvane");
    ASSERT_NE(RegisterClassExA(&c), 0);
    HWND window = CreateWindowExA(0, "Skelvane", "", WS_POPUP, 100, 100, 1024, 768, nullptr, nullptr, c.hInstance,
                                  nullptr);
    ASSERT_NE(window, nullptr);
    SDL_Window* sdl = GetSdlWindow(window);
    ASSERT_NE(sdl, nullptr);
    int w = 0, h = 0;
    SDL_GetWindowSize(sdl, &w, &h);
    EXPECT_EQ(w, 1024);
    EXPECT_EQ(h, 768);
    EXPECT_TRUE(SDL_GetWindowFlags(sdl) & SDL_WINDOW_BORDERLESS);
    EXPECT_EQ(FindWindowBySdlId(SDL_GetWindowID(sdl)), window);

    s_destroyCount = 0;
    EXPECT_TRUE(DestroyWindow(window));
    EXPECT_EQ(s_destroyCount, 1);
    EXPECT_EQ(GetSdlWindow(window), nullptr);
    EXPECT_TRUE(UnregisterClassA("Skelvane", c.hInstance));
}
