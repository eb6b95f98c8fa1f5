#pragma once

// The text scroller's 96 glyph strings: space, A-Z, a-z, 0-9, 32 symbols (the pound sign is
// byte 0xA3 of the Windows ANSI code page), and the empty string of the terminator.
inline const char* const SCROLLER_CHARACTERS =
    " ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"
    "-=!\\\"\xa3$%^&*()_+|<>,./?:;@'~#{[}]";
constexpr int SCROLLER_GLYPH_COUNT = 96;
