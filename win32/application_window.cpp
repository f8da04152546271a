#include "application_window.h"

#include "resource_ids.h"

#include <stdexcept>

namespace win32ui {
namespace {

constexpr wchar_t kClassName[] = L"FortuneDataPatchApplication";
constexpr UINT kActivateLastPopup = WM_APP + 1;

}  // namespace

ApplicationWindow::ApplicationWindow(const std::wstring& title) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hIcon = LoadIconW(windowClass.hInstance, MAKEINTRESOURCEW(IDI_APPLICATION_ICON));
    windowClass.lpszClassName = kClassName;
    RegisterClassExW(&windowClass);

    // Visible, so that it has a taskbar button, but of no size: nothing of it is seen.
    const int x = GetSystemMetrics(SM_CXSCREEN) / 2;
    const int y = GetSystemMetrics(SM_CYSCREEN) / 2;
    window_ = CreateWindowExW(0, kClassName, title.c_str(), WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, x,
                              y, 0, 0, nullptr, nullptr, windowClass.hInstance, this);
    if (!window_) throw std::runtime_error("the application window could not be created");
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowPos(window_, nullptr, x, y, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

ApplicationWindow::~ApplicationWindow() {
    if (window_) DestroyWindow(window_);
}

LRESULT CALLBACK ApplicationWindow::windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<ApplicationWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
        case WM_ACTIVATE:
            // Activated from the taskbar: hand the activation on to the main
            // window or the dialog open over it.
            if (LOWORD(wParam) != WA_INACTIVE) PostMessageW(window, kActivateLastPopup, 0, 0);
            return 0;
        case kActivateLastPopup: {
            HWND popup = GetLastActivePopup(window);
            if (popup && popup != window && IsWindowVisible(popup)) SetActiveWindow(popup);
            return 0;
        }
        case WM_CLOSE:
            if (self && self->main_) PostMessageW(self->main_, WM_CLOSE, 0, 0);
            return 0;
        case WM_NCDESTROY:
            if (self) self->window_ = nullptr;
            break;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace win32ui
