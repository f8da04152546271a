// The three windows, built, read back through the Win32 API and compared with
// their description: every control's class, parent, text, rectangle, styles,
// font, visibility and tab order, and each window's caption, size and border
// icons.

#include "form.h"
#include "dpi.h"
#include "wide_text.h"
#include "window_readback.h"

#include "ui/window_description.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace {

using namespace win32test;
using ui::ControlKind;

struct WindowCase {
    const char* label;
    const ui::WindowDescription& (*describe)();
};

void PrintTo(const WindowCase& window, std::ostream* out) {
    *out << window.label;
}

const WindowCase kWindows[] = {
    {"main window", &ui::mainWindow},
    {"naming dialog", &ui::namingDialog},
    {"payment dialog", &ui::paymentDialog},
};

std::wstring expectedClass(ControlKind kind) {
    switch (kind) {
        case ControlKind::Button:
        case ControlKind::GroupBox: return L"Button";
        case ControlKind::Label:
        case ControlKind::Picture: return L"Static";
        case ControlKind::MultiLineText:
        case ControlKind::Edit: return L"Edit";
        case ControlKind::ComboBox: return L"ComboBox";
        case ControlKind::TabControl: return L"SysTabControl32";
        case ControlKind::Panel:
        case ControlKind::TabPage: return L"FortuneDataPatchPanel";
    }
    return {};
}

std::wstring expectedText(const ui::ControlDescription& control) {
    if (control.kind == ControlKind::Panel) return {};
    if (control.kind != ControlKind::MultiLineText) return win32ui::toWide(control.caption);
    std::wstring text;
    for (std::size_t i = 0; i < control.lines.size(); ++i) {
        if (i > 0) text += L"\r\n";
        text += win32ui::toWide(control.lines[i]);
    }
    return text;
}

// Panels and pictures show no text of their own and keep no font.
bool showsText(ControlKind kind) {
    return kind != ControlKind::Panel && kind != ControlKind::TabPage && kind != ControlKind::Picture;
}

bool takesFocus(ControlKind kind) {
    return kind == ControlKind::Button || kind == ControlKind::MultiLineText || kind == ControlKind::Edit ||
           kind == ControlKind::ComboBox;
}

class ControlTree : public ::testing::TestWithParam<WindowCase> {
protected:
    const ui::WindowDescription& description = GetParam().describe();
    win32ui::Form form{description, nullptr, [](const ui::ControlDescription&) {}};
};

TEST_P(ControlTree, HasExactlyTheDescribedControls) {
    const std::vector<HWND> live = descendantsOf(form.handle());
    for (HWND window : live)
        EXPECT_NE(form.describe(window), nullptr) << "an undescribed " << win32ui::toUtf8(classOf(window));
    for (const ui::ControlDescription& control : description.controls) {
        HWND handle = form.control(control.name);
        ASSERT_NE(handle, nullptr) << control.name;
        EXPECT_NE(std::find(live.begin(), live.end(), handle), live.end()) << control.name;
        HWND parent = control.parent.empty() ? form.handle() : form.control(control.parent);
        EXPECT_EQ(GetParent(handle), parent) << control.name << " lies in the wrong container";
    }
}

TEST_P(ControlTree, ClassTextAndPlaceMatchTheDescription) {
    const UINT dpi = form.dpi();
    for (const ui::ControlDescription& control : description.controls) {
        HWND handle = form.control(control.name);
        EXPECT_EQ(classOf(handle), expectedClass(control.kind)) << control.name;
        EXPECT_EQ(textOf(handle), expectedText(control)) << control.name;
        const RECT place = placeOf(handle);
        EXPECT_EQ(place.left, win32ui::scaled(control.rect.left, dpi)) << control.name;
        EXPECT_EQ(place.top, win32ui::scaled(control.rect.top, dpi)) << control.name;
        if (control.kind == ControlKind::ComboBox) {
            // A drop-down list's closed height follows from its font.
            EXPECT_EQ(place.right - place.left, win32ui::scaled(control.rect.width, dpi)) << control.name;
        } else if (control.autoSize) {
            // Sized to its text in the font it is shown in.
            EXPECT_GT(place.right - place.left, 0) << control.name;
            EXPECT_GT(place.bottom - place.top, 0) << control.name;
        } else if (control.wordWrap) {
            // At least the described height; more where the font's lines are taller.
            EXPECT_EQ(place.right - place.left, win32ui::scaled(control.rect.width, dpi)) << control.name;
            EXPECT_GE(place.bottom - place.top, win32ui::scaled(control.rect.height, dpi)) << control.name;
        } else {
            EXPECT_EQ(place.right - place.left, win32ui::scaled(control.rect.width, dpi)) << control.name;
            EXPECT_EQ(place.bottom - place.top, win32ui::scaled(control.rect.height, dpi)) << control.name;
        }
    }
}

