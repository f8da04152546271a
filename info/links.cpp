#include "links.h"

#include "vendor_contacts.h"

#include <QDesktopServices>
#include <QUrlQuery>

#include <stdexcept>

namespace info {
namespace {

// The messaging client registers this scheme for its chat links.
constexpr char kChatScheme[] = "tencent";

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

QUrl vendorPageUrl(int page) {
    if (page < 0 || page > 6) throw std::out_of_range("no vendor page " + std::to_string(page));
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(fromUtf8(kVendorHost));
    url.setPath(page == 0 ? QString() : QStringLiteral("/Chinese/Shou%1.htm").arg(page));
    return url;
}

QUrl supportChatUrl(SupportChat chat) {
    const bool first = chat == SupportChat::First;
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("uin"), fromUtf8(first ? kFirstSupportAccount : kSecondSupportAccount));
    query.addQueryItem(QStringLiteral("Site"), fromUtf8(first ? kFirstVendorLabel : kSecondVendorLabel));
    query.addQueryItem(QStringLiteral("Menu"), QStringLiteral("yes"));
    QUrl url;
    url.setScheme(QString::fromLatin1(kChatScheme));
    url.setHost(QStringLiteral("message"));
    url.setPath(QStringLiteral("/"));
    // The label is sent as percent-encoded UTF-8.
    url.setQuery(query.query(QUrl::FullyEncoded), QUrl::StrictMode);
    return url;
}

QUrl paymentLoginUrl() {
    QUrl url;
    url.setScheme(QStringLiteral("https"));
    url.setHost(fromUtf8(kPaymentServiceHost));
    url.setPath(QStringLiteral("/login/index.htm"));
    return url;
}

void openLink(const QUrl& url) {
    QDesktopServices::openUrl(url);
}

}  // namespace info
