#pragma once
// Placing top-level windows: centred on their screen.

class QWidget;

// Moves a top-level window so that its frame is centred on its screen.
void centreOnScreen(QWidget& window);
