#include "window_style.h"

#include <QFrame>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QWidget>

namespace windowstyle {

QFont windowFont() {
    QFont font;
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("NSimSun"),
                      QStringLiteral("WenQuanYi Micro Hei Mono"),
                      QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC")});
    font.setPixelSize(12);
    font.setBold(false);
    font.setItalic(false);
    return font;
}

Qt::WindowFlags mainWindowFlags() {
    return Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint;
}

Qt::WindowFlags dialogWindowFlags() {
    return Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
           Qt::WindowCloseButtonHint;
}

void useButtonFaceBackground(QWidget& widget) {
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Button));
    palette.setColor(QPalette::WindowText, palette.color(QPalette::ButtonText));
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

void useButtonHighlightBackground(QWidget& widget) {
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Light));
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

void useWindowColourRoundedPanel(QFrame& panel) {
    panel.setObjectName(panel.objectName().isEmpty() ? QStringLiteral("Panel") : panel.objectName());
    panel.setStyleSheet(QStringLiteral("QFrame#%1 { background: palette(base); border: 1px solid palette(mid);"
                                       " border-radius: 6px; }")
                            .arg(panel.objectName()));
}

void makeNavyHeading(QLabel& label) {
    QFont font = label.font();
    font.setBold(true);
    label.setFont(font);
    QPalette palette = label.palette();
    palette.setColor(QPalette::WindowText, kNavy);
    label.setPalette(palette);
    label.adjustSize();
}

void useGradientActiveCaptionBackground(QWidget& widget) {
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Base, kGradientActiveCaption);
    palette.setColor(QPalette::Text, Qt::black);
    widget.setPalette(palette);
}

namespace {

void setCaptionStyle(QPushButton& button, const QColor& colour, bool bold) {
    QFont font = button.font();
    font.setBold(bold);
    button.setFont(font);
    QPalette palette = button.palette();
    palette.setColor(QPalette::ButtonText, colour);
    button.setPalette(palette);
}

}  // namespace

void makeUpgradeButton(QPushButton& button) {
    setCaptionStyle(button, Qt::red, true);
}

void makePaymentButton(QPushButton& button) {
    setCaptionStyle(button, kNavy, false);
}

}  // namespace windowstyle
