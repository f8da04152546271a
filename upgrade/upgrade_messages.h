#pragma once
// The texts with which the upgrade actions report their outcome.

#include <string_view>

namespace upgrade {

inline constexpr std::string_view kUpgradeCaption = "信息提示";
inline constexpr std::string_view kUpgradeSucceeded = "更新成功！";
inline constexpr std::string_view kNothingToUpgrade = "没有可更新的内容，请重新安装后在试！";
inline constexpr std::string_view kFailedDirectoriesHeading = "以下目录更新失败，原有数据未改动：";
inline constexpr std::string_view kOthersSucceeded = "其余产品已更新成功。";
inline constexpr std::string_view kNoneSucceeded = "没有产品更新成功。";

}  // namespace upgrade
