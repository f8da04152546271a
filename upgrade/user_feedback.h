#pragma once
// The one way the program tells the user something: a message with a caption,
// a text and an icon. The main window shows it as a modal message box; tests
// record it instead of blocking on a dialog.

#include <string>

namespace upgrade {

enum class MessageIcon { Information, Warning, Error };

struct UserMessage {
    std::string caption;  // UTF-8
    std::string text;     // UTF-8
    MessageIcon icon = MessageIcon::Information;

    bool operator==(const UserMessage&) const = default;
};

class UserFeedback {
public:
    virtual ~UserFeedback() = default;
    // Shows the message and returns when the user has acknowledged it.
    virtual void show(const UserMessage& message) = 0;
};

}  // namespace upgrade
