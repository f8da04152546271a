#pragma once
// Shows user messages as modal message boxes with an OK button.

#include "upgrade/user_feedback.h"

class QWidget;

class MessageBoxFeedback : public upgrade::UserFeedback {
public:
    explicit MessageBoxFeedback(QWidget* owner = nullptr) : owner_(owner) {}
    void setOwner(QWidget* owner) { owner_ = owner; }
    void show(const upgrade::UserMessage& message) override;

private:
    QWidget* owner_;
};
