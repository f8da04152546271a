#pragma once
// The main window: the two upgrade buttons, the link and dialog buttons, the
// information panel and two pictures; hidden, the installation catalogue and
// the success and failure logs of the almanac upgrade. Its controls are built
// from the window's description (ui::mainWindow()).

#include "upgrade/catalogue.h"
#include "upgrade/installation.h"
#include "upgrade/product_database.h"
#include "upgrade/product_query.h"
#include "text/text_lines.h"
#include "upgrade/user_feedback.h"
#include "info/described_window.h"

#include <QWidget>

#include <memory>
#include <string_view>

class QLabel;
class TFrm_servers;
class TFrmFukuan;
class QPlainTextEdit;
class QPushButton;

class TForm1 : public QWidget {
    Q_OBJECT

public:
    // The upgrade actions open product databases through `opener`, finding
    // the products through `installation`.
    TForm1(upgrade::UserFeedback& feedback, upgrade::ProductDatabaseOpener& opener,
           upgrade::Installation installation = {}, QWidget* parent = nullptr);
    ~TForm1() override;

    // Visible controls, by their design names.
    QPlainTextEdit* Memo39 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* Button3 = nullptr;
    QPushButton* Button4 = nullptr;
    QPushButton* Button5 = nullptr;
    QPushButton* Button6 = nullptr;
    QPushButton* Button7 = nullptr;
    QPushButton* Button8 = nullptr;
    QPushButton* Button10 = nullptr;
    QPushButton* Button11 = nullptr;
    QPushButton* Button12 = nullptr;
    QPushButton* Button13 = nullptr;
    QPushButton* Button14 = nullptr;
    QPushButton* Button15 = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* Image2 = nullptr;

    // Hidden: the second almanac action's button, never shown.
    QPushButton* Button9 = nullptr;

    // Hidden: the catalogue lists walked by the upgrade actions.
    const upgrade::CatalogueList& ComboBox1;
    const upgrade::CatalogueList& CBhuangdao;
    const upgrade::CatalogueList& CBhuangdao2;

    // Hidden: success and failure logs of the almanac upgrade; they start
    // empty and grow over repeated runs.
    text::LineList Memo37;
    text::LineList Memo38;

    // The single query object through which both upgrade actions reach the
    // product databases.
    upgrade::ProductQuery ADOQuery1;

    // The information dialogs of the latest click; each click makes a new one.
    std::unique_ptr<TFrm_servers> Frm_servers;
    std::unique_ptr<TFrmFukuan> FrmFukuan;

public slots:
    void Button1Click();
    void Button8Click();
    void Button9Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void Button5Click();
    void Button6Click();
    void Button7Click();
    void Button10Click();
    void Button11Click();
    void Button12Click();
    void Button13Click();
    void Button14Click();
    void Button15Click();

private:
    // Does what the described button of that design name does.
    void perform(std::string_view buttonName);
    void perform(const ui::ControlDescription& button);
    void runFortuneUpgrade();
    void runAlmanacUpgrade(const upgrade::CatalogueList& list);
    void showNamingDialog();
    void showPaymentDialog();

    upgrade::UserFeedback& feedback_;
    info::DescribedWindow design_;
};
