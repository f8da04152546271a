#include "Unit1.h"
#include "info/Unt_Fukuan.h"
#include "info/Unt_servers.h"
#include "fake_product_database.h"
#include "recording_feedback.h"
#include "described_widgets.h"
#include "url_recorder.h"

#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QImage>
#include <QTabBar>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

QLabel* labelWithText(const QWidget& parent, const QString& text) {
    for (QLabel* label : parent.findChildren<QLabel*>())
        if (label->text() == text) return label;
    return nullptr;
}

// Closes the modal dialog as soon as the event loop shows it, noting which
// widget was modal.
void closeModalDialogSoon(QWidget** seenModal) {
    QTimer::singleShot(0, [seenModal] {
        *seenModal = QApplication::activeModalWidget();
        if (*seenModal) (*seenModal)->close();
    });
}

}  // namespace

TEST(NamingServiceDialog, ShowsThePriceListAsDesigned) {
    TFrm_servers dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("人工起名服务"));
    EXPECT_EQ(dialog.size(), QSize(420, 273));
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(dialog.Panel1->geometry(), QRect(0, 0, 420, 273));

    const std::tuple<int, const char*, bool> lines[] = {
        {14, "起名说明:", true},
        {31, "人工起名根据八字五行三才五格进行分析，起名时间一般为1天到5天，每个姓氏起名难易度不一样。", false},
        {64, "经济套餐：200元", true},
        {83, "起10个名字待选择。", false},
        {116, "标准套餐：300元", true},
        {135, "起15个名字待选择，3个详细名字分析。", false},
        {168, "豪华套餐：500元", true},
        {187, "起20个名字待选择，5个详细名字分析。", false},
        {225, "贵族套餐：888元", true},
        {244, "起25个名字待选择，10个详细名字分析，终身命运分析。", false},
    };
    for (const auto& [y, text, heading] : lines) {
        QLabel* label = labelWithText(dialog, QString::fromUtf8(text));
        ASSERT_NE(label, nullptr) << text;
        EXPECT_EQ(label->y(), y) << text;
        EXPECT_GE(label->x(), 69) << text;
        EXPECT_LE(label->x(), 72) << text;
        EXPECT_EQ(label->font().bold(), heading) << text;
        EXPECT_EQ(label->palette().color(QPalette::WindowText) == QColor(0, 0, 128), heading) << text;
    }
    QLabel* explanation = labelWithText(dialog, QString::fromUtf8(std::get<1>(lines[1])));
    EXPECT_EQ(explanation->width(), 318);
    EXPECT_GE(explanation->height(), 24);
    EXPECT_GE(explanation->height(), 2 * explanation->fontMetrics().lineSpacing()) << "both lines show";
    EXPECT_TRUE(explanation->wordWrap());

    const QPoint pictures[] = {{24, 12}, {24, 64}, {24, 116}, {24, 169}, {23, 220}};
    for (int i = 0; i < 5; ++i) {
        auto* image = dialog.findChild<QLabel*>(QStringLiteral("Image%1").arg(i + 1));
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->geometry(), QRect(pictures[i], QSize(41, 41)));
        EXPECT_EQ(image->pixmap().size(), QSize(41, 41));
    }
}

TEST(PaymentDialog, ShowsBothPaymentWaysAsDesigned) {
    RecordingFeedback feedback;
    TFrmFukuan dialog(feedback);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("付款方式"));
    EXPECT_TRUE(dialog.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(dialog.PageControl1->pos(), QPoint(-6, -17));
    EXPECT_EQ(dialog.GroupBox1->title(), QStringLiteral("银行付款购买(如自己不会支付可以让朋友或家人帮忙支付)"));
    EXPECT_EQ(dialog.GroupBox1->geometry(), QRect(16, 8, 633, 109));
    EXPECT_EQ(dialog.GroupBox2->title(), QStringLiteral("支付宝或微信转款购买(立即到账)"));
    EXPECT_EQ(dialog.GroupBox2->geometry(), QRect(16, 128, 633, 121));

    const int bankRows[] = {22, 42, 61, 81};
    for (int i = 0; i < 4; ++i) {
        auto* label = dialog.findChild<QLabel*>(QStringLiteral("LabelBank%1").arg(i + 1));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->y(), bankRows[i]);
        EXPECT_TRUE(label->text().contains(QStringLiteral("：  收款人："))) << label->text().toStdString();
        EXPECT_TRUE(label->text().contains(QRegularExpression(QStringLiteral("   帐号：\\d{4} \\d{4} \\d{4} \\d{4}$"))))
            << label->text().toStdString();
    }
    QLabel* notice = labelWithText(*dialog.GroupBox2, QStringLiteral("注意：付款时把联系QQ或电话或电子邮件和用户码填写到付款说明里面。"));
    ASSERT_NE(notice, nullptr);
    EXPECT_EQ(notice->y(), 47);

    EXPECT_EQ(dialog.RzBitBtn19->text(), QStringLiteral("复制支付宝帐号"));
    EXPECT_EQ(dialog.RzBitBtn19->geometry(), QRect(333, 11, 108, 26));
    EXPECT_EQ(dialog.RzBitBtn17->text(), QStringLiteral("马上登录支付宝转账付款"));
    EXPECT_EQ(dialog.RzBitBtn17->geometry(), QRect(449, 11, 167, 27));
    EXPECT_EQ(dialog.RzBitBtn17->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_FALSE(dialog.RzBitBtn17->icon().pixmap(20, QIcon::Normal).toImage() ==
                 dialog.RzBitBtn17->icon().pixmap(20, QIcon::Active).toImage())
        << "the button's picture has two states";
    EXPECT_TRUE(dialog.RzZhifubao->isHidden());
    EXPECT_TRUE(dialog.RzZhifubao->isReadOnly());
    EXPECT_EQ(dialog.RzZhifubao->maxLength(), 200);
    EXPECT_EQ(dialog.RzZhifubao->geometry(), QRect(126, 22, 112, 20));

    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    // The window manager frames the dialog after it is shown; the outer size
    // is right once that frame is known.
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialog.frameGeometry().size() == QSize(663, 294); }, 3000))
        << dialog.frameGeometry().width() << "x" << dialog.frameGeometry().height();
}

