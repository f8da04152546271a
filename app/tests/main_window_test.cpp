#include "Unit1.h"
#include "application_identity.h"
#include "chinese_translation.h"
#include "described_widgets.h"
#include "fake_product_database.h"
#include "recording_feedback.h"
#include "temporary_prefix.h"

#include <QApplication>
#include <QFontInfo>
#include <QAbstractButton>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QTest>
#include <QTextBlock>
#include <gtest/gtest.h>

#include <memory>
#include <set>

namespace {

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override { form = std::make_unique<TForm1>(feedback, opener); }
    RecordingFeedback feedback;
    UnusedOpener opener;
    std::unique_ptr<TForm1> form;
};

}  // namespace

TEST_F(MainWindow, CaptionAndApplicationTitleDiffer) {
    applyApplicationIdentity();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("算命软件八字软件黄道数据升级补丁2024"));
    EXPECT_EQ(QCoreApplication::applicationName(), QStringLiteral("算命软件升级补丁2022"));
    EXPECT_EQ(QGuiApplication::desktopFileName(), QStringLiteral("fortune-data-patch"));
    EXPECT_FALSE(QGuiApplication::windowIcon().isNull());
    // An explicit display name would be appended to the caption by Qt; the
    // display name must fall back to the application name instead.
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), QStringLiteral("算命软件升级补丁2022"));
}

TEST_F(MainWindow, ControlsStandAsDescribed) {
    described_widgets::expectWindowMatches(*form, ui::mainWindow(),
                                           {"ComboBox1", "CBhuangdao", "CBhuangdao2", "Memo37", "Memo38"});
    EXPECT_TRUE(form->Button9->isHidden());
    EXPECT_EQ(form->Button9->text(), QStringLiteral("黄道数据升级2"));
    EXPECT_EQ(form->Button1->geometry(), QRect(311, 15, 93, 25));
}

TEST_F(MainWindow, FontsAndColours) {
    const QFont font = form->font();
    EXPECT_EQ(font.families().value(0), QStringLiteral("宋体"));
    EXPECT_EQ(font.pixelSize(), 12);
    EXPECT_FALSE(font.bold());
    // Whatever font the machine has, the captions must render as Chinese.
    EXPECT_TRUE(QFontMetrics(font).inFont(QChar(0x9EC4))) << "no font renders 黄";

    for (QPushButton* upgradeButton : {form->Button1, form->Button8}) {
        EXPECT_TRUE(upgradeButton->font().bold());
        EXPECT_EQ(upgradeButton->palette().color(QPalette::ButtonText), QColor(Qt::red));
    }
    EXPECT_FALSE(form->Button15->font().bold());
    EXPECT_EQ(form->Button15->palette().color(QPalette::ButtonText), QColor(0, 0, 128));
    EXPECT_FALSE(form->Button2->font().bold());
    EXPECT_EQ(form->Button2->font().pixelSize(), 12);
}

TEST_F(MainWindow, TabOrderRunsDownBothColumns) {
    const std::vector<QWidget*> expected = {form->Memo39,   form->Button1,  form->Button2,  form->Button8,
                                            form->Button10, form->Button5,  form->Button11, form->Button3,
                                            form->Button12, form->Button7,  form->Button13, form->Button6,
                                            form->Button14, form->Button15, form->Button4};
    std::vector<QWidget*> chain;
    QWidget* w = form->Memo39;
    do {
        if (!w->isHidden() && w->focusPolicy() & Qt::TabFocus) chain.push_back(w);
        w = w->nextInFocusChain();
    } while (w != form->Memo39 && chain.size() < 40);
    EXPECT_EQ(chain, expected);
}

