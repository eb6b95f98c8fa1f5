#pragma once

// The scroller's one line of text, with its terminator at SCROLL_TEXT_LENGTH.
const int SCROLL_TEXT_LENGTH = 4238;
extern const char SCROLL_TEXT[SCROLL_TEXT_LENGTH + 1];