TEST(InformationDialogs, ControlsStandAsDescribed) {
    TFrm_servers naming;
    described_widgets::expectWindowMatches(naming, ui::namingDialog());
    RecordingFeedback feedback;
    TFrmFukuan payment(feedback);
    described_widgets::expectWindowMatches(payment, ui::paymentDialog());
}

TEST(PaymentDialog, NoTabStripShowsAndTheFrameLinesPassAboveTheButtons) {
    RecordingFeedback feedback;
    TFrmFukuan dialog(feedback);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_FALSE(dialog.PageControl1->tabBar()->isVisible());
    // The page's area lies below where the tab strip would be, so the group
    // boxes stand where the design puts them in the window.
    EXPECT_EQ(dialog.GroupBox1->mapTo(&dialog, QPoint(0, 0)), QPoint(-6 + 4 + 16, -17 + 24 + 8));

    // Nothing but the page's white shows in the window's top rows: no tab
    // stub and no pane line.
    const QImage window = dialog.grab().toImage();
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < window.width(); x += 7)
            ASSERT_EQ(window.pixelColor(x, y), QColor(Qt::white)) << "at " << x << "," << y;

    // Beside the buttons, from their top to their bottom, the box shows no
    // frame line: it runs above them, through the box's caption.
    const QRect copy(dialog.RzBitBtn19->mapTo(&dialog, QPoint(0, 0)), dialog.RzBitBtn19->size());
    const int beside = copy.left() - 4;
    for (int y = copy.top(); y <= copy.bottom(); ++y)
        EXPECT_EQ(window.pixelColor(beside, y), QColor(Qt::white)) << "frame line at y = " << y;
    bool lineAbove = false;
    for (int y = dialog.GroupBox2->mapTo(&dialog, QPoint(0, 0)).y(); y < copy.top(); ++y)
        lineAbove = lineAbove || window.pixelColor(beside, y) != QColor(Qt::white);
    EXPECT_TRUE(lineAbove) << "the box's frame line runs above the buttons";
}

TEST(PaymentDialog, CopyPutsExactlyTheAccountOnTheClipboardAndSaysSo) {
    RecordingFeedback feedback;
    TFrmFukuan dialog(feedback);
    QGuiApplication::clipboard()->setText(QStringLiteral("something else"));
    dialog.RzBitBtn19->click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), dialog.RzZhifubao->text());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("pay@quelvor.example"));
    ASSERT_EQ(feedback.messages.size(), 1u);
    EXPECT_EQ(feedback.messages[0],
              (upgrade::UserMessage{"复制信息", "支付宝帐号复制成功！", upgrade::MessageIcon::Information}));
}

TEST(PaymentDialog, LoginButtonOpensThePaymentServiceLoginPage) {
    RecordingFeedback feedback;
    TFrmFukuan dialog(feedback);
    UrlRecorder recorder;
    dialog.RzBitBtn17->click();
    ASSERT_EQ(recorder.urls.size(), 1u);
    EXPECT_EQ(recorder.urls[0].toString(), QStringLiteral("https://www.payservice.example/login/index.htm"));
}

TEST(InformationDialogs, EachClickMakesANewModalDialogAndFreesThePreviousOne) {
    RecordingFeedback feedback;
    UnusedOpener opener;
    TForm1 form(feedback, opener);
    for (QPushButton* button : {form.Button6, form.Button15}) {
        QWidget* seenModal = nullptr;
        closeModalDialogSoon(&seenModal);
        button->click();
        QDialog* first = button == form.Button6 ? static_cast<QDialog*>(form.Frm_servers.get())
                                                : static_cast<QDialog*>(form.FrmFukuan.get());
        ASSERT_NE(first, nullptr);
        EXPECT_EQ(seenModal, first) << "shown modally";
        QPointer<QDialog> firstAlive(first);
        closeModalDialogSoon(&seenModal);
        button->click();
        EXPECT_TRUE(firstAlive.isNull()) << "the dialog of the earlier click was freed";
        EXPECT_EQ(form.findChildren<TFrm_servers*>().size() + form.findChildren<TFrmFukuan*>().size(),
                  button == form.Button6 ? 1 : 2);
    }
}