TEST_P(ControlTree, StylesFollowTheDescription) {
    for (const ui::ControlDescription& control : description.controls) {
        HWND handle = form.control(control.name);
        const DWORD style = styleOf(handle);
        EXPECT_EQ((style & WS_VISIBLE) != 0, control.visible) << control.name;
        EXPECT_EQ((style & WS_TABSTOP) != 0, control.tabOrder >= 0 && takesFocus(control.kind)) << control.name;
        switch (control.kind) {
            case ControlKind::Button:
                EXPECT_EQ(style & BS_TYPEMASK, static_cast<DWORD>(BS_PUSHBUTTON)) << control.name;
                break;
            case ControlKind::GroupBox:
                EXPECT_EQ(style & BS_TYPEMASK, static_cast<DWORD>(BS_GROUPBOX)) << control.name;
                break;
            case ControlKind::MultiLineText:
                EXPECT_TRUE(style & ES_MULTILINE) << control.name;
                EXPECT_EQ((style & ES_READONLY) != 0, control.readOnly) << control.name;
                EXPECT_EQ((style & (WS_VSCROLL | WS_HSCROLL)) != 0, control.scrollBars) << control.name;
                break;
            case ControlKind::Edit:
                EXPECT_FALSE(style & ES_MULTILINE) << control.name;
                EXPECT_EQ((style & ES_READONLY) != 0, control.readOnly) << control.name;
                if (control.maxLength > 0) {
                    EXPECT_EQ(SendMessageW(handle, EM_GETLIMITTEXT, 0, 0), control.maxLength) << control.name;
                }
                break;
            case ControlKind::Label:
                EXPECT_EQ((style & SS_TYPEMASK) == SS_LEFT, control.wordWrap) << control.name;
                break;
            default:
                break;
        }
    }
}

TEST_P(ControlTree, FontsAreTheDescribedOnesAtTheMonitorsScale) {
    for (const ui::ControlDescription& control : description.controls) {
        if (!showsText(control.kind)) continue;
        const LOGFONTW font = fontOf(form.control(control.name));
        EXPECT_EQ(std::wstring(font.lfFaceName), win32ui::toWide(control.font.face)) << control.name;
        EXPECT_EQ(font.lfHeight, -win32ui::scaled(control.font.pixelHeight, form.dpi())) << control.name;
        EXPECT_EQ(font.lfWeight >= FW_BOLD, control.font.bold) << control.name;
        EXPECT_EQ(font.lfCharSet, control.font.charset) << control.name;
    }
}

TEST_P(ControlTree, TabStopsOfEachContainerComeInTheDescribedOrder) {
    std::map<std::string, std::vector<const ui::ControlDescription*>> expected;
    for (const ui::ControlDescription& control : description.controls)
        if (control.tabOrder >= 0) expected[control.parent].push_back(&control);
    for (auto& [parent, controls] : expected) {
        std::stable_sort(controls.begin(), controls.end(),
                         [](auto* a, auto* b) { return a->tabOrder < b->tabOrder; });
        std::vector<std::string> wanted;
        for (const auto* control : controls) wanted.push_back(control->name);
        std::vector<std::string> live;
        for (HWND child : childrenInZOrder(parent.empty() ? form.handle() : form.control(parent))) {
            const ui::ControlDescription* control = form.describe(child);
            ASSERT_NE(control, nullptr);
            if (control->tabOrder >= 0) live.push_back(control->name);
        }
        EXPECT_EQ(live, wanted) << "in " << (parent.empty() ? description.name : parent);
    }
}

TEST_P(ControlTree, WindowHasItsCaptionSizeAndBorderIcons) {
    EXPECT_EQ(textOf(form.handle()), win32ui::toWide(description.caption));
    RECT area;
    if (description.sizeKind == ui::SizeKind::Outer) GetWindowRect(form.handle(), &area);
    else GetClientRect(form.handle(), &area);
    EXPECT_EQ(area.right - area.left, win32ui::scaled(description.size.width, form.dpi()));
    EXPECT_EQ(area.bottom - area.top, win32ui::scaled(description.size.height, form.dpi()));
    const DWORD style = styleOf(form.handle());
    EXPECT_EQ((style & WS_SYSMENU) != 0, description.borderIcons.systemMenu);
    EXPECT_EQ((style & WS_MINIMIZEBOX) != 0, description.borderIcons.minimise);
    EXPECT_EQ((style & WS_MAXIMIZEBOX) != 0, description.borderIcons.maximise);
    EXPECT_FALSE(style & WS_THICKFRAME) << "the windows have a fixed size";
}

TEST_P(ControlTree, PicturesAreDecodedFromTheResources) {
    for (const ui::ControlDescription& control : description.controls) {
        if (control.kind != ControlKind::Picture) continue;
        HWND picture = form.control(control.name);
        auto bitmap = reinterpret_cast<HBITMAP>(SendMessageW(picture, STM_GETIMAGE, IMAGE_BITMAP, 0));
        ASSERT_NE(bitmap, nullptr) << control.name;
        BITMAP size{};
        GetObjectW(bitmap, sizeof size, &size);
        EXPECT_EQ(size.bmWidth, win32ui::scaled(control.rect.width, form.dpi())) << control.name;
        EXPECT_EQ(size.bmHeight, win32ui::scaled(control.rect.height, form.dpi())) << control.name;
    }
}

TEST_P(ControlTree, LaysItselfOutAgainForAnotherDpi) {
    form.layout(144);
    for (const ui::ControlDescription& control : description.controls) {
        const RECT place = placeOf(form.control(control.name));
        EXPECT_EQ(place.left, win32ui::scaled(control.rect.left, 144)) << control.name;
        if (!control.autoSize) {
            EXPECT_EQ(place.right - place.left, win32ui::scaled(control.rect.width, 144)) << control.name;
        }
        if (showsText(control.kind)) {
            EXPECT_EQ(fontOf(form.control(control.name)).lfHeight, -18) << control.name;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Windows, ControlTree, ::testing::ValuesIn(kWindows),
                         [](const auto& info) {
                             std::string name = info.param.label;
                             std::replace(name.begin(), name.end(), ' ', '_');
                             return name;
                         });

}  // namespace
