#pragma once
// The application's own window, as classic Windows programs have it: never
// seen itself, it owns the main window and carries the application title on
// the taskbar button, while the main window's caption reads differently.
// Minimising the main window minimises this one (Windows then hides the
// windows it owns); restoring it from the taskbar brings them back.

#include <windows.h>

#include <string>

namespace win32ui {

class ApplicationWindow {
public:
    explicit ApplicationWindow(const std::wstring& title);
    ~ApplicationWindow();
    ApplicationWindow(const ApplicationWindow&) = delete;
    ApplicationWindow& operator=(const ApplicationWindow&) = delete;

    HWND handle() const { return window_; }
    // The window that closing from the taskbar closes.
    void setMainWindow(HWND main) { main_ = main; }

private:
    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
    HWND main_ = nullptr;
};

}  // namespace win32ui
