// Building a form's controls from its description, their tab order, and
// their placement at a DPI.

#include "containers.h"
#include "dpi.h"
#include "fonts.h"
#include "form.h"
#include "picture_resources.h"
#include "pictures.h"
#include "wide_text.h"

#include <commctrl.h>

#include <stdexcept>

#include <algorithm>
#include <map>

namespace win32ui {
namespace {

constexpr int kFirstControlId = 1000;

DWORD controlStyle(const ui::ControlDescription& control) {
    using ui::ControlKind;
    DWORD style = WS_CHILD | (control.visible ? WS_VISIBLE : 0);
    const DWORD tabStop = control.tabOrder >= 0 ? WS_TABSTOP : 0;
    switch (control.kind) {
        case ControlKind::Button: return style | tabStop | BS_PUSHBUTTON;
        case ControlKind::Label: return style | SS_NOPREFIX | (control.wordWrap ? SS_LEFT : SS_LEFTNOWORDWRAP);
        case ControlKind::MultiLineText:
            return style | tabStop | ES_MULTILINE | ES_AUTOVSCROLL | (control.readOnly ? ES_READONLY : 0) |
                   (control.scrollBars ? WS_VSCROLL | WS_HSCROLL : 0);
        case ControlKind::Picture: return style | SS_BITMAP | SS_REALSIZECONTROL;
        case ControlKind::GroupBox: return style | BS_GROUPBOX;
        case ControlKind::Panel:
        case ControlKind::TabPage: return style | WS_CLIPCHILDREN;
        // Multi-line tabs never scroll, so the control makes no arrow buttons.
        case ControlKind::TabControl: return style | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | TCS_MULTILINE;
        case ControlKind::Edit: return style | tabStop | ES_AUTOHSCROLL | (control.readOnly ? ES_READONLY : 0);
        case ControlKind::ComboBox: return style | tabStop | CBS_DROPDOWNLIST | WS_VSCROLL;
    }
    return style;
}

DWORD controlExStyle(const ui::ControlDescription& control) {
    using ui::ControlKind;
    const bool sunken = control.kind == ControlKind::MultiLineText || control.kind == ControlKind::Edit;
    return sunken ? WS_EX_CLIENTEDGE : 0;
}

// A memo's lines, as a Windows edit control wants them.
std::wstring memoText(const std::vector<std::string>& lines) {
    std::wstring text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) text += L"\r\n";
        text += toWide(lines[i]);
    }
    return text;
}

// The size of `text` on one line, or wrapped within `wrapWidth` when it is not 0.
SIZE textExtent(HWND control, HFONT font, const std::wstring& text, int wrapWidth) {
    HDC dc = GetDC(control);
    HGDIOBJ previous = SelectObject(dc, font);
    RECT area{0, 0, wrapWidth, 0};
    const UINT lines = wrapWidth > 0 ? DT_WORDBREAK : DT_SINGLELINE;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area, DT_CALCRECT | lines | DT_NOPREFIX);
    SelectObject(dc, previous);
    ReleaseDC(control, dc);
    return {area.right - area.left, area.bottom - area.top};
}

}  // namespace

const wchar_t* controlClassName(ui::ControlKind kind) {
    using ui::ControlKind;
    switch (kind) {
        case ControlKind::Button:
        case ControlKind::GroupBox: return L"Button";
        case ControlKind::Label:
        case ControlKind::Picture: return L"Static";
        case ControlKind::MultiLineText:
        case ControlKind::Edit: return L"Edit";
        case ControlKind::Panel:
        case ControlKind::TabPage: return panelClassName();
        case ControlKind::TabControl: return WC_TABCONTROLW;
        case ControlKind::ComboBox: return L"ComboBox";
    }
    return L"Static";
}

void Form::createControls() {
    controls_.reserve(description_.controls.size());
    int id = kFirstControlId;
    for (const ui::ControlDescription& control : description_.controls) {
        const std::wstring text = control.kind == ui::ControlKind::MultiLineText ? memoText(control.lines)
                                  : control.kind == ui::ControlKind::Panel         ? std::wstring()
                                                                                   : toWide(control.caption);
        HWND parent = parentOf(control);
        HWND handle = CreateWindowExW(controlExStyle(control), controlClassName(control.kind), text.c_str(),
                                      controlStyle(control), 0, 0, 0, 0, parent,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id++)), GetModuleHandleW(nullptr),
                                      nullptr);
        if (!handle) throw std::runtime_error("the control \"" + control.name + "\" could not be created");
        controls_.push_back({&control, handle, nullptr, nullptr});

        switch (control.kind) {
            case ui::ControlKind::Panel:
            case ui::ControlKind::TabPage:
                if (control.border == ui::Border::FlatRounded)
                    SetWindowLongPtrW(handle, GWLP_USERDATA, kRoundedBorder);
                if (control.kind == ui::ControlKind::TabPage) {
                    TCITEMW item{};
                    item.mask = TCIF_TEXT;
                    std::wstring caption = toWide(control.caption);
                    item.pszText = caption.data();
                    SendMessageW(parent, TCM_INSERTITEMW, SendMessageW(parent, TCM_GETITEMCOUNT, 0, 0),
                                 reinterpret_cast<LPARAM>(&item));
                }
                break;
            case ui::ControlKind::GroupBox:
                forwardNotificationsToForm(handle, ContainerPainting::FillInside);
                break;
            case ui::ControlKind::TabControl:
                forwardNotificationsToForm(handle, control.tabStripHidden ? ContainerPainting::Plain
                                                                          : ContainerPainting::Own);
                break;
            case ui::ControlKind::Edit:
                if (control.maxLength > 0) SendMessageW(handle, EM_SETLIMITTEXT, control.maxLength, 0);
                break;
            default:
                break;
        }
    }
}

