#pragma once
// The naming-service dialog: the price list of the vendor's manual
// name-giving services. It has no actions; the user closes it from its
// title bar.

#include <QDialog>

class QFrame;

class TFrm_servers : public QDialog {
    Q_OBJECT

public:
    static constexpr int kClientWidth = 420;
    static constexpr int kClientHeight = 273;

    explicit TFrm_servers(QWidget* parent = nullptr);

    QFrame* Panel1 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
};
