#include "upgrade/window_actions.h"

#include "upgrade/fortune_upgrade.h"

namespace upgrade {
namespace {

class ReleaseWhenDone {
public:
    explicit ReleaseWhenDone(ProductQuery& query) : query_(query) {}
    ~ReleaseWhenDone() { query_.release(); }
    ReleaseWhenDone(const ReleaseWhenDone&) = delete;
    ReleaseWhenDone& operator=(const ReleaseWhenDone&) = delete;

private:
    ProductQuery& query_;
};

}  // namespace

void runFortuneUpgradeInWindow(const CatalogueList& list, ProductQuery& query, UserFeedback& feedback,
                               ProgressDisplay& progress) {
    const ReleaseWhenDone release(query);
    FeedbackAfterProgress afterProgress(progress, feedback);
    runFortuneUpgrade(list, query, afterProgress,
                      [&progress](std::size_t row, std::size_t rows, std::string_view directory, FortuneBlock) {
                          progress.step(row, rows, directory);
                      });
}

void runAlmanacUpgradeInWindow(const CatalogueList& list, ProductQuery& query, AlmanacLogs logs,
                               UserFeedback& feedback, ProgressDisplay& progress) {
    const ReleaseWhenDone release(query);
    FeedbackAfterProgress afterProgress(progress, feedback);
    runAlmanacUpgrade(list, query, logs, afterProgress,
                      [&progress](std::size_t row, std::size_t rows, std::string_view directory) {
                          progress.step(row, rows, directory);
                      });
}

}  // namespace upgrade
