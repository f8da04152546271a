// window-driver: works a running program's windows from outside, the way a
// person would, for the tests under Wine. Each command finds windows by
// their caption, presses buttons by their caption and reads message boxes.
//
//   window-driver wait CAPTION [SECONDS]        waits until the window shows; prints the milliseconds waited
//   window-driver press CAPTION BUTTON          presses the button of that caption in the window
//   window-driver message CAPTION [SECONDS]     waits for a message box of the window's program, prints
//                                               "caption|text" and presses its OK button
//   window-driver close CAPTION                 asks the window to close
//   window-driver gone CAPTION [SECONDS]        waits until no window of that caption is left
//
// Exit status 0 on success, 1 when a window or button is not found in time, 2 on a usage error.

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

void printUtf8(const std::wstring& text) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), utf8.data(), length, nullptr,
                        nullptr);
    utf8 += '\n';
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    std::fflush(stdout);
}

std::wstring textOf(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::wstring classOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

HWND visibleWindow(const std::wstring& caption) {
    HWND window = FindWindowW(nullptr, caption.c_str());
    return window && IsWindowVisible(window) ? window : nullptr;
}

// Polls `found` every 50 ms until it yields a window or `seconds` pass.
template <typename Find>
HWND waitFor(Find found, double seconds) {
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000);
    for (;;) {
        if (HWND window = found()) return window;
        if (GetTickCount64() > deadline) return nullptr;
        Sleep(50);
    }
}

HWND childWithText(HWND parent, const std::wstring& text) {
    struct Search {
        const std::wstring* text;
        HWND found;
    } search{&text, nullptr};
    EnumChildWindows(
        parent,
        [](HWND child, LPARAM data) {
            auto* search = reinterpret_cast<Search*>(data);
            if (classOf(child) == L"Button" && textOf(child) == *search->text) {
                search->found = child;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A visible message box (dialog class) of the given process.
HWND messageBoxOf(DWORD process) {
    struct Search {
        DWORD process;
        HWND found;
    } search{process, nullptr};
    EnumWindows(
        [](HWND window, LPARAM data) {
            auto* search = reinterpret_cast<Search*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == search->process && IsWindowVisible(window) && classOf(window) == L"#32770") {
                search->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

double secondsArgument(int argc, wchar_t** argv, int index, double fallback) {
    return argc > index ? std::wcstod(argv[index], nullptr) : fallback;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fputs("usage: window-driver wait|press|message|close|gone CAPTION [BUTTON|SECONDS]\n", stderr);
        return 2;
    }
    const std::wstring command = argv[1];
    const std::wstring caption = argv[2];

    if (command == L"wait") {
        const ULONGLONG started = GetTickCount64();
        if (!waitFor([&] { return visibleWindow(caption); }, secondsArgument(argc, argv, 3, 30))) return 1;
        printUtf8(std::to_wstring(GetTickCount64() - started));
        return 0;
    }
    if (command == L"gone") {
        // waitFor waits for a window; the desktop stands for "none of that caption is left".
        const auto noneLeft = [&]() -> HWND {
            return FindWindowW(nullptr, caption.c_str()) ? nullptr : GetDesktopWindow();
        };
        const bool gone = waitFor(noneLeft, secondsArgument(argc, argv, 3, 30)) != nullptr;
        return gone ? 0 : 1;
    }
    HWND window = waitFor([&] { return visibleWindow(caption); }, 10);
    if (!window) return 1;

    if (command == L"press" && argc >= 4) {
        HWND button = childWithText(window, argv[3]);
        if (!button) return 1;
        PostMessageW(button, BM_CLICK, 0, 0);
        return 0;
    }
    if (command == L"close") {
        PostMessageW(window, WM_CLOSE, 0, 0);
        return 0;
    }
    if (command == L"message") {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        HWND box = waitFor([&] { return messageBoxOf(process); }, secondsArgument(argc, argv, 3, 60));
        if (!box) return 1;
        // The message text is the static control of id 0xFFFF.
        printUtf8(textOf(box) + L"|" + textOf(GetDlgItem(box, 0xFFFF)));
        PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
        return 0;
    }
    return 2;
}
