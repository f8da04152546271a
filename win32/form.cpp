#include "form.h"

#include "button_painting.h"
#include "colours.h"
#include "dpi.h"
#include "fonts.h"
#include "message_loop.h"
#include "resource_ids.h"
#include "wide_text.h"

#include <commctrl.h>

#include <stdexcept>

namespace win32ui {
namespace {

constexpr wchar_t kFormClass[] = L"FortuneDataPatchForm";

void registerFormClass(WNDPROC procedure) {
    static const bool registered = [procedure] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hIcon = LoadIconW(windowClass.hInstance, MAKEINTRESOURCEW(IDI_APPLICATION_ICON));
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.lpszClassName = kFormClass;
        return RegisterClassExW(&windowClass) != 0;
    }();
    (void)registered;
}

DWORD windowStyle(const ui::WindowDescription& description) {
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_CLIPCHILDREN;
    if (description.borderIcons.systemMenu) style |= WS_SYSMENU;
    if (description.borderIcons.minimise) style |= WS_MINIMIZEBOX;
    if (description.borderIcons.maximise) style |= WS_MAXIMIZEBOX;
    return style;
}

// A window that cannot be minimised is a dialog: a dialog frame, no icon.
DWORD windowExStyle(const ui::WindowDescription& description) {
    return description.borderIcons.minimise ? 0 : WS_EX_DLGMODALFRAME;
}

}  // namespace

Form::Form(const ui::WindowDescription& description, HWND owner, ActionHandler onAction)
    : description_(description), owner_(owner), onAction_(std::move(onAction)) {
    registerFormClass(windowProcedure);
    CreateWindowExW(windowExStyle(description_), kFormClass, toWide(description_.caption).c_str(),
                    windowStyle(description_), CW_USEDEFAULT, CW_USEDEFAULT, 0, 0, owner_, nullptr,
                    GetModuleHandleW(nullptr), this);
    if (!window_) throw std::runtime_error("the window \"" + description_.name + "\" could not be created");
    dpi_ = dpiOfWindow(window_);
    createControls();
    orderTabs();
    layout(dpi_);
}

Form::~Form() {
    if (window_) DestroyWindow(window_);
    releasePictures();
}

Form* Form::fromHandle(HWND window) {
    wchar_t className[64] = {};
    if (!window || !GetClassNameW(window, className, 64) || std::wstring_view(className) != kFormClass)
        return nullptr;
    return reinterpret_cast<Form*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

HWND Form::control(std::string_view name) const {
    for (const Control& control : controls_)
        if (control.description->name == name) return control.handle;
    return nullptr;
}

const ui::ControlDescription* Form::describe(HWND handle) const {
    for (const Control& control : controls_)
        if (control.handle == handle) return control.description;
    return nullptr;
}

Form::Control* Form::find(HWND handle) {
    for (Control& control : controls_)
        if (control.handle == handle) return &control;
    return nullptr;
}

HFONT Form::windowFont() const {
    return fontFor(description_.font, dpi_);
}

void Form::show() {
    ShowWindow(window_, SW_SHOWNORMAL);
    UpdateWindow(window_);
}

void Form::runModal() {
    modal_ = true;
    if (owner_) EnableWindow(owner_, FALSE);
    show();
    runMessageLoopWhile([this] { return window_ != nullptr; });
    if (window_) closeWindow();  // the program is ending (WM_QUIT)
}

void Form::closeWindow() {
    // Give the owner its input back first, so that Windows activates the
    // owner and not another program's window.
    if (modal_ && owner_) EnableWindow(owner_, TRUE);
    DestroyWindow(window_);
}

LRESULT CALLBACK Form::windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* form = static_cast<Form*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        form->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<Form*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!form) return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        form->window_ = nullptr;
        for (Control& control : form->controls_) control.handle = nullptr;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return form->handleMessage(message, wParam, lParam);
}

