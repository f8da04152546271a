#include "user_profile.h"

#include "text/utf8_path.h"

#include <cstdlib>

#ifdef _WIN32
#include <windows.h>
// Defines FOLDERID_LocalAppData in this file instead of taking it from a library.
#include <initguid.h>
#include <knownfolders.h>
#include <shlobj.h>
#else
#include <pwd.h>
#include <unistd.h>
#endif

namespace upgrade {

#ifdef _WIN32

std::optional<std::string> nativeLocalAppData() {
    PWSTR known = nullptr;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_DONT_VERIFY, nullptr, &known)) && known) {
        std::string folder = text::utf8FromPath(std::filesystem::path(known));
        CoTaskMemFree(known);
        if (!folder.empty()) return folder;
    } else {
        CoTaskMemFree(known);
    }
    if (const wchar_t* variable = _wgetenv(L"LOCALAPPDATA"); variable && *variable)
        return text::utf8FromPath(std::filesystem::path(variable));
    return std::nullopt;
}

char nativeSystemDrive() {
    wchar_t windows[MAX_PATH] = {};
    const UINT length = GetSystemWindowsDirectoryW(windows, MAX_PATH);
    if (length >= 2 && length < MAX_PATH && windows[1] == L':' &&
        ((windows[0] >= L'A' && windows[0] <= L'Z') || (windows[0] >= L'a' && windows[0] <= L'z')))
        return static_cast<char>(windows[0] | 0x20);
    return 'c';
}

#else

std::optional<std::string> nativeLocalAppData() { return std::nullopt; }

char nativeSystemDrive() { return 'c'; }

#endif

std::string wineUserName() {
    if (const char* user = std::getenv("USER"); user && *user) return user;
#ifndef _WIN32
    if (const passwd* account = getpwuid(geteuid()); account && account->pw_name) return account->pw_name;
#endif
    return {};
}

std::vector<std::string> wineLocalAppDataCandidates(std::string_view userName) {
    // A name that would leave the users folder names no profile.
    if (userName.empty() || userName == "." || userName == ".." ||
        userName.find_first_of("\\/:") != std::string_view::npos)
        return {};
    const std::string profile = "C:\\users\\" + std::string(userName);
    return {profile + "\\AppData\\Local", profile + "\\Local Settings\\Application Data"};
}

}  // namespace upgrade
