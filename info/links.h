#pragma once
// The addresses of the windows' link buttons (built in ui/links.h) as Qt
// URLs, and handing them to the desktop: the user's default browser, or the
// application registered for the chat scheme.

#include "ui/links.h"

#include <QUrl>

namespace info {

using ui::SupportChat;

// The vendor's home page (0) and its six product pages (1..6).
QUrl vendorPageUrl(int page);
QUrl supportChatUrl(SupportChat chat);
QUrl paymentLoginUrl();

// Hands the address to the desktop. Nothing is reported when no browser or
// client answers: the click then has no visible effect.
void openLink(const QUrl& url);
// The same for an address of the window description.
void openLink(const std::string& url);

}  // namespace info
