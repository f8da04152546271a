#include "window_style.h"

#include <QFrame>
#include <QGroupBox>
#include <QPushButton>
#include <QWidget>

namespace windowstyle {
namespace {

// The "gradient active caption" colour of Windows' classic scheme.
const QColor kGradientActiveCaption{185, 209, 234};

QString cssColour(const QColor& colour) {
    return QStringLiteral("rgb(%1, %2, %3)").arg(colour.red()).arg(colour.green()).arg(colour.blue());
}

}  // namespace

QFont toQFont(const ui::Font& described) {
    QFont font;
    font.setFamilies({QString::fromUtf8(described.face.data(), static_cast<qsizetype>(described.face.size())),
                      QStringLiteral("SimSun"), QStringLiteral("NSimSun"), QStringLiteral("AR PL UMing CN"),
                      QStringLiteral("Noto Sans Mono CJK SC"),
                      QStringLiteral("WenQuanYi Micro Hei Mono"), QStringLiteral("WenQuanYi Micro Hei"),
                      QStringLiteral("Noto Sans CJK SC")});
    font.setPixelSize(described.pixelHeight);
    font.setBold(described.bold);
    font.setItalic(false);
    return font;
}

QColor toQColor(const ui::Colour& colour, const QPalette& palette) {
    switch (colour.system) {
        case ui::SystemColour::None: return QColor(colour.red, colour.green, colour.blue);
        case ui::SystemColour::ButtonFace: return palette.color(QPalette::Button);
        case ui::SystemColour::ButtonText: return palette.color(QPalette::ButtonText);
        case ui::SystemColour::ButtonHighlight: return palette.color(QPalette::Light);
        case ui::SystemColour::Window: return palette.color(QPalette::Base);
        case ui::SystemColour::WindowText: return palette.color(QPalette::WindowText);
        case ui::SystemColour::GradientActiveCaption: return kGradientActiveCaption;
        case ui::SystemColour::Highlight: return palette.color(QPalette::Highlight);
    }
    return palette.color(QPalette::Window);
}

void useBackground(QWidget& widget, const ui::Colour& colour) {
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, toQColor(colour, palette));
    if (colour.system == ui::SystemColour::ButtonFace)
        palette.setColor(QPalette::WindowText, palette.color(QPalette::ButtonText));
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

void useTextBackground(QWidget& widget, const ui::Colour& colour) {
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Base, toQColor(colour, palette));
    palette.setColor(QPalette::Text, Qt::black);
    widget.setPalette(palette);
}

void makeFlatButton(QPushButton& button, const ui::ControlDescription& control) {
    const QPalette& palette = button.palette();
    QString style = QStringLiteral("QPushButton { padding: 2px;");
    if (control.background) style += QStringLiteral(" background: %1;").arg(cssColour(toQColor(*control.background, palette)));
    if (control.frameColour)
        style += QStringLiteral(" border: 1px solid %1;").arg(cssColour(toQColor(*control.frameColour, palette)));
    style += QStringLiteral(" }");
    if (control.hotTrack)
        style += QStringLiteral("QPushButton:hover { background: palette(highlight); color: palette(highlighted-text); }");
    button.setStyleSheet(style);
}

void useCaptionOnFrameLine(QGroupBox& box) {
    const int halfCaption = box.fontMetrics().height() / 2;
    box.setStyleSheet(QStringLiteral("QGroupBox { border: 1px solid palette(mid); margin-top: %1px; }"
                                     "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left;"
                                     " left: 8px; padding: 0 2px; }")
                          .arg(halfCaption));
}

void useRoundedPanel(QFrame& panel, const ui::ControlDescription& control) {
    const QColor background =
        toQColor(control.background.value_or(ui::Colour::named(ui::SystemColour::Window)), panel.palette());
    panel.setStyleSheet(QStringLiteral("QFrame#%1 { background: %2; border: 1px solid palette(mid); border-radius: 6px; }")
                            .arg(panel.objectName(), cssColour(background)));
}

}  // namespace windowstyle
