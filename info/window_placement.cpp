#include "window_placement.h"

#include <QScreen>
#include <QWidget>

void centreOnScreen(QWidget& window) {
    const QScreen* screen = window.screen();
    if (!screen) return;
    const QRect available = screen->availableGeometry();
    const QSize outer = window.frameGeometry().size();
    window.move(available.x() + (available.width() - outer.width()) / 2,
                available.y() + (available.height() - outer.height()) / 2);
}
