#pragma once
// The window's pictures, carried in the program's resources as the JPEG and
// PNG files they are (RCDATA), decoded by the Windows Imaging Component and
// scaled to the size they are shown at.

#include <windows.h>

namespace win32ui {

// A 32-bit top-down bitmap with premultiplied alpha, `width` × `height`
// pixels, of the RCDATA resource `resource`; null when the resource is
// missing or cannot be decoded. The caller owns the bitmap (DeleteObject).
// Needs COM initialised on the calling thread.
HBITMAP loadPicture(const wchar_t* resource, int width, int height);

// Draws `bitmap` (as made by loadPicture) at x, y, blending its alpha.
void drawPicture(HDC dc, HBITMAP bitmap, int x, int y);

}  // namespace win32ui
