#pragma once
// The payment-methods dialog: how to pay the vendor by bank transfer or
// through the online payment service, with two actions: copy the payment
// account to the clipboard, and open the payment service's login page.

#include "upgrade/user_feedback.h"

#include <QDialog>

class QGroupBox;
class QLineEdit;
class QPushButton;
class QTabWidget;

class TFrmFukuan : public QDialog {
    Q_OBJECT

public:
    static constexpr int kOuterWidth = 663;
    static constexpr int kOuterHeight = 294;

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

protected:
    void showEvent(QShowEvent* event) override;

private:
    void setUpBankBox(QWidget* page);
    void setUpOnlineBox(QWidget* page);

    upgrade::UserFeedback& feedback_;
};
