#pragma once
// The main window (TForm1) and what its buttons do: the two upgrade actions
// with their progress display, the links, the two information dialogs (made
// anew on each click, shown modally) and the exit button. The upgrade
// actions run through the same upgrade code and user feedback as the Linux
// window and the headless program.

#include "form.h"

#include "upgrade/catalogue.h"
#include "upgrade/installation.h"
#include "upgrade/product_database.h"
#include "upgrade/product_query.h"
#include "text/text_lines.h"
#include "upgrade/user_feedback.h"

#include <functional>
#include <memory>
#include <string>

namespace win32ui {

class MainWindow {
public:
    // `applicationWindow` owns the main window and is the owner of the chat links.
    MainWindow(upgrade::UserFeedback& feedback, upgrade::ProductDatabaseOpener& opener, HWND applicationWindow,
               upgrade::Installation installation = {});

    // Hands an address to the shell on behalf of an owner window; by
    // default openAddress (the browser or the chat client).
    using LinkOpener = std::function<void(HWND owner, const std::string& address)>;
    void setLinkOpener(LinkOpener opener) { openLink_ = std::move(opener); }

    Form& form() { return form_; }
    HWND handle() const { return form_.handle(); }
    // The dialogs of the latest clicks, while they exist.
    Form* namingDialog() const { return namingDialog_.get(); }
    Form* paymentDialog() const { return paymentDialog_.get(); }

    // The almanac upgrade's logs: directories upgraded and directories failed.
    const text::LineList& succeededLog() const { return memo37_; }
    const text::LineList& failedLog() const { return memo38_; }

private:
    void act(const ui::ControlDescription& control);
    void runFortuneUpgrade(const ui::ControlDescription& button);
    void runAlmanacUpgrade(const upgrade::CatalogueList& list);
    void showNamingDialog();
    void showPaymentDialog();
    void actInPaymentDialog(const ui::ControlDescription& control);
    void copyPaymentAccount();

    upgrade::UserFeedback& feedback_;
    HWND applicationWindow_;
    LinkOpener openLink_;
    upgrade::ProductQuery query_;
    text::LineList memo37_;
    text::LineList memo38_;
    Form form_;
    std::unique_ptr<Form> namingDialog_;
    std::unique_ptr<Form> paymentDialog_;
};

}  // namespace win32ui
