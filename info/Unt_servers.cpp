#include "Unt_servers.h"

#include <QFrame>
#include <QLabel>

#include <algorithm>

// The dialogs' pictures are registered before their controls are built.
static QWidget& withInfoPictures(QWidget& window) {
    Q_INIT_RESOURCE(info_pictures);
    return window;
}

TFrm_servers::TFrm_servers(QWidget* parent)
    : QDialog(parent, info::windowFlags(ui::namingDialog(), Qt::Dialog)),
      design_(withInfoPictures(*this), ui::namingDialog()) {
    Panel1 = design_.get<QFrame>("Panel1");

    // A wrapped label holds two lines of the window font; where the font's
    // line is taller than 12 pixels it gets the height it needs, so the
    // second line is never cut off.
    for (QLabel* label : Panel1->findChildren<QLabel*>()) {
        if (!label->wordWrap()) continue;
        label->resize(label->width(), std::max(label->height(), 2 * label->fontMetrics().lineSpacing()));
    }
}
