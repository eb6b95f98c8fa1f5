#include "SDL.h"

#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <cstdlib>
#include <cstring>
#include <deque>

// The page's one canvas stands behind every window: the page sizes it (full-window, or
// the back buffer's size for a capture) and the device letterboxes into whatever size it
// has. Keys, focus and visibility come from the browser's events, queued as SDL's.
struct SDL_Window {
    Uint32 id;
    Uint32 flags;
};

namespace {

const char* const CANVAS = "#canvas";

Uint32 s_initialized = 0;
Uint32 s_nextWindowId = 1;
SDL_Window* s_focus = nullptr;
std::deque<SDL_Event> s_events;
// The window that the page's events go to: the last one made.
SDL_Window* s_target = nullptr;

struct CodeRow {
    const char* code;
    SDL_Scancode scancode;
};

// KeyboardEvent.code names the key's position, as a scancode does; the rest are letters,
// digits, F keys and keypad digits, worked out below.
const CodeRow CODES[] = {
    {"Enter", SDL_SCANCODE_RETURN},
    {"Escape", SDL_SCANCODE_ESCAPE},
    {"Backspace", SDL_SCANCODE_BACKSPACE},
    {"Tab", SDL_SCANCODE_TAB},
    {"Space", SDL_SCANCODE_SPACE},
    {"Minus", SDL_SCANCODE_MINUS},
    {"Equal", SDL_SCANCODE_EQUALS},
    {"BracketLeft", SDL_SCANCODE_LEFTBRACKET},
    {"BracketRight", SDL_SCANCODE_RIGHTBRACKET},
    {"Backslash", SDL_SCANCODE_BACKSLASH},
    {"Semicolon", SDL_SCANCODE_SEMICOLON},
    {"Quote", SDL_SCANCODE_APOSTROPHE},
    {"Backquote", SDL_SCANCODE_GRAVE},
    {"Comma", SDL_SCANCODE_COMMA},
    {"Period", SDL_SCANCODE_PERIOD},
    {"Slash", SDL_SCANCODE_SLASH},
    {"CapsLock", SDL_SCANCODE_CAPSLOCK},
    {"PrintScreen", SDL_SCANCODE_PRINTSCREEN},
    {"ScrollLock", SDL_SCANCODE_SCROLLLOCK},
    {"Pause", SDL_SCANCODE_PAUSE},
    {"Insert", SDL_SCANCODE_INSERT},
    {"Home", SDL_SCANCODE_HOME},
    {"PageUp", SDL_SCANCODE_PAGEUP},
    {"Delete", SDL_SCANCODE_DELETE},
    {"End", SDL_SCANCODE_END},
    {"PageDown", SDL_SCANCODE_PAGEDOWN},
    {"ArrowRight", SDL_SCANCODE_RIGHT},
    {"ArrowLeft", SDL_SCANCODE_LEFT},
    {"ArrowDown", SDL_SCANCODE_DOWN},
    {"ArrowUp", SDL_SCANCODE_UP},
    {"NumLock", SDL_SCANCODE_NUMLOCKCLEAR},
    {"NumpadDivide", SDL_SCANCODE_KP_DIVIDE},
    {"NumpadMultiply", SDL_SCANCODE_KP_MULTIPLY},
    {"NumpadSubtract", SDL_SCANCODE_KP_MINUS},
    {"NumpadAdd", SDL_SCANCODE_KP_PLUS},
    {"NumpadEnter", SDL_SCANCODE_KP_ENTER},
    {"NumpadDecimal", SDL_SCANCODE_KP_PERIOD},
    {"IntlBackslash", SDL_SCANCODE_NONUSBACKSLASH},
    {"ContextMenu", SDL_SCANCODE_APPLICATION},
    {"ControlLeft", SDL_SCANCODE_LCTRL},
    {"ShiftLeft", SDL_SCANCODE_LSHIFT},
    {"AltLeft", SDL_SCANCODE_LALT},
    {"MetaLeft", SDL_SCANCODE_LGUI},
    {"ControlRight", SDL_SCANCODE_RCTRL},
    {"ShiftRight", SDL_SCANCODE_RSHIFT},
    {"AltRight", SDL_SCANCODE_RALT},
    {"MetaRight", SDL_SCANCODE_RGUI},
};

bool HasPrefix(const char* text, const char* prefix, const char*& rest)
{
    const size_t n = std::strlen(prefix);
    if (std::strncmp(text, prefix, n) != 0)
        return false;
    rest = text + n;
    return true;
}

SDL_Scancode ScancodeOf(const char* code)
{
    const char* rest = nullptr;
    if (HasPrefix(code, "Key", rest) && rest[0] >= 'A' && rest[0] <= 'Z' && !rest[1])
        return static_cast<SDL_Scancode>(SDL_SCANCODE_A + (rest[0] - 'A'));
    if (HasPrefix(code, "Digit", rest) && rest[0] >= '0' && rest[0] <= '9' && !rest[1])
        return rest[0] == '0' ? SDL_SCANCODE_0 : static_cast<SDL_Scancode>(SDL_SCANCODE_1 + (rest[0] - '1'));
    if (HasPrefix(code, "Numpad", rest) && rest[0] >= '0' && rest[0] <= '9' && !rest[1])
        return rest[0] == '0' ? SDL_SCANCODE_KP_0 : static_cast<SDL_Scancode>(SDL_SCANCODE_KP_1 + (rest[0] - '1'));
    if (code[0] == 'F' && code[1] >= '1' && code[1] <= '9') {
        char* end = nullptr;
        const long n = std::strtol(code + 1, &end, 10);
        if (!*end && n >= 1 && n <= 12)
            return static_cast<SDL_Scancode>(SDL_SCANCODE_F1 + n - 1);
    }
    for (const CodeRow& row : CODES)
        if (std::strcmp(row.code, code) == 0)
            return row.scancode;
    return SDL_SCANCODE_UNKNOWN;
}

EM_BOOL OnKey(int eventType, const EmscriptenKeyboardEvent* key, void*)
{
    // Keys go to the intro's window only while it has the focus; the rest stay the page's.
    const SDL_Scancode scancode = ScancodeOf(key->code);
    if (!s_target || s_focus != s_target || scancode == SDL_SCANCODE_UNKNOWN)
        return EM_FALSE;
    SDL_Event event = {};
    event.key.type = eventType == EMSCRIPTEN_EVENT_KEYDOWN ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.timestamp = SDL_GetTicks();
    event.key.windowID = s_target->id;
    event.key.repeat = key->repeat ? 1 : 0;
    event.key.keysym.scancode = scancode;
    event.key.keysym.mod = static_cast<Uint16>((key->ctrlKey ? KMOD_CTRL : 0) | (key->altKey ? KMOD_ALT : 0));
    s_events.push_back(event);
    // While the intro runs, its keys do not scroll or search the page.
    return EM_TRUE;
}

EM_BOOL OnFocus(int eventType, const EmscriptenFocusEvent*, void*)
{
    // The layer asks who has the focus (GetActiveWindow); it reads no focus events.
    s_focus = eventType == EMSCRIPTEN_EVENT_FOCUS ? s_target : nullptr;
    return EM_FALSE;
}

// A hidden page (another tab, a minimised browser) has lost the viewer as a blur would.
EM_BOOL OnVisibility(int, const EmscriptenVisibilityChangeEvent* visibility, void*)
{
    if (visibility->hidden)
        s_focus = nullptr;
    return EM_FALSE;
}

void ListenToPage()
{
    const char* const page = EMSCRIPTEN_EVENT_TARGET_WINDOW;
    emscripten_set_keydown_callback(page, nullptr, EM_FALSE, &OnKey);
    emscripten_set_keyup_callback(page, nullptr, EM_FALSE, &OnKey);
    emscripten_set_focus_callback(page, nullptr, EM_FALSE, &OnFocus);
    emscripten_set_blur_callback(page, nullptr, EM_FALSE, &OnFocus);
    emscripten_set_visibilitychange_callback(nullptr, EM_FALSE, &OnVisibility);
}

}  // namespace

