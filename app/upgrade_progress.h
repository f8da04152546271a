#pragma once
// A modal progress dialog for the upgrade actions. It appears only when an
// action runs longer than half a second, and names the product being upgraded.

#include "upgrade/user_feedback.h"

#include <QProgressDialog>

#include <memory>
#include <string_view>

class QWidget;

class UpgradeProgress {
public:
    UpgradeProgress(QWidget* owner, const QString& title);
    ~UpgradeProgress();

    // Before each directory: the catalogue row, the number of rows and the directory.
    void step(std::size_t row, std::size_t rows, std::string_view directory);
    // Closes the dialog; the action's closing message follows it.
    void finish();

private:
    std::unique_ptr<QProgressDialog> dialog_;
};

// Passes messages on, closing the progress dialog first so that the closing
// message of an action never stands beside a finished progress bar.
class FeedbackAfterProgress : public upgrade::UserFeedback {
public:
    FeedbackAfterProgress(UpgradeProgress& progress, upgrade::UserFeedback& feedback)
        : progress_(progress), feedback_(feedback) {}
    void show(const upgrade::UserMessage& message) override {
        progress_.finish();
        feedback_.show(message);
    }

private:
    UpgradeProgress& progress_;
    upgrade::UserFeedback& feedback_;
};