void Form::orderTabs() {
    // Windows moves the focus through siblings in their z-order: put each
    // container's tab stops first, in the description's order.
    std::map<std::string, std::vector<const Control*>> byParent;
    for (const Control& control : controls_)
        if (control.description->tabOrder >= 0) byParent[control.description->parent].push_back(&control);
    for (auto& [parent, siblings] : byParent) {
        std::stable_sort(siblings.begin(), siblings.end(), [](const Control* a, const Control* b) {
            return a->description->tabOrder < b->description->tabOrder;
        });
        HWND after = HWND_TOP;
        for (const Control* control : siblings) {
            SetWindowPos(control->handle, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            after = control->handle;
        }
    }
}

void Form::layout(UINT dpi) {
    dpi_ = dpi;
    for (const Control& control : controls_) {
        const ui::ControlDescription& description = *control.description;
        HFONT font = fontFor(description.font, dpi);
        SendMessageW(control.handle, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        int width = scaled(description.rect.width, dpi);
        int height = scaled(description.rect.height, dpi);
        if (description.autoSize) {
            // Sized to its text in the font it is shown in, as the design's labels do.
            const SIZE extent = textExtent(control.handle, font, toWide(description.caption), 0);
            width = extent.cx;
            height = extent.cy;
        } else if (description.wordWrap) {
            // A font with taller lines than 宋体's gets the height its lines
            // need, so that no line is cut off.
            height = std::max<int>(height, textExtent(control.handle, font, toWide(description.caption), width).cy);
        }
        SetWindowPos(control.handle, nullptr, scaled(description.rect.left, dpi), scaled(description.rect.top, dpi),
                     width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    loadPictures();

    RECT outer{0, 0, scaled(description_.size.width, dpi), scaled(description_.size.height, dpi)};
    if (description_.sizeKind == ui::SizeKind::Client)
        outer = outerForClient(outer, static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_STYLE)),
                               static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_EXSTYLE)), dpi);
    const int width = outer.right - outer.left;
    const int height = outer.bottom - outer.top;
    int x = 0;
    int y = 0;
    if (description_.centred) {
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        GetMonitorInfoW(MonitorFromWindow(window_, MONITOR_DEFAULTTOPRIMARY), &monitor);
        // Centred; a window larger than the screen keeps its caption on it.
        const RECT& work = monitor.rcWork;
        x = std::max<int>(work.left, work.left + (work.right - work.left - width) / 2);
        y = std::max<int>(work.top, work.top + (work.bottom - work.top - height) / 2);
    }
    SetWindowPos(window_, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::loadPictures() {
    releasePictures();
    for (Control& control : controls_) {
        const ui::ControlDescription& description = *control.description;
        if (description.picture == ui::PictureId::None) continue;
        const PictureResources resources = pictureResources(description.picture);
        if (description.kind == ui::ControlKind::Picture) {
            control.picture = loadPicture(resources.normal, scaled(description.rect.width, dpi_),
                                          scaled(description.rect.height, dpi_));
            SendMessageW(control.handle, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(control.picture));
        } else {
            const int side = scaled(resources.designSide, dpi_);
            control.picture = loadPicture(resources.normal, side, side);
            if (resources.hot) control.hotPicture = loadPicture(resources.hot, side, side);
            InvalidateRect(control.handle, nullptr, TRUE);
        }
    }
}

void Form::releasePictures() {
    for (Control& control : controls_) {
        if (control.handle && control.description->kind == ui::ControlKind::Picture)
            SendMessageW(control.handle, STM_SETIMAGE, IMAGE_BITMAP, 0);
        if (control.picture) DeleteObject(control.picture);
        if (control.hotPicture) DeleteObject(control.hotPicture);
        control.picture = control.hotPicture = nullptr;
    }
}

}  // namespace win32ui
