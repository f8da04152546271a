#pragma once
// The description's colours as Windows colours: the desktop scheme's colours
// come from the system, the others are plain RGB values.

#include "ui/window_description.h"

#include <windows.h>

namespace win32ui {

COLORREF toColorRef(const ui::Colour& colour);

// A solid brush per colour value, kept for the life of the process (a few
// colours only), so that WM_CTLCOLOR* answers never leak a brush.
HBRUSH brushFor(COLORREF colour);

}  // namespace win32ui
