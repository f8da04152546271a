#pragma once
// The addresses the window's link buttons open: the vendor's web pages, the
// two support chats in the messaging client, and the payment service's login
// page. All are built here; they are opened in the user's default browser or
// in the application registered for the chat scheme.

#include <QUrl>

namespace info {

// The vendor's home page (0) and its six product pages (1..6,
// "/Chinese/Shou<n>.htm").
QUrl vendorPageUrl(int page);

enum class SupportChat { First, Second };
// "<scheme>://message/?uin=<account>&Site=<label>&Menu=yes".
QUrl supportChatUrl(SupportChat chat);

// "https://<payment service>/login/index.htm".
QUrl paymentLoginUrl();

// Hands the address to the desktop. Nothing is reported when no browser or
// client answers: the click then has no visible effect.
void openLink(const QUrl& url);

}  // namespace info
