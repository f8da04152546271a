#pragma once
// The vendor's contact and payment details, in one place. Every value is
// invented for this program: hosts are under the reserved ".example" domain,
// bank names say "示例" (example), and the account, telephone and messenger
// numbers are placeholders that reach nobody.

#include <string_view>

namespace ui {

inline constexpr std::string_view kVendorHost = "www.quelvor.example";
inline constexpr std::string_view kFirstVendorLabel = "Quelvor软件";
inline constexpr std::string_view kSecondVendorLabel = "Brannoc软件";
inline constexpr std::string_view kFirstSupportAccount = "1000000001";
inline constexpr std::string_view kSecondSupportAccount = "1000000002";
inline constexpr std::string_view kServicePhone = "4005550100";

inline constexpr std::string_view kPaymentAccount = "pay@quelvor.example";
inline constexpr std::string_view kPaymentServiceHost = "www.payservice.example";
inline constexpr std::string_view kPayee = "张示例";
inline constexpr std::string_view kMessengerId = "quelvor_example";

struct BankAccount {
    std::string_view bank;     // bank and branch province
    std::string_view account;  // digits in groups of four
};

inline constexpr BankAccount kBankAccounts[] = {
    {"示例第一银行浙江分行", "6200 0000 0000 0001"},
    {"示例第二银行江苏分行", "6200 0000 0000 0002"},
    {"示例农商银行广东分行", "6200 0000 0000 0003"},
    {"示例储蓄银行北京分行", "6200 0000 0000 0004"},
};

}  // namespace ui
