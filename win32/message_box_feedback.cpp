#include "message_box_feedback.h"

#include "wide_text.h"

namespace win32ui {

UINT messageBoxFlags(upgrade::MessageIcon icon) {
    switch (icon) {
        case upgrade::MessageIcon::Warning: return MB_OK | MB_ICONWARNING;
        case upgrade::MessageIcon::Error: return MB_OK | MB_ICONERROR;
        case upgrade::MessageIcon::Information: break;
    }
    return MB_OK | MB_ICONINFORMATION;
}

void MessageBoxFeedback::show(const upgrade::UserMessage& message) {
    // A message shown while a dialog is open belongs over that dialog.
    HWND owner = owner_;
    if (HWND active = GetActiveWindow(); active && IsWindowEnabled(active)) owner = active;
    MessageBoxW(owner, toWide(message.text).c_str(), toWide(message.caption).c_str(),
                messageBoxFlags(message.icon));
}

}  // namespace win32ui
