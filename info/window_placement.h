#pragma once
// Placing top-level windows: centred on their screen, and with a fixed outer
// size (frame included) where the design fixes one.

#include <QSize>

class QWidget;

// Moves a top-level window so that its frame is centred on its screen.
void centreOnScreen(QWidget& window);

// Fixes the client area so that the window, frame included, measures `outer`,
// then centres it. The frame is known only once the window is shown, so this
// belongs in the window's show event.
void fitOuterSizeAndCentre(QWidget& window, QSize outer);
