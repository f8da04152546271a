// Start-up: the application object, its title, the main window and the
// message loop, which ends when the main window closes.

#include "Unit1.h"
#include "application_identity.h"
#include "chinese_translation.h"
#include "message_box_feedback.h"
#include "upgrade/jet_product_database.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    applyApplicationIdentity();
    installChineseTranslation(application);

    MessageBoxFeedback feedback;
    upgrade::JetDatabaseOpener opener;
    TForm1 form(feedback, opener);
    feedback.setOwner(&form);
    form.show();
    return application.exec();
}
