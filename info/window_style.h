#pragma once
// How the windows' described fonts and colours look in Qt: the window font
// with its fallbacks, the desktop colours of the classic Windows scheme, and
// the flat buttons and rounded panels of the dialogs.

#include "ui/window_description.h"

#include <QColor>
#include <QFont>
#include <QPalette>

class QFrame;
class QGroupBox;
class QPushButton;
class QWidget;

namespace windowstyle {

// The described face first, then fonts that render Chinese where it is
// absent. The first fallback, like 宋体, draws Latin characters exactly half
// as wide as Chinese ones, so the padded price lists stay aligned.
QFont toQFont(const ui::Font& font);

// An explicit colour as it is; a system colour from the widget's palette,
// or the classic Windows value where Qt's palette has no counterpart.
QColor toQColor(const ui::Colour& colour, const QPalette& palette);

// Fills the widget's background with the colour.
void useBackground(QWidget& widget, const ui::Colour& colour);
// The paper of a text panel (its base colour), with black text.
void useTextBackground(QWidget& widget, const ui::Colour& colour);
// A flat button: the described face and frame line, and the highlight
// colour under the mouse when it hot-tracks.
void makeFlatButton(QPushButton& button, const ui::ControlDescription& control);
// A group box whose frame line runs through the middle of its caption, as
// on Windows, instead of below it: controls placed just under the caption
// stand inside the frame, not on its line.
void useCaptionOnFrameLine(QGroupBox& box);
// A flat panel with a rounded outer border, in its described background.
void useRoundedPanel(QFrame& panel, const ui::ControlDescription& control);

}  // namespace windowstyle
