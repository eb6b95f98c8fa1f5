#pragma once

// Tests that open windows or draw need an X display; the test command gives them Xvfb.
// Without one they are skipped, not failed.
#include <gtest/gtest.h>

#include <cstdlib>

inline bool HasDisplay()
{
    return std::getenv("DISPLAY") != nullptr;
}

#define REQUIRE_DISPLAY()                                                      \
    do {                                                                       \
        if (!HasDisplay())                                                     \
            GTEST_SKIP() << "needs an X display (the test command runs Xvfb)"; \
    } while (0)
