#pragma once
// Shows the program's messages as Windows message boxes: the message's
// caption, text and icon, one OK button, modal over the owner window.

#include "upgrade/user_feedback.h"

#include <windows.h>

namespace win32ui {

// The message-box flags for a message's icon: OK plus the matching icon.
UINT messageBoxFlags(upgrade::MessageIcon icon);

class MessageBoxFeedback : public upgrade::UserFeedback {
public:
    void setOwner(HWND owner) { owner_ = owner; }
    void show(const upgrade::UserMessage& message) override;

private:
    HWND owner_ = nullptr;
};

}  // namespace win32ui
