#include "MessageBoxSpy.h"

MessageBoxSpy* MessageBoxSpy::s_pActive = nullptr;

MessageBoxSpy::MessageBoxSpy(int answer_) : answer(answer_)
{
    s_pActive = this;
    SetMessageBoxProc(&MessageBoxSpy::Show);
}

MessageBoxSpy::~MessageBoxSpy()
{
    SetMessageBoxProc(nullptr);
    s_pActive = nullptr;
}

int WINAPI MessageBoxSpy::Show(HWND, LPCSTR text, LPCSTR caption, UINT type)
{
    if (!s_pActive)
        return 0;
    s_pActive->shown.push_back({text ? text : "", caption ? caption : "", type});
    return s_pActive->answer;
}
