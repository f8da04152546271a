#pragma once
// The look shared by the main window and the information dialogs: the
// window font, the window colours and the emphasised buttons.

#include <QColor>
#include <QFont>
#include <Qt>

class QWidget;
class QPushButton;
class QFrame;
class QLabel;

namespace windowstyle {

// "宋体" at 12 pixels, falling back to fonts that render Chinese where it is
// absent; the monospaced fallback keeps the half-width ASCII of 宋体, so the
// padded price lists stay aligned.
QFont windowFont();

// Title bar with system menu and minimise button, no maximise, no help.
Qt::WindowFlags mainWindowFlags();
// Title bar with system menu only.
Qt::WindowFlags dialogWindowFlags();

// The classic "gradient active caption" colour of Windows.
inline const QColor kGradientActiveCaption{185, 209, 234};
inline const QColor kNavy{0, 0, 128};

void useButtonFaceBackground(QWidget& widget);
// The "button highlight" colour: white on the classic scheme.
void useButtonHighlightBackground(QWidget& widget);
// A flat panel with a rounded outer border, in the window (paper) colour.
void useWindowColourRoundedPanel(QFrame& panel);
// Bold navy text, for the headings of the information dialogs.
void makeNavyHeading(QLabel& label);
void useGradientActiveCaptionBackground(QWidget& widget);
// Bold red caption, for the two upgrade buttons.
void makeUpgradeButton(QPushButton& button);
// Navy regular caption, for the payment-methods button.
void makePaymentButton(QPushButton& button);

}  // namespace windowstyle