TEST_F(MainWindow, InformationPanelShowsItsTwentyThreeLines) {
    QPlainTextEdit* memo = form->Memo39;
    EXPECT_TRUE(memo->isReadOnly());
    EXPECT_EQ(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    const QStringList lines = memo->toPlainText().split(QChar('\n'));
    ASSERT_EQ(lines.size(), 23);
    EXPECT_TRUE(lines[3].endsWith(QStringLiteral("件都可以联系我们。")));
    EXPECT_EQ(lines[4], QString());
    EXPECT_EQ(lines[5], QStringLiteral("特别推荐组合(安卓手机平板版全套995元)："));
    EXPECT_EQ(lines[6], QStringLiteral("  1. 算命软件                注册价格：298  "));
    EXPECT_EQ(lines[11], QStringLiteral("  6. 宝宝起名软件            注册价格：35"));
    EXPECT_EQ(lines[13], QStringLiteral("特别推荐组合(电脑版全套870元)："));
    EXPECT_EQ(lines[15], QStringLiteral("  2. 八字合婚配软件          注册价格：198  "));
    EXPECT_EQ(lines[18], QStringLiteral("  5. 黄道吉日择日软件        注册价格：50"));
    EXPECT_EQ(lines[20], QString());
    EXPECT_EQ(lines[21], QStringLiteral("付款方式："));
    EXPECT_TRUE(lines[22].contains(QStringLiteral("example"))) << lines[22].toStdString();
    EXPECT_EQ(memo->textCursor().position(), 0) << "shown from the first line";

    // Every line fits the panel's width, so none wraps into a second row
    // (trailing blanks may run past the edge without wrapping).
    const int room = memo->contentsRect().width() - 2 * static_cast<int>(memo->document()->documentMargin());
    const QFontMetrics metrics(memo->font());
    for (QString line : lines) {
        while (line.endsWith(QChar(' '))) line.chop(1);
        EXPECT_LE(metrics.horizontalAdvance(line), room) << line.toStdString();
    }
}

TEST_F(MainWindow, PriceColumnsOfTheInformationPanelLineUp) {
    const QStringList lines = form->Memo39->toPlainText().split(QChar('\n'));
    ASSERT_EQ(lines.size(), 23);
    const QFontMetrics metrics(form->Memo39->font());
    // In the font as shown, a Latin character is half as wide as a Chinese one.
    EXPECT_EQ(metrics.horizontalAdvance(QStringLiteral("  ")), metrics.horizontalAdvance(QChar(0x7B97)))
        << "two blanks are as wide as 算";
    std::set<int> priceColumns;
    for (const QString& line : lines) {
        const qsizetype price = line.indexOf(QStringLiteral("注册价格"));
        if (price < 0) continue;
        priceColumns.insert(metrics.horizontalAdvance(line.left(price)));
    }
    EXPECT_EQ(priceColumns.size(), 1u) << "the prices start at " << priceColumns.size() << " different places";
}

TEST_F(MainWindow, AllLinesOfTheInformationPanelShowWithoutScrolling) {
    // The panel has no scroll bars: its 23 lines must fit its height in the font as shown, as
    // they do in 宋体's 12-pixel lines.
    const QPlainTextEdit* memo = form->Memo39;
    const int room = memo->contentsRect().height() - 2 * static_cast<int>(memo->document()->documentMargin());
    EXPECT_LE(23 * QFontMetrics(memo->font()).lineSpacing(), room) << QFontInfo(memo->font()).family().toStdString();
}

TEST_F(MainWindow, EnterAndReturnPressTheFocusedButton) {
    int presses = 0;
    QObject::connect(form->Button2, &QPushButton::pressed, [&presses] { ++presses; });
    QObject::disconnect(form->Button2, &QPushButton::clicked, nullptr, nullptr);  // no browser
    int clicks = 0;
    QObject::connect(form->Button2, &QPushButton::clicked, [&clicks] { ++clicks; });
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    form->Button2->setFocus();
    QTest::keyClick(form->Button2, Qt::Key_Return);
    QTest::keyClick(form->Button2, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(clicks, 2);
    QTest::keyClick(form->Button2, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(clicks, 2) << "Ctrl+Return is no press";

    form->Button4->setFocus();
    QTest::keyClick(form->Button4, Qt::Key_Return);
    EXPECT_FALSE(form->isVisible()) << "Return on 退出 closes the window";
}

TEST_F(MainWindow, OuterSizeStaysAfterMinimiseAndRestore) {
    // A window manager frames the window after it is shown; the size is
    // right as soon as the frame is known, and stays so.
    const auto outerSizeSettles = [this] {
        return QTest::qWaitFor([this] { return form->frameGeometry().size() == QSize(693, 416); }, 3000);
    };
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    EXPECT_TRUE(outerSizeSettles()) << form->frameGeometry().width() << "x" << form->frameGeometry().height();
    form->showMinimized();
    EXPECT_TRUE(QTest::qWaitFor([this] { return form->isMinimized(); }, 1000));
    form->showNormal();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    EXPECT_TRUE(outerSizeSettles()) << form->frameGeometry().width() << "x" << form->frameGeometry().height();
    EXPECT_EQ(form->frameGeometry().size(), QSize(693, 416));
}

TEST(QtTranslation, MessageBoxButtonsReadChinese) {
    ASSERT_TRUE(installChineseTranslation(*QCoreApplication::instance())) << "qt6-translations-l10n missing";
    QMessageBox box(QMessageBox::Information, QStringLiteral("信息提示"), QStringLiteral("更新成功！"), QMessageBox::Ok);
    EXPECT_EQ(box.button(QMessageBox::Ok)->text().remove(QChar('&')), QStringLiteral("确定"));
}

TEST_F(MainWindow, PicturesAreLoaded) {
    for (QLabel* picture : {form->Image1, form->Image2}) {
        const QPixmap pixmap = picture->pixmap();
        ASSERT_FALSE(pixmap.isNull()) << picture->objectName().toStdString() << ": JPEG plugin or resource missing";
        EXPECT_EQ(pixmap.size(), QSize(147, 180));
    }
}

TEST_F(MainWindow, OpensCentredWithFixedOuterSizeAndNoMaximiseBox) {
    const Qt::WindowFlags flags = form->windowFlags();
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowContextHelpButtonHint);
    EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(flags & Qt::WindowSystemMenuHint);

    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    // Under a window manager the frame, and so the final place, is known
    // shortly after the window shows.
    EXPECT_TRUE(QTest::qWaitFor([this] { return form->frameGeometry().size() == QSize(693, 416); }, 3000))
        << form->frameGeometry().width() << "x" << form->frameGeometry().height();
    EXPECT_EQ(form->minimumSize(), form->maximumSize()) << "not resizable";
    const QRect screen = form->screen()->availableGeometry();
    EXPECT_LE(std::abs(form->frameGeometry().center().x() - screen.center().x()), 1);
    EXPECT_LE(std::abs(form->frameGeometry().center().y() - screen.center().y()), 1);
}

TEST_F(MainWindow, ExitClosesTheWindowAndEndsTheMessageLoopWithoutAPrompt) {
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    bool stuck = false;
    QTimer::singleShot(0, form.get(), [this] { form->Button4->click(); });
    // A safety net: if closing did not end the loop, end it and fail.
    QTimer safetyNet;
    safetyNet.setSingleShot(true);
    QObject::connect(&safetyNet, &QTimer::timeout, [&stuck] {
        stuck = true;
        QCoreApplication::exit(1);
    });
    safetyNet.start(5000);
    const int exitCode = QApplication::exec();
    EXPECT_FALSE(stuck) << "the message loop kept running after the window closed";
    EXPECT_EQ(exitCode, 0);
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(feedback.messages.empty());
}

TEST_F(MainWindow, HiddenListsAndLogsStartAsGiven) {
    EXPECT_EQ(form->ComboBox1.count(), 36u);
    EXPECT_EQ(form->CBhuangdao.count(), 119u);
    EXPECT_EQ(form->CBhuangdao2.count(), 18u);
    EXPECT_EQ(form->Memo37.count(), 0u);
    EXPECT_EQ(form->Memo38.count(), 0u);
}

TEST(MainWindowUpgrades, UpgradeButtonsRunTheirActionsOverTheirOwnLists) {
    TemporaryPrefix prefix;
    const std::string almanacRow = upgrade::almanacList().entry(0);
    const std::string secondRow = upgrade::secondAlmanacList().entry(17);
    prefix.install(almanacRow, "\\QorBirth.dll");
    prefix.install(secondRow, "\\QorBirth.dll");
    RecordingFeedback feedback;
    FakeOpener opener;
    TForm1 form(feedback, opener, prefix.installation());

    form.Button8->click();
    EXPECT_EQ(form.Memo37.lines(), std::vector<std::string>{almanacRow});
    form.Button9->click();
    EXPECT_EQ(form.Memo37.lines(), (std::vector<std::string>{almanacRow, secondRow}));
    EXPECT_EQ(form.Memo38.count(), 0u);
    form.Button1->click();

    ASSERT_EQ(feedback.messages.size(), 3u);
    EXPECT_EQ(feedback.messages[0].text, "更新成功！");
    EXPECT_EQ(feedback.messages[1].text, "更新成功！");
    EXPECT_EQ(feedback.messages[2].text, "没有可更新的内容，请重新安装后在试！") << "no fortune database installed";
    EXPECT_FALSE(form.ADOQuery1.isOpen()) << "the last product file is closed when the action ends";
    for (const auto& message : feedback.messages) EXPECT_EQ(message.caption, "信息提示");
}
