#include "message_box_feedback.h"

#include <QMessageBox>

namespace {

QMessageBox::Icon toIcon(upgrade::MessageIcon icon) {
    switch (icon) {
        case upgrade::MessageIcon::Warning: return QMessageBox::Warning;
        case upgrade::MessageIcon::Error: return QMessageBox::Critical;
        case upgrade::MessageIcon::Information: break;
    }
    return QMessageBox::Information;
}

}  // namespace

void MessageBoxFeedback::show(const upgrade::UserMessage& message) {
    QMessageBox box(toIcon(message.icon), QString::fromStdString(message.caption),
                    QString::fromStdString(message.text), QMessageBox::Ok, owner_);
    box.exec();
}
