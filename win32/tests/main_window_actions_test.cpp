// The main window's buttons run the upgrade actions over their own lists
// through the shared upgrade code, tell the outcome through the user
// feedback, and give the window its input back afterwards; the exit button
// ends the message loop.

#include "main_window.h"

#include "application_window.h"
#include "wide_text.h"
#include "window_readback.h"

#include "ui/window_description.h"

#include "fake_product_database.h"
#include "recording_feedback.h"
#include "temporary_prefix.h"

#include "upgrade/catalogue.h"

#include <gtest/gtest.h>

namespace {

void click(HWND button) {
    SendMessageW(button, BM_CLICK, 0, 0);
}

TEST(MainWindowActions, UpgradeButtonsRunTheirActionsOverTheirOwnLists) {
    TemporaryPrefix prefix;
    const std::string almanacRow = upgrade::almanacList().entry(0);
    const std::string secondRow = upgrade::secondAlmanacList().entry(17);
    prefix.install(almanacRow, "\\QorBirth.dll");
    prefix.install(secondRow, "\\QorBirth.dll");
    RecordingFeedback feedback;
    FakeOpener opener;
    win32ui::MainWindow window(feedback, opener, nullptr, prefix.installation());
    window.form().show();

    click(window.form().control("Button8"));
    EXPECT_EQ(window.succeededLog().lines(), std::vector<std::string>{almanacRow});
    click(window.form().control("Button9"));  // hidden, but its action is wired
    EXPECT_EQ(window.succeededLog().lines(), (std::vector<std::string>{almanacRow, secondRow}));
    EXPECT_EQ(window.failedLog().count(), 0u);
    click(window.form().control("Button1"));

    ASSERT_EQ(feedback.messages.size(), 3u);
    EXPECT_EQ(feedback.messages[0].text, "更新成功！");
    EXPECT_EQ(feedback.messages[1].text, "更新成功！");
    EXPECT_EQ(feedback.messages[2].text, "没有可更新的内容，请重新安装后在试！") << "no fortune database installed";
    for (const auto& message : feedback.messages) EXPECT_EQ(message.caption, "信息提示");
    EXPECT_TRUE(IsWindowEnabled(window.handle())) << "the window takes input again after an action";
}

TEST(MainWindowActions, EachActionReleasesTheProductFileWhenItEnds) {
    TemporaryPrefix prefix;
    const std::filesystem::path file = prefix.install(upgrade::almanacList().entry(0), "\\QorBirth.dll");
    RecordingFeedback feedback;
    FakeOpener opener;
    win32ui::MainWindow window(feedback, opener, nullptr, prefix.installation());
    click(window.form().control("Button8"));
    click(window.form().control("Button8"));
    // Released after the first action, the file is opened anew by the second.
    EXPECT_EQ(opener.state(file).opens, 2);
    EXPECT_EQ(opener.state(file).commits, 2);
}

TEST(MainWindowActions, LinkButtonsHandTheirAddressesToTheShell) {
    RecordingFeedback feedback;
    UnusedOpener opener;
    TemporaryPrefix prefix;
    win32ui::ApplicationWindow application(L"title");
    win32ui::MainWindow window(feedback, opener, application.handle(), prefix.installation());
    std::vector<std::pair<HWND, std::string>> opened;
    window.setLinkOpener([&opened](HWND owner, const std::string& address) { opened.emplace_back(owner, address); });

    click(window.form().control("Button7"));
    click(window.form().control("Button14"));
    click(window.form().control("Button5"));
    ASSERT_EQ(opened.size(), 3u);
    const ui::WindowDescription& description = ui::mainWindow();
    // Web pages go out on behalf of the main window, chats on behalf of the application.
    EXPECT_EQ(opened[0], std::make_pair(window.handle(), description.control("Button7").url));
    EXPECT_EQ(opened[1], std::make_pair(window.handle(), description.control("Button14").url));
    EXPECT_EQ(opened[2], std::make_pair(application.handle(), description.control("Button5").url));
    EXPECT_EQ(opened[0].second.rfind("http://", 0), 0u);
    EXPECT_TRUE(feedback.messages.empty());
}

TEST(MainWindowActions, ExitButtonClosesTheWindowAndEndsTheMessageLoop) {
    RecordingFeedback feedback;
    UnusedOpener opener;
    TemporaryPrefix prefix;
    win32ui::MainWindow window(feedback, opener, nullptr, prefix.installation());
    window.form().show();
    click(window.form().control("Button4"));

    MSG message;
    bool quit = false;
    while (!quit && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) quit = true;
        else DispatchMessageW(&message);
    }
    EXPECT_TRUE(quit);
    EXPECT_EQ(window.handle(), nullptr);
    EXPECT_TRUE(feedback.messages.empty());
}

TEST(MainWindowActions, TaskbarWindowCarriesTheApplicationTitleAndOwnsTheMainWindow) {
    RecordingFeedback feedback;
    UnusedOpener opener;
    TemporaryPrefix prefix;
    win32ui::ApplicationWindow application(win32ui::toWide(ui::applicationTitle()));
    win32ui::MainWindow window(feedback, opener, application.handle(), prefix.installation());
    EXPECT_EQ(win32test::textOf(application.handle()), L"算命软件升级补丁2022");
    EXPECT_EQ(win32test::textOf(window.handle()), L"算命软件八字软件黄道数据升级补丁2024");
    EXPECT_EQ(GetWindow(window.handle(), GW_OWNER), application.handle());
    // Owned windows get no taskbar button of their own; the application window has it.
    EXPECT_FALSE(GetWindowLongPtrW(window.handle(), GWL_EXSTYLE) & WS_EX_APPWINDOW);
    EXPECT_TRUE(IsWindowVisible(application.handle()));
}

}  // namespace
