// The progress window of the upgrade actions: it names the directory being
// upgraded under the button's caption, keeps the owner from input while it
// stands, and is gone, the owner taking input again, before the action's
// closing message shows.

#include "upgrade_progress.h"

#include "form.h"
#include "window_readback.h"

#include "ui/window_description.h"

#include <gtest/gtest.h>

namespace {

class ProgressWindow : public ::testing::Test {
protected:
    win32ui::Form owner{ui::mainWindow(), nullptr, [](const ui::ControlDescription&) {}};
};

// Whether this thread has a progress window; other test programs running at the same time may
// have theirs.
bool progressWindowOfThisThread() {
    bool found = false;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM found) -> BOOL {
            if (win32test::classOf(window) != L"FortuneDataPatchProgress") return TRUE;
            *reinterpret_cast<bool*>(found) = true;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// Records what the screen looks like when a message arrives.
class SnapshotFeedback : public upgrade::UserFeedback {
public:
    explicit SnapshotFeedback(HWND owner) : owner_(owner) {}
    void show(const upgrade::UserMessage& message) override {
        messages.push_back(message);
        ownerEnabled = IsWindowEnabled(owner_) != FALSE;
        progressShown = progressWindowOfThisThread();
    }
    std::vector<upgrade::UserMessage> messages;
    bool ownerEnabled = false;
    bool progressShown = true;

private:
    HWND owner_;
};

TEST_F(ProgressWindow, NamesTheDirectoryAndHoldsTheOwnerWhileItStands) {
    owner.show();
    win32ui::UpgradeProgress progress(owner.handle(), L"黄道数据升级", owner.windowFont(), owner.dpi(), 0);
    progress.step(3, 10, "D:\\Program Files\\Quelvor软件\\算命大师正式版");
    ASSERT_NE(progress.window(), nullptr);
    EXPECT_EQ(win32test::textOf(progress.window()), L"黄道数据升级");
    bool named = false;
    for (HWND child : win32test::descendantsOf(progress.window()))
        named = named || win32test::textOf(child) == L"正在升级：D:\\Program Files\\Quelvor软件\\算命大师正式版";
    EXPECT_TRUE(named);
    EXPECT_FALSE(IsWindowEnabled(owner.handle()));
    progress.finish();
    EXPECT_EQ(progress.window(), nullptr);
    EXPECT_TRUE(IsWindowEnabled(owner.handle()));
}

TEST_F(ProgressWindow, IsGoneBeforeTheClosingMessage) {
    owner.show();
    SnapshotFeedback shown(owner.handle());
    {
        win32ui::UpgradeProgress progress(owner.handle(), L"算命软件升级", owner.windowFont(), owner.dpi(), 0);
        upgrade::FeedbackAfterProgress feedback(progress, shown);
        progress.step(0, 2, "C:\\Program Files\\Quelvor软件\\八字算命专家正式版");
        ASSERT_NE(progress.window(), nullptr);
        feedback.show({"信息提示", "更新成功！", upgrade::MessageIcon::Information});
        progress.step(1, 2, "ignored after the closing message");
        EXPECT_EQ(progress.window(), nullptr) << "no progress window after the closing message";
    }
    ASSERT_EQ(shown.messages.size(), 1u);
    EXPECT_TRUE(shown.ownerEnabled);
    EXPECT_FALSE(shown.progressShown);
}

}  // namespace
