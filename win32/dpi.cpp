#include "dpi.h"

namespace win32ui {
namespace {

// Functions of Windows 10 (1607 and later), looked up so that the program
// still starts on Windows 7.
template <typename Function>
Function user32Function(const char* name) {
    static HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name))) : nullptr;
}

}  // namespace

UINT systemDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : static_cast<int>(kDesignDpi);
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : kDesignDpi;
}

UINT dpiOfWindow(HWND window) {
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = user32Function<GetDpiForWindowFunction>("GetDpiForWindow");
    if (getDpiForWindow && window) {
        const UINT dpi = getDpiForWindow(window);
        if (dpi > 0) return dpi;
    }
    return systemDpi();
}

RECT outerForClient(RECT client, DWORD style, DWORD exStyle, UINT dpi) {
    using AdjustForDpiFunction = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = user32Function<AdjustForDpiFunction>("AdjustWindowRectExForDpi");
    if (adjustForDpi && adjustForDpi(&client, style, FALSE, exStyle, dpi)) return client;
    AdjustWindowRectEx(&client, style, FALSE, exStyle);
    return client;
}

}  // namespace win32ui
