#include "Unit1.h"

#include "info/Unt_Fukuan.h"
#include "info/Unt_servers.h"
#include "info/window_placement.h"
#include "info/links.h"
#include "info/window_style.h"
#include "information_panel.h"
#include "upgrade/almanac_upgrade.h"
#include "upgrade/fortune_upgrade.h"
#include "upgrade_progress.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QShowEvent>

// The pictures are compiled into the window's library; register them once.
static void loadPictureResources() {
    Q_INIT_RESOURCE(pictures);
}

namespace {

constexpr int kLeftColumn = 311;
constexpr int kRightColumn = 414;
constexpr int kRows[] = {15, 68, 121, 173, 226, 279, 332};
constexpr int kButtonHeight = 25;

}  // namespace

TForm1::TForm1(upgrade::UserFeedback& feedback, upgrade::ProductDatabaseOpener& opener,
               upgrade::Installation installation, QWidget* parent)
    : QWidget(parent, windowstyle::mainWindowFlags()),
      ComboBox1(upgrade::fortuneList()),
      CBhuangdao(upgrade::almanacList()),
      CBhuangdao2(upgrade::secondAlmanacList()),
      ADOQuery1(opener, std::move(installation)),
      feedback_(feedback) {
    loadPictureResources();
    setObjectName("Form1");
    setWindowTitle(QStringLiteral("算命软件八字软件黄道数据升级补丁2024"));
    setFont(windowstyle::windowFont());
    windowstyle::useButtonFaceBackground(*this);
    setFixedSize(kOuterWidth, kOuterHeight);

    setUpPanel();

    Button1 = addButton("Button1", QStringLiteral("算命软件升级"), {kLeftColumn, kRows[0], 93, kButtonHeight});
    Button2 = addButton("Button2", QStringLiteral("算命手机版"), {kRightColumn, kRows[0], 91, kButtonHeight});
    Button8 = addButton("Button8", QStringLiteral("黄道数据升级"), {kLeftColumn, kRows[1], 93, kButtonHeight});
    Button10 = addButton("Button10", QStringLiteral("风水手机版"), {kRightColumn, kRows[1], 91, kButtonHeight});
    Button5 = addButton("Button5", QStringLiteral("客户QQ1"), {kLeftColumn, kRows[2], 93, kButtonHeight});
    Button11 = addButton("Button11", QStringLiteral("合婚手机版"), {kRightColumn, kRows[2], 91, kButtonHeight});
    Button3 = addButton("Button3", QStringLiteral("客户QQ2"), {kLeftColumn, kRows[3], 93, kButtonHeight});
    Button12 = addButton("Button12", QStringLiteral("看日子手机版"), {kRightColumn, kRows[3], 91, kButtonHeight});
    Button7 = addButton("Button7", QStringLiteral("官方网站"), {kLeftColumn, kRows[4], 93, kButtonHeight});
    Button13 = addButton("Button13", QStringLiteral("公司起名手机版"), {kRightColumn, kRows[4], 91, kButtonHeight});
    Button6 = addButton("Button6", QStringLiteral("人工起名"), {kLeftColumn, kRows[5], 93, kButtonHeight});
    Button14 = addButton("Button14", QStringLiteral("宝宝取名手机版"), {kRightColumn, kRows[5], 91, kButtonHeight});
    Button15 = addButton("Button15", QStringLiteral("新购买付款方式"), {kLeftColumn, kRows[6], 93, kButtonHeight});
    Button4 = addButton("Button4", QStringLiteral("退出"), {kRightColumn, kRows[6], 93, kButtonHeight});

    // The hidden second almanac action sits off the left edge and is never shown.
    Button9 = addButton("Button9", QStringLiteral("黄道数据升级2"), {-200, 40, 93, kButtonHeight});
    Button9->hide();

    windowstyle::makeUpgradeButton(*Button1);
    windowstyle::makeUpgradeButton(*Button8);
    windowstyle::makePaymentButton(*Button15);

    Image1 = addPicture("Image1", QStringLiteral(":/pictures/contact.jpg"), {522, 2, 147, 180});
    Image2 = addPicture("Image2", QStringLiteral(":/pictures/payment.jpg"), {522, 188, 147, 180});

    setUpTabOrder();

    connect(Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
    connect(Button8, &QPushButton::clicked, this, &TForm1::Button8Click);
    connect(Button9, &QPushButton::clicked, this, &TForm1::Button9Click);
    connect(Button2, &QPushButton::clicked, this, &TForm1::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TForm1::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &TForm1::Button4Click);
    connect(Button5, &QPushButton::clicked, this, &TForm1::Button5Click);
    connect(Button6, &QPushButton::clicked, this, &TForm1::Button6Click);
    connect(Button7, &QPushButton::clicked, this, &TForm1::Button7Click);
    connect(Button10, &QPushButton::clicked, this, &TForm1::Button10Click);
    connect(Button11, &QPushButton::clicked, this, &TForm1::Button11Click);
    connect(Button12, &QPushButton::clicked, this, &TForm1::Button12Click);
    connect(Button13, &QPushButton::clicked, this, &TForm1::Button13Click);
    connect(Button14, &QPushButton::clicked, this, &TForm1::Button14Click);
    connect(Button15, &QPushButton::clicked, this, &TForm1::Button15Click);
}

TForm1::~TForm1() = default;

void TForm1::setUpPanel() {
    Memo39 = new QPlainTextEdit(this);
    Memo39->setObjectName("Memo39");
    Memo39->setGeometry(4, 7, 293, 362);
    Memo39->setReadOnly(true);
    Memo39->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo39->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo39->setPlainText(informationPanelLines().join(QChar('\n')));
    Memo39->moveCursor(QTextCursor::Start);
    windowstyle::useGradientActiveCaptionBackground(*Memo39);
}

QPushButton* TForm1::addButton(const char* name, const QString& caption, const QRect& geometry) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(name);
    button->setGeometry(geometry);
    button->setAutoDefault(false);
    return button;
}

