#include "application_identity.h"

#include "ui/window_description.h"

#include <QGuiApplication>
#include <QIcon>

QString applicationTitle() {
    const std::string_view title = ui::applicationTitle();
    return QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size()));
}

void applyApplicationIdentity() {
    QCoreApplication::setApplicationName(applicationTitle());
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kDesktopFileName));
    Q_INIT_RESOURCE(pictures);
    QGuiApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/fortune-data-patch.png")));
}
