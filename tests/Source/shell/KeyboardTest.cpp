#include "Keyboard.h"

#include <gtest/gtest.h>

TEST(Keyboard, KeyDownAndUpSetAndClearTheEntry)
{
    HWND window = NULL;
    EXPECT_FALSE(IsKeyDown(VK_ESCAPE));
    EXPECT_EQ(MainWindowProc(window, WM_KEYDOWN, VK_ESCAPE, 0x00010001), 0);
    EXPECT_TRUE(IsKeyDown(VK_ESCAPE));
    EXPECT_TRUE(IsKeyDown(27 + 256)) << "only the low 8 bits of the code count";
    EXPECT_FALSE(IsKeyDown('A'));

    // Auto-repeat keeps it down; the key-up clears it.
    MainWindowProc(window, WM_KEYDOWN, VK_ESCAPE, 0x40010001);
    EXPECT_TRUE(IsKeyDown(VK_ESCAPE));
    MainWindowProc(window, WM_KEYUP, VK_ESCAPE, static_cast<LPARAM>(0xC0010001u));
    EXPECT_FALSE(IsKeyDown(VK_ESCAPE));
}

TEST(Keyboard, SystemKeysAreNotRecorded)
{
    MainWindowProc(NULL, WM_SYSKEYDOWN, VK_MENU, 0x20380001);
    EXPECT_FALSE(IsKeyDown(VK_MENU));
    MainWindowProc(NULL, WM_SYSKEYDOWN, 'X', 0x202D0001);
    EXPECT_FALSE(IsKeyDown('X'));
}

TEST(Keyboard, OutOfRangeCodesStayInsideTheTable)
{
    // A code above 255 lands on its low byte instead of past the table.
    MainWindowProc(NULL, WM_KEYDOWN, 0x1FF41, 0);
    EXPECT_TRUE(IsKeyDown(0x41));
    MainWindowProc(NULL, WM_KEYUP, 0x41, 0);
    EXPECT_FALSE(IsKeyDown(0x41));
}

TEST(Keyboard, DestroyPostsTheQuitMessage)
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
    }
    EXPECT_EQ(MainWindowProc(NULL, WM_DESTROY, 0, 0), 0);
    ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 0u);
    EXPECT_FALSE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) << "one quit message";
}
