#pragma once
// Dots per inch of the monitor a window is on, and the scaling of the
// window description's 96-DPI geometry to it. The program declares itself
// per-monitor DPI aware in its manifest; on Windows before 10 (no per-window
// DPI) the system DPI is used.

#include <windows.h>

namespace win32ui {

constexpr UINT kDesignDpi = 96;

UINT dpiOfWindow(HWND window);
UINT systemDpi();

inline int scaled(int designPixels, UINT dpi) {
    return MulDiv(designPixels, static_cast<int>(dpi), static_cast<int>(kDesignDpi));
}

inline RECT scaled(const RECT& design, UINT dpi) {
    return {scaled(design.left, dpi), scaled(design.top, dpi), scaled(design.right, dpi), scaled(design.bottom, dpi)};
}

// The outer rectangle of a window whose client area is `client`, at `dpi`.
RECT outerForClient(RECT client, DWORD style, DWORD exStyle, UINT dpi);

}  // namespace win32ui
