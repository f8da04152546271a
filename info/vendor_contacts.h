#pragma once
// The vendor's contact details, in one place. Every value is invented for this
// program: the host is under the reserved ".example" domain, and the account
// and telephone numbers are placeholders that reach nobody.

#include <string_view>

namespace info {

inline constexpr std::string_view kVendorHost = "www.quelvor.example";
inline constexpr std::string_view kFirstSupportAccount = "1000000001";
inline constexpr std::string_view kSecondSupportAccount = "1000000002";
inline constexpr std::string_view kPaymentAccount = "pay@quelvor.example";
inline constexpr std::string_view kServicePhone = "4005550100";

}  // namespace info
