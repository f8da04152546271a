#pragma once
// Records user messages instead of showing them.

#include "upgrade/user_feedback.h"

#include <vector>

class RecordingFeedback : public upgrade::UserFeedback {
public:
    void show(const upgrade::UserMessage& message) override { messages.push_back(message); }
    std::vector<upgrade::UserMessage> messages;
};
