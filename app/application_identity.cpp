#include "application_identity.h"

#include <QGuiApplication>
#include <QIcon>

QString applicationTitle() {
    return QStringLiteral("算命软件升级补丁2022");
}

void applyApplicationIdentity() {
    QCoreApplication::setApplicationName(applicationTitle());
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kDesktopFileName));
    Q_INIT_RESOURCE(pictures);
    QGuiApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/fortune-data-patch.png")));
}
