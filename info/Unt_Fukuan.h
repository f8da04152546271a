#pragma once
// The payment-methods dialog: how to pay the vendor by bank transfer or
// through the online payment service, with two actions: copy the payment
// account to the clipboard, and open the payment service's login page. Its
// controls are built from its description (ui::paymentDialog()).

#include "described_window.h"
#include "upgrade/user_feedback.h"

#include <QDialog>

class QGroupBox;
class QLineEdit;
class QPushButton;
class QTabWidget;

class TFrmFukuan : public QDialog {
    Q_OBJECT

public:
    TFrmFukuan(upgrade::UserFeedback& feedback, QWidget* parent = nullptr);

    QTabWidget* PageControl1 = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    QPushButton* RzBitBtn19 = nullptr;
    QPushButton* RzBitBtn17 = nullptr;
    // Hidden and read-only: the payment account that the copy button copies.
    QLineEdit* RzZhifubao = nullptr;

public slots:
    void RzBitBtn19Click();
    void RzBitBtn17Click();

private:
    upgrade::UserFeedback& feedback_;
    info::DescribedWindow design_;
};
