#pragma once
// Conversions between the program's UTF-8 text and the UTF-16 of Windows'
// wide-character API. Invalid input is replaced, never dropped silently:
// Windows substitutes U+FFFD for a broken UTF-8 sequence.

#include <string>
#include <string_view>

namespace win32ui {

std::wstring toWide(std::string_view utf8);
std::string toUtf8(std::wstring_view wide);

}  // namespace win32ui
