#pragma once

#include <filesystem>
#include <string>

namespace jet {

// The engine takes file names as UTF-8 text. The file system is always reached through a path
// built from that UTF-8, so that on Windows the wide-character API is used and names with
// Chinese characters work whatever the system's ANSI code page.
inline std::filesystem::path nativePath(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

}  // namespace jet
