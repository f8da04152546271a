#pragma once
// Controls that hold other controls (panels, group boxes, the tab control and
// its page). Windows sends a child control's notifications (commands, custom
// draw, colour queries) to its immediate parent; containers pass them on to
// the top-level form, which answers for every control it built.

#include <windows.h>

namespace win32ui {

// The window class of a plain container: a panel or a tab page. It fills
// itself with the colour the form gives for it (WM_CTLCOLORSTATIC) and draws
// a flat rounded border when created with kRoundedBorder in its user data.
const wchar_t* panelClassName();
inline constexpr LONG_PTR kRoundedBorder = 1;

// How a forwarding container paints itself.
enum class ContainerPainting {
    Own,         // as its class does
    FillInside,  // fills its inside with the colour the form gives for it first (a group box,
                 // which otherwise leaves its inside unpainted)
    Plain,       // nothing but that colour (a tab control whose tab strip is never to be seen)
};

// Makes an existing container (a group box, a tab control) pass its
// children's notifications to the top-level window.
void forwardNotificationsToForm(HWND container, ContainerPainting painting);

}  // namespace win32ui
