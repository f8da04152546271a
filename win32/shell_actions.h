#pragma once
// What the link and copy buttons hand to Windows: an address to the shell
// (the default browser, or the application registered for the chat scheme)
// and a text to the clipboard.

#include <windows.h>

#include <string>

namespace win32ui {

// Asks the shell to open `address` on behalf of `owner`. As with a link in a
// document, nothing is reported when no browser or client answers.
void openAddress(HWND owner, const std::string& address);

// Puts `text` on the clipboard as Unicode text. Returns false when the
// clipboard could not be had (another program holds it open).
bool copyToClipboard(HWND owner, const std::wstring& text);

}  // namespace win32ui
