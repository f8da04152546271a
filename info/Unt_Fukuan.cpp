#include "Unt_Fukuan.h"

#include "window_placement.h"
#include "links.h"
#include "ui/vendor_contacts.h"
#include "window_style.h"

#include <QClipboard>
#include <QGroupBox>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

static void loadInfoPictures() {
    Q_INIT_RESOURCE(info_pictures);
}

namespace {

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QLabel* addLabel(QWidget* parent, int x, int y, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->move(x, y);
    label->adjustSize();
    return label;
}

// Light grey face, a thin frame and a lighter face under the mouse.
const QString kFlatButtonStyle = QStringLiteral(
    "QPushButton { background: rgb(244, 244, 240); border: 1px solid rgb(142, 143, 145); padding: 2px; }"
    "QPushButton:hover { background: palette(highlight); color: palette(highlighted-text); }");

}  // namespace

TFrmFukuan::TFrmFukuan(upgrade::UserFeedback& feedback, QWidget* parent)
    : QDialog(parent, windowstyle::mainWindowFlags()), feedback_(feedback) {
    loadInfoPictures();
    setObjectName("FrmFukuan");
    setWindowTitle(QStringLiteral("付款方式"));
    setFont(windowstyle::windowFont());
    windowstyle::useButtonFaceBackground(*this);
    setFixedSize(kOuterWidth, kOuterHeight);

    // One page whose tab strip lies above the visible area.
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName("PageControl1");
    auto* page = new QWidget;
    page->setObjectName("TabSheet1");
    page->setAutoFillBackground(true);
    QPalette white = page->palette();
    white.setColor(QPalette::Window, Qt::white);
    page->setPalette(white);
    PageControl1->addTab(page, QStringLiteral("TabSheet1"));
    PageControl1->setGeometry(-6, -17, kOuterWidth + 6, kOuterHeight + 17);

    setUpBankBox(page);
    setUpOnlineBox(page);
}

void TFrmFukuan::setUpBankBox(QWidget* page) {
    GroupBox1 = new QGroupBox(QStringLiteral("银行付款购买(如自己不会支付可以让朋友或家人帮忙支付)"), page);
    GroupBox1->setObjectName("GroupBox1");
    GroupBox1->setGeometry(16, 8, 633, 109);
    const int rows[] = {22, 42, 61, 81};
    int row = 0;
    for (const ui::BankAccount& bank : ui::kBankAccounts) {
        const QString text = fromUtf8(bank.bank) + QStringLiteral("：  收款人：") + fromUtf8(ui::kPayee) +
                             QStringLiteral("   帐号：") + fromUtf8(bank.account);
        addLabel(GroupBox1, 16, rows[row++], text)->setObjectName(QStringLiteral("LabelBank%1").arg(row));
    }
}

void TFrmFukuan::setUpOnlineBox(QWidget* page) {
    GroupBox2 = new QGroupBox(QStringLiteral("支付宝或微信转款购买(立即到账)"), page);
    GroupBox2->setObjectName("GroupBox2");
    GroupBox2->setGeometry(16, 128, 633, 121);

    addLabel(GroupBox2, 16, 24,
             QStringLiteral("支付宝帐号：") + fromUtf8(ui::kPaymentAccount) + QStringLiteral("  收款人：") +
                 fromUtf8(ui::kPayee))
        ->setObjectName("LabelOnlineAccount");
    addLabel(GroupBox2, 16, 47, QStringLiteral("注意：付款时把联系QQ或电话或电子邮件和用户码填写到付款说明里面。"))
        ->setObjectName("LabelNotice");
    addLabel(GroupBox2, 16, 87,
             QStringLiteral("微信号：") + fromUtf8(ui::kMessengerId) +
                 QStringLiteral("  也可以加微信发红包付款，红包同样视为付款。"))
        ->setObjectName("LabelMessenger");

    RzZhifubao = new QLineEdit(fromUtf8(ui::kPaymentAccount), GroupBox2);
    RzZhifubao->setObjectName("RzZhifubao");
    RzZhifubao->setGeometry(126, 22, 112, 20);
    RzZhifubao->setMaxLength(200);
    RzZhifubao->setReadOnly(true);
    RzZhifubao->hide();

    RzBitBtn19 = new QPushButton(QStringLiteral("复制支付宝帐号"), GroupBox2);
    RzBitBtn19->setObjectName("RzBitBtn19");
    RzBitBtn19->setGeometry(333, 11, 108, 26);
    RzBitBtn19->setStyleSheet(kFlatButtonStyle);

    RzBitBtn17 = new QPushButton(QStringLiteral("马上登录支付宝转账付款"), GroupBox2);
    RzBitBtn17->setObjectName("RzBitBtn17");
    RzBitBtn17->setGeometry(449, 11, 167, 27);
    RzBitBtn17->setCursor(Qt::PointingHandCursor);
    RzBitBtn17->setStyleSheet(kFlatButtonStyle);
    QIcon icon;
    icon.addPixmap(QPixmap(QStringLiteral(":/info/pay-normal.png")), QIcon::Normal);
    icon.addPixmap(QPixmap(QStringLiteral(":/info/pay-hot.png")), QIcon::Active);
    RzBitBtn17->setIcon(icon);

    connect(RzBitBtn19, &QPushButton::clicked, this, &TFrmFukuan::RzBitBtn19Click);
    connect(RzBitBtn17, &QPushButton::clicked, this, &TFrmFukuan::RzBitBtn17Click);
}

void TFrmFukuan::RzBitBtn19Click() {
    RzZhifubao->selectAll();
    QGuiApplication::clipboard()->setText(RzZhifubao->selectedText());
    feedback_.show({"复制信息", "支付宝帐号复制成功！", upgrade::MessageIcon::Information});
}

void TFrmFukuan::RzBitBtn17Click() {
    info::openLink(info::paymentLoginUrl());
}

void TFrmFukuan::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    fitOuterSizeAndCentre(*this, {kOuterWidth, kOuterHeight});
}
