#pragma once
// A window built from its description: one Win32 child window per described
// control, placed at the description's 96-DPI geometry scaled to the
// monitor's DPI, in the description's fonts and colours, with the tab order
// of the description. Pressing a button hands its description to the
// form's action handler; everything a button does is decided there.

#include "ui/window_description.h"

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string_view>
#include <vector>

namespace win32ui {

class Form {
public:
    using ActionHandler = std::function<void(const ui::ControlDescription&)>;

    // Creates the window and its controls, hidden. `owner` may be null.
    Form(const ui::WindowDescription& description, HWND owner, ActionHandler onAction);
    ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    HWND handle() const { return window_; }
    const ui::WindowDescription& description() const { return description_; }
    // The control of that design name, or null.
    HWND control(std::string_view name) const;
    // The description of a control window of this form, or null.
    const ui::ControlDescription* describe(HWND control) const;
    UINT dpi() const { return dpi_; }
    HFONT windowFont() const;

    // Shows the window centred on its monitor.
    void show();
    // Shows the window modally over its owner and returns when it has closed.
    void runModal();
    // Closing the window ends the program's message loop.
    void quitWhenClosed() { quitWhenClosed_ = true; }
    // Minimising hands the minimise to `window` (the application's taskbar window).
    void minimiseThrough(HWND window) { minimiseThrough_ = window; }

    // Lays the window out again at `dpi` (after a move to another monitor).
    void layout(UINT dpi);

    bool isModal() const { return modal_; }
    // The form behind a top-level window of the program, or null.
    static Form* fromHandle(HWND window);

private:
    struct Control {
        const ui::ControlDescription* description = nullptr;
        HWND handle = nullptr;
        HBITMAP picture = nullptr;     // a picture's bitmap, or a button's picture
        HBITMAP hotPicture = nullptr;  // a hot-tracking button's picture under the mouse
    };

    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void createControls();
    void orderTabs();
    void loadPictures();
    void releasePictures();
    Control* find(HWND handle);
    HWND parentOf(const ui::ControlDescription& control) const;
    // The colour behind a control: its own background, else that of its container.
    COLORREF backgroundBehind(const ui::ControlDescription* control) const;
    // A tab control's first page; the tab control itself when it has none.
    const ui::ControlDescription* firstPageOf(const ui::ControlDescription& tabControl) const;
    LRESULT colourControl(HDC dc, HWND control);
    LRESULT customDraw(NMCUSTOMDRAW& draw);
    bool setCursor(HWND under);
    void closeWindow();

    const ui::WindowDescription& description_;
    HWND owner_;
    ActionHandler onAction_;
    HWND window_ = nullptr;
    UINT dpi_ = 96;
    std::vector<Control> controls_;
    bool modal_ = false;
    bool quitWhenClosed_ = false;
    HWND minimiseThrough_ = nullptr;
};

// The Win32 class and style of a described control (for the window tests too).
const wchar_t* controlClassName(ui::ControlKind kind);

}  // namespace win32ui
