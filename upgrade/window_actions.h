#pragma once
// The two upgrade actions as a window runs them on a button click: with a
// progress display, the closing message shown only once that display is
// closed, and the product file the action touched last released when the
// action ends, however it ends, so that no lock file stays beside it between
// clicks. Shared by every front-end; each brings its own progress display.

#include "upgrade/almanac_upgrade.h"
#include "upgrade/catalogue.h"
#include "upgrade/product_query.h"
#include "upgrade/user_feedback.h"

#include <cstddef>
#include <string_view>

namespace upgrade {

// How a window shows an action's progress.
class ProgressDisplay {
public:
    virtual ~ProgressDisplay() = default;
    // Before each directory: the catalogue row, the number of rows and the directory.
    virtual void step(std::size_t row, std::size_t rows, std::string_view directory) = 0;
    // Closes the display; the action's closing message follows it.
    virtual void finish() = 0;
};

// Passes messages on, closing the progress display first so that the closing
// message of an action never stands beside a finished progress bar.
class FeedbackAfterProgress : public UserFeedback {
public:
    FeedbackAfterProgress(ProgressDisplay& progress, UserFeedback& feedback) : progress_(progress), feedback_(feedback) {}
    void show(const UserMessage& message) override {
        progress_.finish();
        feedback_.show(message);
    }

private:
    ProgressDisplay& progress_;
    UserFeedback& feedback_;
};

// The fortune upgrade over `list`. Its errors end the action and reach the
// caller, as the action itself lets them.
void runFortuneUpgradeInWindow(const CatalogueList& list, ProductQuery& query, UserFeedback& feedback,
                               ProgressDisplay& progress);

// The almanac upgrade over `list`, logging each directory in `logs`.
void runAlmanacUpgradeInWindow(const CatalogueList& list, ProductQuery& query, AlmanacLogs logs,
                               UserFeedback& feedback, ProgressDisplay& progress);

}  // namespace upgrade
