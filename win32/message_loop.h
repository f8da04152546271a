#pragma once
// The program's message loops, with the keyboard of a dialog: Tab and
// Shift+Tab move through the tab order, Enter and Space press the focused
// button, Esc closes a modal dialog.

#include <windows.h>

#include <functional>

namespace win32ui {

// Handles the keyboard for the program's forms; true when the message has
// been dealt with and must not be dispatched.
bool preTranslateMessage(MSG& message);

// Runs messages until WM_QUIT; returns its exit code.
int runMessageLoop();

// Runs messages while `keepGoing` holds. A WM_QUIT met on the way is posted
// again for the outer loop, and ends this one.
void runMessageLoopWhile(const std::function<bool()>& keepGoing);

}  // namespace win32ui