const char* BrowserCanvasSelector(void)
{
    return CANVAS;
}

// Video only: audio is Web Audio's, through the layer's own wave-out. Once up, video stays
// up for the page's life, as on Linux.
int SDL_InitSubSystem(Uint32 flags)
{
    if (flags != SDL_INIT_VIDEO)
        return -1;
    if (!s_initialized)
        ListenToPage();
    s_initialized = SDL_INIT_VIDEO;
    return 0;
}

Uint32 SDL_WasInit(Uint32 flags)
{
    return s_initialized & flags;
}

SDL_bool SDL_SetHint(const char*, const char*)
{
    return SDL_TRUE;
}

const char* SDL_getenv(const char*)
{
    return nullptr;
}

Uint32 SDL_GetTicks(void)
{
    return static_cast<Uint32>(emscripten_get_now());
}

// The page's thread must not block; nothing in the browser waits for long, so a short
// wait spins.
void SDL_Delay(Uint32 ms)
{
    const double until = emscripten_get_now() + ms;
    while (emscripten_get_now() < until) {
    }
}

SDL_Window* SDL_CreateWindow(const char*, int, int, int, int, Uint32 flags)
{
    SDL_Window* window = new SDL_Window{s_nextWindowId++, flags};
    s_target = window;
    return window;
}

