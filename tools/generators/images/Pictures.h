#pragma once

#include "FontText.h"
#include "Raster.h"

// The three pictures of the intro, painted at their final sizes, and the
// installed program's icon.

const int SCREEN_WIDTH = 1024;
const int SCREEN_HEIGHT = 768;
const int LOGO_WIDTH = 586;
const int LOGO_HEIGHT = 192;
// Where the intro draws the logo over the finished frame.
const int LOGO_LEFT = 219;
const int LOGO_TOP = 32;
// The icon's width and height: the largest size desktops show in a menu.
const int ICON_SIZE = 256;

struct Fonts {
    FontFace heavy;   // the big lettering
    FontFace display; // tall capitals
    FontFace plain;   // small print
    FontFace plainBold;
};

// The main part's backdrop: a night sky over a glowing grid floor with a
// striped sun between two ranges of hills. The intro shows it through its
// depth-of-field blur, so it is built from large soft shapes.
Image PaintBackground();

// The banner drawn over the top of the main part: lettering on a darkened
// copy of the blurred backdrop behind it, so the opaque rectangle sits in the
// picture like a pane of smoked glass.
Image PaintLogo(const Image& background, const Fonts& fonts);

// The backdrop softened about as the intro's depth-of-field blur shows it.
Image BlurredBackdrop(const Image& background);

// The title card shown (fading in from white and back) before the main part.
Image PaintTitleCard(const Fonts& fonts);

// The icon of the installed intro's menu entry: the striped sun and the horizon
// from the backdrop under a chrome letter like the logo's.
Image PaintIcon(const Image& background, const Fonts& fonts);
