#include "Unt_servers.h"

#include "window_placement.h"
#include "window_style.h"

#include <QFrame>
#include <QLabel>
#include <QPixmap>

#include <algorithm>

static void loadInfoPictures() {
    Q_INIT_RESOURCE(info_pictures);
}

namespace {

struct PriceLine {
    int y;
    const char* text;
    bool heading;
};

constexpr PriceLine kPriceLines[] = {
    {14, "起名说明:", true},
    {64, "经济套餐：200元", true},
    {83, "起10个名字待选择。", false},
    {116, "标准套餐：300元", true},
    {135, "起15个名字待选择，3个详细名字分析。", false},
    {168, "豪华套餐：500元", true},
    {187, "起20个名字待选择，5个详细名字分析。", false},
    {225, "贵族套餐：888元", true},
    {244, "起25个名字待选择，10个详细名字分析，终身命运分析。", false},
};

constexpr int kLabelLeft = 70;
constexpr QPoint kPictures[] = {{24, 12}, {24, 64}, {24, 116}, {24, 169}, {23, 220}};

}  // namespace

TFrm_servers::TFrm_servers(QWidget* parent) : QDialog(parent, windowstyle::dialogWindowFlags()) {
    loadInfoPictures();
    setObjectName("Frm_servers");
    setWindowTitle(QStringLiteral("人工起名服务"));
    setFont(windowstyle::windowFont());
    windowstyle::useButtonHighlightBackground(*this);
    setFixedSize(kClientWidth, kClientHeight);

    Panel1 = new QFrame(this);
    Panel1->setObjectName("Panel1");
    Panel1->setGeometry(0, 0, kClientWidth, kClientHeight);
    windowstyle::useWindowColourRoundedPanel(*Panel1);

    const QPixmap picture(QStringLiteral(":/info/naming.jpg"));
    int pictureNumber = 1;
    for (const QPoint& at : kPictures) {
        auto* image = new QLabel(Panel1);
        image->setObjectName(QStringLiteral("Image%1").arg(pictureNumber++));
        image->setGeometry(at.x(), at.y(), 41, 41);
        image->setPixmap(picture);
    }

    for (const PriceLine& line : kPriceLines) {
        auto* label = new QLabel(QString::fromUtf8(line.text), Panel1);
        label->move(kLabelLeft, line.y);
        label->adjustSize();
        if (line.heading) windowstyle::makeNavyHeading(*label);
    }

    auto* explanation = new QLabel(
        QStringLiteral("人工起名根据八字五行三才五格进行分析，起名时间一般为1天到5天，每个姓氏起名难易度不一样。"), Panel1);
    explanation->setObjectName("LabelExplanation");
    // Two lines of the window font; a font with a taller line than 12 pixels
    // gets the height it needs, so the second line is never cut off.
    explanation->setGeometry(kLabelLeft, 31, 318, std::max(24, 2 * explanation->fontMetrics().lineSpacing()));
    explanation->setWordWrap(true);
    explanation->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void TFrm_servers::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    centreOnScreen(*this);
}
