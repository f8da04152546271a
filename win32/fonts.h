#pragma once
// GDI fonts for the description's fonts at a monitor's DPI. Each distinct
// font is made once per DPI and kept for the life of the process.

#include "ui/window_description.h"

#include <windows.h>

namespace win32ui {

HFONT fontFor(const ui::Font& font, UINT dpi);

}  // namespace win32ui
