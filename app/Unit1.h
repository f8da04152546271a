#pragma once
// The main window: the two upgrade buttons, the link and dialog buttons, the
// information panel and two pictures; hidden, the installation catalogue and
// the success and failure logs of the almanac upgrade.

#include "upgrade/catalogue.h"
#include "upgrade/installation.h"
#include "upgrade/product_database.h"
#include "upgrade/product_query.h"
#include "upgrade/text_lines.h"
#include "upgrade/user_feedback.h"

#include <QWidget>

#include <memory>

class QLabel;
class TFrm_servers;
class TFrmFukuan;
class QPlainTextEdit;
class QPushButton;

class TForm1 : public QWidget {
    Q_OBJECT

public:
    static constexpr int kOuterWidth = 693;
    static constexpr int kOuterHeight = 416;

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
    upgrade::LineList Memo37;
    upgrade::LineList Memo38;

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

protected:
    void showEvent(QShowEvent* event) override;

private:
    QPushButton* addButton(const char* name, const QString& caption, const QRect& geometry);
    QLabel* addPicture(const char* name, const QString& resource, const QRect& geometry);
    void setUpPanel();
    void setUpTabOrder();
    void runAlmanacUpgrade(const upgrade::CatalogueList& list);

    upgrade::UserFeedback& feedback_;
};
