#pragma once

#include "ReportError.h"

#include <string>
#include <vector>

// Stands in for the "BREAK!" box: records every box shown and answers with a
// chosen button (0 = the box could not be shown).
struct MessageBoxSpy {
    struct Shown {
        std::string text;
        std::string caption;
        UINT type;
    };

    explicit MessageBoxSpy(int answer);
    ~MessageBoxSpy();

    static int WINAPI Show(HWND, LPCSTR text, LPCSTR caption, UINT type);

    int answer;
    std::vector<Shown> shown;

    static MessageBoxSpy* s_pActive;
};
