#pragma once
// Push buttons in colours of their own, drawn through custom draw: the
// upgrade buttons' bold red captions and the payment button's navy one on the
// system's button face, and the payment dialog's flat buttons (a light face,
// a thin frame line, the highlight colour under the mouse, a picture).

#include <windows.h>
#include <commctrl.h>

#include <optional>

namespace win32ui {

struct ButtonLook {
    HFONT font = nullptr;
    COLORREF text = 0;
    std::optional<COLORREF> face;   // empty: the system's (themed) button face
    std::optional<COLORREF> frame;  // a flat button's frame line
    bool hotTrack = false;          // highlight colour under the mouse
    HBITMAP picture = nullptr;      // shown left of the caption
    HBITMAP hotPicture = nullptr;   // the picture under the mouse
};

// Answers NM_CUSTOMDRAW for a push button: draws the whole button at the
// pre-paint stage and tells the button to draw nothing itself.
LRESULT paintButton(const NMCUSTOMDRAW& draw, const ButtonLook& look);

}  // namespace win32ui
