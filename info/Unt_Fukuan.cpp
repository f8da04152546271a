#include "Unt_Fukuan.h"

#include "links.h"
#include "ui/messages.h"

#include <QClipboard>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

// The dialogs' pictures are registered before their controls are built.
static QWidget& withInfoPictures(QWidget& window) {
    Q_INIT_RESOURCE(info_pictures);
    return window;
}

TFrmFukuan::TFrmFukuan(upgrade::UserFeedback& feedback, QWidget* parent)
    : QDialog(parent, info::windowFlags(ui::paymentDialog(), Qt::Dialog)),
      feedback_(feedback),
      design_(withInfoPictures(*this), ui::paymentDialog()) {
    PageControl1 = design_.get<QTabWidget>("PageControl1");
    GroupBox1 = design_.get<QGroupBox>("GroupBox1");
    GroupBox2 = design_.get<QGroupBox>("GroupBox2");
    RzBitBtn19 = design_.get<QPushButton>("RzBitBtn19");
    RzBitBtn17 = design_.get<QPushButton>("RzBitBtn17");
    RzZhifubao = design_.get<QLineEdit>("RzZhifubao");

    design_.forEachButton([this](QPushButton& button, const ui::ControlDescription& control) {
        if (control.action == ui::Action::CopyPaymentAccount)
            connect(&button, &QPushButton::clicked, this, &TFrmFukuan::RzBitBtn19Click);
        else if (control.action == ui::Action::OpenPaymentLogin)
            connect(&button, &QPushButton::clicked, this, &TFrmFukuan::RzBitBtn17Click);
    });
}

void TFrmFukuan::RzBitBtn19Click() {
    RzZhifubao->selectAll();
    QGuiApplication::clipboard()->setText(RzZhifubao->selectedText());
    feedback_.show({std::string(ui::kAccountCopiedCaption), std::string(ui::kAccountCopiedText),
                    upgrade::MessageIcon::Information});
}

void TFrmFukuan::RzBitBtn17Click() {
    info::openLink(design_.description().control("RzBitBtn17").url);
}
