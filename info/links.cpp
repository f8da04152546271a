#include "links.h"

#include <QDesktopServices>

namespace info {
namespace {

// The description's addresses are fully encoded already.
QUrl toUrl(const std::string& encoded) {
    return QUrl::fromEncoded(QByteArray::fromStdString(encoded), QUrl::StrictMode);
}

}  // namespace

QUrl vendorPageUrl(int page) {
    return toUrl(ui::vendorPageUrl(page));
}

QUrl supportChatUrl(SupportChat chat) {
    return toUrl(ui::supportChatUrl(chat));
}

QUrl paymentLoginUrl() {
    return toUrl(ui::paymentLoginUrl());
}

void openLink(const QUrl& url) {
    QDesktopServices::openUrl(url);
}

void openLink(const std::string& url) {
    openLink(toUrl(url));
}

}  // namespace info