void SDL_DestroyWindow(SDL_Window* window)
{
    if (s_focus == window)
        s_focus = nullptr;
    if (s_target == window)
        s_target = nullptr;
    delete window;
}

Uint32 SDL_GetWindowID(SDL_Window* window)
{
    return window ? window->id : 0;
}

Uint32 SDL_GetWindowFlags(SDL_Window* window)
{
    return window ? window->flags : 0;
}

// Shown, a window on the page that the viewer just clicked has the keyboard: the page only
// reports a change of focus, never the focus it starts with.
void SDL_ShowWindow(SDL_Window* window)
{
    window->flags = (window->flags & ~SDL_WINDOW_HIDDEN) | SDL_WINDOW_SHOWN;
    if (window == s_target)
        s_focus = window;
}

void SDL_HideWindow(SDL_Window* window)
{
    window->flags = (window->flags & ~SDL_WINDOW_SHOWN) | SDL_WINDOW_HIDDEN;
    if (s_focus == window)
        s_focus = nullptr;
}

void SDL_RaiseWindow(SDL_Window*) {}

int SDL_SetWindowInputFocus(SDL_Window*)
{
    return 0;
}

// The page is the window: it fills the browser's window already.
int SDL_SetWindowFullscreen(SDL_Window*, Uint32)
{
    return 0;
}

void SDL_GetWindowSize(SDL_Window*, int* w, int* h)
{
    int width = 0, height = 0;
    emscripten_get_canvas_element_size(CANVAS, &width, &height);
    if (w)
        *w = width;
    if (h)
        *h = height;
}

SDL_Window* SDL_GetKeyboardFocus(void)
{
    return s_focus;
}

// The page hides the pointer over the canvas while the intro runs.
int SDL_ShowCursor(int toggle)
{
    EM_ASM({ Module['canvas'] && (Module['canvas'].style.cursor = $0 ? 'auto' : 'none'); }, toggle);
    return toggle;
}

// Events arrive between the page's tasks, never during one: nothing to pump.
void SDL_PumpEvents(void) {}

int SDL_PeepEvents(SDL_Event* events, int count, SDL_eventaction action, Uint32 minType, Uint32 maxType)
{
    if (action != SDL_GETEVENT || !events)
        return -1;
    int taken = 0;
    for (auto it = s_events.begin(); it != s_events.end() && taken < count;) {
        if (it->type < minType || it->type > maxType) {
            ++it;
            continue;
        }
        events[taken++] = *it;
        it = s_events.erase(it);
    }
    return taken;
}

int SDL_ShowMessageBox(const SDL_MessageBoxData* data, int* buttonid)
{
    if (!data)
        return -1;
    // The page's skvShowMessage shows it; a page without one leaves it on the console.
    EM_ASM(
        {
            const title = UTF8ToString($0);
            const text = UTF8ToString($1);
            if (Module['skvShowMessage'])
                Module['skvShowMessage'](title, text);
            else
                console.error(title + ': ' + text);
        },
        data->title ? data->title : "", data->message ? data->message : "");
    int answer = 0;
    for (int i = 0; i < data->numbuttons; ++i)
        if (data->buttons[i].flags & SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT)
            answer = data->buttons[i].buttonid;
    if (buttonid)
        *buttonid = answer;
    return 0;
}