QLabel* TForm1::addPicture(const char* name, const QString& resource, const QRect& geometry) {
    auto* picture = new QLabel(this);
    picture->setObjectName(name);
    picture->setGeometry(geometry);
    picture->setPixmap(QPixmap(resource));
    return picture;
}

void TForm1::setUpTabOrder() {
    QWidget* const order[] = {Memo39,  Button1,  Button2,  Button9,  Button8,  Button10, Button5, Button11,
                              Button3, Button12, Button7,  Button13, Button6,  Button14, Button15, Button4};
    for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
}

void TForm1::Button4Click() {
    close();
}

void TForm1::Button1Click() {
    UpgradeProgress progress(this, Button1->text());
    FeedbackAfterProgress feedback(progress, feedback_);
    upgrade::runFortuneUpgrade(ComboBox1, ADOQuery1, feedback,
                               [&progress](std::size_t row, std::size_t rows, std::string_view directory,
                                           upgrade::FortuneBlock) { progress.step(row, rows, directory); });
}

void TForm1::Button8Click() {
    runAlmanacUpgrade(CBhuangdao);
}

// The hidden second action rebuilds the same table over the second list.
void TForm1::Button9Click() {
    runAlmanacUpgrade(CBhuangdao2);
}

void TForm1::runAlmanacUpgrade(const upgrade::CatalogueList& list) {
    UpgradeProgress progress(this, Button8->text());
    FeedbackAfterProgress feedback(progress, feedback_);
    upgrade::runAlmanacUpgrade(list, ADOQuery1, {Memo37, Memo38}, feedback,
                               [&progress](std::size_t row, std::size_t rows, std::string_view directory) {
                                   progress.step(row, rows, directory);
                               });
}

void TForm1::Button7Click() { info::openLink(info::vendorPageUrl(0)); }
void TForm1::Button2Click() { info::openLink(info::vendorPageUrl(1)); }
void TForm1::Button10Click() { info::openLink(info::vendorPageUrl(2)); }
void TForm1::Button11Click() { info::openLink(info::vendorPageUrl(3)); }
void TForm1::Button12Click() { info::openLink(info::vendorPageUrl(4)); }
void TForm1::Button13Click() { info::openLink(info::vendorPageUrl(5)); }
void TForm1::Button14Click() { info::openLink(info::vendorPageUrl(6)); }
void TForm1::Button5Click() { info::openLink(info::supportChatUrl(info::SupportChat::First)); }
void TForm1::Button3Click() { info::openLink(info::supportChatUrl(info::SupportChat::Second)); }

void TForm1::Button6Click() {
    Frm_servers.reset();
    Frm_servers = std::make_unique<TFrm_servers>(this);
    Frm_servers->exec();
}

void TForm1::Button15Click() {
    FrmFukuan.reset();
    FrmFukuan = std::make_unique<TFrmFukuan>(feedback_, this);
    FrmFukuan->exec();
}

void TForm1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    fitOuterSizeAndCentre(*this, {kOuterWidth, kOuterHeight});
}
