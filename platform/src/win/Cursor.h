#pragma once

// Shows or hides SDL's cursor by the ShowCursor count, once video is up.
void ApplyCursorDisplayCount();
