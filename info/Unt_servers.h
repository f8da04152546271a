#pragma once
// The naming-service dialog: the price list of the vendor's manual
// name-giving services, built from its description (ui::namingDialog()). It
// has no actions; the user closes it from its title bar.

#include "described_window.h"

#include <QDialog>

class QFrame;

class TFrm_servers : public QDialog {
    Q_OBJECT

public:
    explicit TFrm_servers(QWidget* parent = nullptr);

    QFrame* Panel1 = nullptr;

private:
    info::DescribedWindow design_;
};
