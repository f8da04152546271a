#include "Unit1.h"

#include "info/Unt_Fukuan.h"
#include "info/Unt_servers.h"
#include "info/links.h"
#include "upgrade_progress.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

// The pictures are compiled into the window's library; they are registered
// before the window's controls are built.
static QWidget& withPictureResources(QWidget& window) {
    Q_INIT_RESOURCE(pictures);
    return window;
}

TForm1::TForm1(upgrade::UserFeedback& feedback, upgrade::ProductDatabaseOpener& opener,
               upgrade::Installation installation, QWidget* parent)
    : QWidget(parent, info::windowFlags(ui::mainWindow(), Qt::Window)),
      ComboBox1(upgrade::fortuneList()),
      CBhuangdao(upgrade::almanacList()),
      CBhuangdao2(upgrade::secondAlmanacList()),
      ADOQuery1(opener, std::move(installation)),
      feedback_(feedback),
      // The catalogue lists and the logs are held as data above, not as widgets.
      design_(withPictureResources(*this), ui::mainWindow(),
              {"ComboBox1", "CBhuangdao", "CBhuangdao2", "Memo37", "Memo38"}) {
    Memo39 = design_.get<QPlainTextEdit>("Memo39");
    Button1 = design_.get<QPushButton>("Button1");
    Button2 = design_.get<QPushButton>("Button2");
    Button3 = design_.get<QPushButton>("Button3");
    Button4 = design_.get<QPushButton>("Button4");
    Button5 = design_.get<QPushButton>("Button5");
    Button6 = design_.get<QPushButton>("Button6");
    Button7 = design_.get<QPushButton>("Button7");
    Button8 = design_.get<QPushButton>("Button8");
    Button9 = design_.get<QPushButton>("Button9");
    Button10 = design_.get<QPushButton>("Button10");
    Button11 = design_.get<QPushButton>("Button11");
    Button12 = design_.get<QPushButton>("Button12");
    Button13 = design_.get<QPushButton>("Button13");
    Button14 = design_.get<QPushButton>("Button14");
    Button15 = design_.get<QPushButton>("Button15");
    Image1 = design_.get<QLabel>("Image1");
    Image2 = design_.get<QLabel>("Image2");

    design_.forEachButton([this](QPushButton& button, const ui::ControlDescription& control) {
        connect(&button, &QPushButton::clicked, this, [this, &control] { perform(control); });
    });
}

TForm1::~TForm1() = default;

// The design's handlers, by control and event.
void TForm1::Button1Click() { perform("Button1"); }
void TForm1::Button2Click() { perform("Button2"); }
void TForm1::Button3Click() { perform("Button3"); }
void TForm1::Button4Click() { perform("Button4"); }
void TForm1::Button5Click() { perform("Button5"); }
void TForm1::Button6Click() { perform("Button6"); }
void TForm1::Button7Click() { perform("Button7"); }
void TForm1::Button8Click() { perform("Button8"); }
void TForm1::Button9Click() { perform("Button9"); }
void TForm1::Button10Click() { perform("Button10"); }
void TForm1::Button11Click() { perform("Button11"); }
void TForm1::Button12Click() { perform("Button12"); }
void TForm1::Button13Click() { perform("Button13"); }
void TForm1::Button14Click() { perform("Button14"); }
void TForm1::Button15Click() { perform("Button15"); }

void TForm1::perform(std::string_view buttonName) {
    perform(design_.description().control(buttonName));
}

void TForm1::perform(const ui::ControlDescription& button) {
    switch (button.action) {
        case ui::Action::FortuneUpgrade: return runFortuneUpgrade();
        case ui::Action::AlmanacUpgrade: return runAlmanacUpgrade(CBhuangdao);
        // The hidden second action rebuilds the same table over the second list.
        case ui::Action::SecondAlmanacUpgrade: return runAlmanacUpgrade(CBhuangdao2);
        case ui::Action::OpenWebPage:
        case ui::Action::OpenChat:
        case ui::Action::OpenPaymentLogin: return info::openLink(button.url);
        case ui::Action::ShowNamingDialog: return showNamingDialog();
        case ui::Action::ShowPaymentDialog: return showPaymentDialog();
        case ui::Action::CloseWindow: close(); return;
        case ui::Action::CopyPaymentAccount:
        case ui::Action::None: return;
    }
}

void TForm1::runFortuneUpgrade() {
    UpgradeProgress progress(this, Button1->text());
    upgrade::runFortuneUpgradeInWindow(ComboBox1, ADOQuery1, feedback_, progress);
}

void TForm1::runAlmanacUpgrade(const upgrade::CatalogueList& list) {
    UpgradeProgress progress(this, Button8->text());
    upgrade::runAlmanacUpgradeInWindow(list, ADOQuery1, {Memo37, Memo38}, feedback_, progress);
}

void TForm1::showNamingDialog() {
    Frm_servers.reset();
    Frm_servers = std::make_unique<TFrm_servers>(this);
    Frm_servers->exec();
}

void TForm1::showPaymentDialog() {
    FrmFukuan.reset();
    FrmFukuan = std::make_unique<TFrmFukuan>(feedback_, this);
    FrmFukuan->exec();
}
