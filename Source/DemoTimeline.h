#pragma once

#include <d3d9.h>

// The timeline's pure rules, kept apart from drawing so they can be checked alone.

// Length of the title card in seconds of demo time; the main part starts here.
const float TITLE_CARD_SECONDS = 10.0f;

// Vertex colour of the title card at a demo time inside the card: white, with
// an alpha that fades in over the first second and out over the last.
D3DCOLOR TitleCardColor(float demoTime);

// The white fade of the main part: one step per main-part frame, counted in frames.
int NextFadeLevel(int fadeLevel);
