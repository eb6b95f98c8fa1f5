#include <windows.h>

#include <SDL.h>

int WINAPI MessageBoxA(HWND, LPCSTR lpText, LPCSTR lpCaption, UINT uType)
{
    // Only the Abort/Retry/Ignore box is asked for; other types get a single OK.
    const SDL_MessageBoxButtonData abortRetryIgnore[] = {
        {0, IDABORT, "Abort"},
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IDRETRY, "Retry"},
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDIGNORE, "Ignore"},
    };
    const SDL_MessageBoxButtonData ok[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDOK, "OK"},
    };
    const bool isAbortRetryIgnore = (uType & 0xFu) == MB_ABORTRETRYIGNORE;

    SDL_MessageBoxData data = {};
    data.flags = (uType & MB_ICONWARNING) ? SDL_MESSAGEBOX_WARNING : SDL_MESSAGEBOX_INFORMATION;
    data.title = lpCaption ? lpCaption : "";
    data.message = lpText ? lpText : "";
    data.buttons = isAbortRetryIgnore ? abortRetryIgnore : ok;
    data.numbuttons = isAbortRetryIgnore ? 3 : 1;

    int button = 0;
    if (SDL_ShowMessageBox(&data, &button) != 0)
        return 0;
    return button > 0 ? button : 0;
}
