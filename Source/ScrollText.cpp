#include "ScrollText.h"

// The words come from Data/, written by the scroll-text generator.
const char SCROLL_TEXT[SCROLL_TEXT_LENGTH + 1] =
#include "ScrollText.inc"
    ;
