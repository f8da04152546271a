#pragma once
// File-system paths from and to the program's UTF-8 text. Going through
// std::u8string keeps Chinese names intact on every platform (on Windows the
// wide-character API is used, never the ANSI code page).

#include <filesystem>
#include <string>
#include <string_view>

namespace text {

inline std::filesystem::path pathFromUtf8(std::string_view utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

inline std::string utf8FromPath(const std::filesystem::path& path) {
    const std::u8string u8 = path.u8string();
    return std::string(u8.begin(), u8.end());
}

}  // namespace text
