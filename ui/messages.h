#pragma once
// Texts of the message boxes the windows' own actions show (the upgrade
// actions bring their messages with them, upgrade/upgrade_messages.h).

#include <string_view>

namespace ui {

// After the payment dialog's copy button put the account on the clipboard;
// shown with the information icon and an OK button.
inline constexpr std::string_view kAccountCopiedCaption = "复制信息";
inline constexpr std::string_view kAccountCopiedText = "支付宝帐号复制成功！";

}  // namespace ui
