#pragma once
// The addresses the windows' link buttons open: the vendor's web pages, the
// two support chats in the messaging client, and the payment service's login
// page, as fully encoded URL strings that every front-end hands to its desktop.

#include <string>

namespace ui {

// The vendor's home page (0) and its six product pages (1..6,
// "/Chinese/Shou<n>.htm"); std::out_of_range for any other number.
std::string vendorPageUrl(int page);

enum class SupportChat { First, Second };
// "<scheme>://message/?uin=<account>&Site=<label>&Menu=yes", the label
// percent-encoded as UTF-8.
std::string supportChatUrl(SupportChat chat);

// "https://<payment service>/login/index.htm".
std::string paymentLoginUrl();

}  // namespace ui