LRESULT Form::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED && lParam) {
                const Control* clicked = find(reinterpret_cast<HWND>(lParam));
                if (clicked && clicked->description->kind == ui::ControlKind::Button) {
                    // Copied: the action may close this form and free its controls.
                    const ui::ControlDescription& pressed = *clicked->description;
                    onAction_(pressed);
                }
                return 0;
            }
            break;
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            if (header->code == NM_CUSTOMDRAW) return customDraw(*reinterpret_cast<NMCUSTOMDRAW*>(lParam));
            break;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORBTN:
            return colourControl(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case WM_ERASEBKGND: {
            RECT area;
            GetClientRect(window_, &area);
            FillRect(reinterpret_cast<HDC>(wParam), &area, brushFor(toColorRef(description_.background)));
            return 1;
        }
        case WM_SETCURSOR:
            if (setCursor(reinterpret_cast<HWND>(wParam))) return TRUE;
            break;
        case WM_DPICHANGED: {
            layout(HIWORD(wParam));
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(window_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                         suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
            return 0;
        }
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == SC_MINIMIZE && minimiseThrough_) {
                ShowWindow(minimiseThrough_, SW_MINIMIZE);
                return 0;
            }
            break;
        case WM_CLOSE:
            closeWindow();
            return 0;
        case WM_DESTROY:
            if (quitWhenClosed_) PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

HWND Form::parentOf(const ui::ControlDescription& control) const {
    if (control.parent.empty()) return window_;
    HWND parent = this->control(control.parent);
    if (!parent)
        throw std::logic_error("control \"" + control.name + "\" names an unknown container \"" + control.parent +
                               "\"");
    return parent;
}

COLORREF Form::backgroundBehind(const ui::ControlDescription* control) const {
    while (control) {
        if (control->background) return toColorRef(*control->background);
        control = control->parent.empty() ? nullptr : description_.find(control->parent);
    }
    return toColorRef(description_.background);
}

const ui::ControlDescription* Form::firstPageOf(const ui::ControlDescription& tabControl) const {
    for (const ui::ControlDescription& control : description_.controls)
        if (control.kind == ui::ControlKind::TabPage && control.parent == tabControl.name) return &control;
    return &tabControl;
}

LRESULT Form::colourControl(HDC dc, HWND handle) {
    const Control* found = find(handle);
    if (!found) return reinterpret_cast<LRESULT>(brushFor(toColorRef(description_.background)));
    const ui::ControlDescription& control = *found->description;
    using ui::ControlKind;
    const bool textBox = control.kind == ControlKind::MultiLineText || control.kind == ControlKind::Edit ||
                         control.kind == ControlKind::ComboBox;
    COLORREF background;
    if (control.kind == ControlKind::Panel || control.kind == ControlKind::TabPage)
        background = backgroundBehind(&control);
    else if (control.kind == ControlKind::TabControl)
        background = backgroundBehind(firstPageOf(control));
    else if (textBox)
        background = control.background ? toColorRef(*control.background) : GetSysColor(COLOR_WINDOW);
    else
        background = backgroundBehind(control.parent.empty() ? nullptr : description_.find(control.parent));
    const COLORREF text = control.textColour ? toColorRef(*control.textColour)
                          : textBox          ? GetSysColor(COLOR_WINDOWTEXT)
                                             : toColorRef(description_.textColour);
    SetTextColor(dc, text);
    SetBkColor(dc, background);
    if (!textBox) SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(brushFor(background));
}

LRESULT Form::customDraw(NMCUSTOMDRAW& draw) {
    const Control* found = find(draw.hdr.hwndFrom);
    if (!found || found->description->kind != ui::ControlKind::Button) return CDRF_DODEFAULT;
    const ui::ControlDescription& control = *found->description;
    if (!control.textColour && !control.background && !found->picture) return CDRF_DODEFAULT;
    ButtonLook look;
    look.font = fontFor(control.font, dpi_);
    look.text = control.textColour ? toColorRef(*control.textColour) : GetSysColor(COLOR_BTNTEXT);
    if (control.background) look.face = toColorRef(*control.background);
    if (control.frameColour) look.frame = toColorRef(*control.frameColour);
    look.hotTrack = control.hotTrack;
    look.picture = found->picture;
    look.hotPicture = found->hotPicture;
    return paintButton(draw, look);
}

bool Form::setCursor(HWND under) {
    const ui::ControlDescription* control = describe(under);
    if (!control || !control->handCursor) return false;
    SetCursor(LoadCursorW(nullptr, IDC_HAND));
    return true;
}

}  // namespace win32ui
