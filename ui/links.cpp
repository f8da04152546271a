#include "links.h"

#include "vendor_contacts.h"

#include <stdexcept>
#include <string_view>

namespace ui {
namespace {

// The messaging client registers this scheme for its chat links.
constexpr std::string_view kChatScheme = "tencent";

bool isUnreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_' || c == '~';
}

// Percent-encodes every byte outside the unreserved set of URLs.
std::string percentEncoded(std::string_view text) {
    constexpr char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    for (const char byte : text) {
        const auto c = static_cast<unsigned char>(byte);
        if (isUnreserved(c)) {
            encoded += byte;
        } else {
            encoded += '%';
            encoded += kHex[c >> 4];
            encoded += kHex[c & 0x0F];
        }
    }
    return encoded;
}

}  // namespace

std::string vendorPageUrl(int page) {
    if (page < 0 || page > 6) throw std::out_of_range("no vendor page " + std::to_string(page));
    std::string url = "http://" + std::string(kVendorHost);
    if (page != 0) url += "/Chinese/Shou" + std::to_string(page) + ".htm";
    return url;
}

std::string supportChatUrl(SupportChat chat) {
    const bool first = chat == SupportChat::First;
    return std::string(kChatScheme) + "://message/?uin=" +
           percentEncoded(first ? kFirstSupportAccount : kSecondSupportAccount) +
           "&Site=" + percentEncoded(first ? kFirstVendorLabel : kSecondVendorLabel) + "&Menu=yes";
}

std::string paymentLoginUrl() {
    return "https://" + std::string(kPaymentServiceHost) + "/login/index.htm";
}

}  // namespace ui
