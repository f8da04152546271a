#include "main_window.h"

#include "shell_actions.h"
#include "upgrade_progress.h"
#include "wide_text.h"

#include "ui/messages.h"
#include "upgrade/catalogue.h"

#include <exception>

namespace win32ui {

MainWindow::MainWindow(upgrade::UserFeedback& feedback, upgrade::ProductDatabaseOpener& opener,
                       HWND applicationWindow, upgrade::Installation installation)
    : feedback_(feedback),
      applicationWindow_(applicationWindow),
      openLink_(openAddress),
      query_(opener, std::move(installation)),
      form_(ui::mainWindow(), applicationWindow, [this](const ui::ControlDescription& control) { act(control); }) {
    form_.quitWhenClosed();
    if (applicationWindow_) form_.minimiseThrough(applicationWindow_);
}

void MainWindow::act(const ui::ControlDescription& control) {
    // Whatever goes wrong in an action is told to the user; the window stays.
    try {
        switch (control.action) {
            case ui::Action::FortuneUpgrade: runFortuneUpgrade(control); break;
            case ui::Action::AlmanacUpgrade: runAlmanacUpgrade(upgrade::almanacList()); break;
            case ui::Action::SecondAlmanacUpgrade: runAlmanacUpgrade(upgrade::secondAlmanacList()); break;
            case ui::Action::OpenWebPage: openLink_(form_.handle(), control.url); break;
            // Chat links go out on behalf of the application's own window.
            case ui::Action::OpenChat: openLink_(applicationWindow_, control.url); break;
            case ui::Action::ShowNamingDialog: showNamingDialog(); break;
            case ui::Action::ShowPaymentDialog: showPaymentDialog(); break;
            case ui::Action::CloseWindow: PostMessageW(form_.handle(), WM_CLOSE, 0, 0); break;
            default: break;
        }
    } catch (const std::exception& error) {
        feedback_.show({control.caption, error.what(), upgrade::MessageIcon::Error});
    }
}

void MainWindow::runFortuneUpgrade(const ui::ControlDescription& button) {
    UpgradeProgress progress(form_.handle(), toWide(button.caption), form_.windowFont(), form_.dpi());
    upgrade::runFortuneUpgradeInWindow(upgrade::fortuneList(), query_, feedback_, progress);
}

void MainWindow::runAlmanacUpgrade(const upgrade::CatalogueList& list) {
    // Both almanac runs show the visible almanac button's caption.
    std::string title;
    for (const ui::ControlDescription& control : form_.description().controls)
        if (control.action == ui::Action::AlmanacUpgrade) title = control.caption;
    UpgradeProgress progress(form_.handle(), toWide(title), form_.windowFont(), form_.dpi());
    upgrade::runAlmanacUpgradeInWindow(list, query_, {memo37_, memo38_}, feedback_, progress);
}

void MainWindow::showNamingDialog() {
    namingDialog_.reset();
    namingDialog_ = std::make_unique<Form>(ui::namingDialog(), form_.handle(), [](const ui::ControlDescription&) {});
    namingDialog_->runModal();
}

void MainWindow::showPaymentDialog() {
    paymentDialog_.reset();
    paymentDialog_ = std::make_unique<Form>(ui::paymentDialog(), form_.handle(),
                                            [this](const ui::ControlDescription& control) {
                                                actInPaymentDialog(control);
                                            });
    paymentDialog_->runModal();
}

void MainWindow::actInPaymentDialog(const ui::ControlDescription& control) {
    try {
        switch (control.action) {
            case ui::Action::CopyPaymentAccount: copyPaymentAccount(); break;
            case ui::Action::OpenPaymentLogin: openLink_(paymentDialog_->handle(), control.url); break;
            default: break;
        }
    } catch (const std::exception& error) {
        feedback_.show({control.caption, error.what(), upgrade::MessageIcon::Error});
    }
}

void MainWindow::copyPaymentAccount() {
    // Select the hidden edit's whole text and copy the selection.
    HWND account = paymentDialog_->control("RzZhifubao");
    SendMessageW(account, EM_SETSEL, 0, -1);
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(account)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(account, text.data(), static_cast<int>(text.size()))));
    if (copyToClipboard(paymentDialog_->handle(), text))
        feedback_.show({std::string(ui::kAccountCopiedCaption), std::string(ui::kAccountCopiedText),
                        upgrade::MessageIcon::Information});
    else
        feedback_.show({std::string(ui::kAccountCopiedCaption),
                        "支付宝帐号复制失败：剪贴板正被其他程序使用，请稍后再试。", upgrade::MessageIcon::Warning});
}

}  // namespace win32ui
