// The keyboard of the program's windows: Tab walks the described tab order
// past hidden controls, Enter presses the focused button, Esc closes a modal
// dialog and gives its owner the input back.

#include "form.h"
#include "message_loop.h"

#include "ui/window_description.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::vector<std::string> visibleTabStops(const ui::WindowDescription& window) {
    std::vector<const ui::ControlDescription*> stops;
    for (const ui::ControlDescription& control : window.controls)
        if (control.tabOrder >= 0 && control.visible && control.parent.empty()) stops.push_back(&control);
    std::stable_sort(stops.begin(), stops.end(), [](auto* a, auto* b) { return a->tabOrder < b->tabOrder; });
    std::vector<std::string> names;
    for (const auto* control : stops) names.push_back(control->name);
    return names;
}

MSG keyDown(HWND window, WPARAM key) {
    MSG message{};
    message.hwnd = window;
    message.message = WM_KEYDOWN;
    message.wParam = key;
    return message;
}

TEST(Keyboard, TabWalksTheMainWindowInTheDescribedOrder) {
    win32ui::Form form(ui::mainWindow(), nullptr, [](const ui::ControlDescription&) {});
    form.show();
    const std::vector<std::string> expected = visibleTabStops(ui::mainWindow());
    ASSERT_FALSE(expected.empty());
    std::vector<std::string> walked;
    HWND at = form.control(expected.front());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        walked.push_back(form.describe(at)->name);
        at = GetNextDlgTabItem(form.handle(), at, FALSE);
    }
    EXPECT_EQ(walked, expected);
    EXPECT_EQ(form.describe(at)->name, expected.front()) << "Tab wraps round to the first control";
}

TEST(Keyboard, EnterPressesTheFocusedButtonOnly) {
    std::vector<std::string> pressed;
    win32ui::Form form(ui::mainWindow(), nullptr,
                       [&pressed](const ui::ControlDescription& control) { pressed.push_back(control.name); });
    form.show();

    SetFocus(form.control("Button2"));
    MSG enter = keyDown(form.control("Button2"), VK_RETURN);
    EXPECT_TRUE(win32ui::preTranslateMessage(enter));
    EXPECT_EQ(pressed, std::vector<std::string>{"Button2"});

    // On the information panel Enter presses nothing.
    SetFocus(form.control("Memo39"));
    MSG enterInPanel = keyDown(form.control("Memo39"), VK_RETURN);
    win32ui::preTranslateMessage(enterInPanel);
    EXPECT_EQ(pressed, std::vector<std::string>{"Button2"});
}

TEST(Keyboard, EscClosesAModalDialogAndReenablesItsOwner) {
    win32ui::Form owner(ui::mainWindow(), nullptr, [](const ui::ControlDescription&) {});
    owner.show();
    win32ui::Form dialog(ui::paymentDialog(), owner.handle(), [](const ui::ControlDescription&) {});
    static HWND dialogWindow;
    static bool closedByGuard;
    dialogWindow = dialog.handle();
    closedByGuard = false;
    // Should Esc not work, the guard closes the dialog so that the test ends.
    const UINT_PTR guard = SetTimer(nullptr, 0, 10000, [](HWND, UINT, UINT_PTR, DWORD) {
        closedByGuard = true;
        PostMessageW(dialogWindow, WM_CLOSE, 0, 0);
    });
    PostMessageW(dialog.control("RzBitBtn19"), WM_KEYDOWN, VK_ESCAPE, 0);
    dialog.runModal();
    KillTimer(nullptr, guard);

    EXPECT_FALSE(closedByGuard) << "Esc did not close the dialog";
    EXPECT_EQ(dialog.handle(), nullptr);
    EXPECT_TRUE(IsWindowEnabled(owner.handle()));
}

TEST(Keyboard, EscLeavesTheMainWindowOpen) {
    win32ui::Form form(ui::mainWindow(), nullptr, [](const ui::ControlDescription&) {});
    form.show();
    MSG escape = keyDown(form.control("Button1"), VK_ESCAPE);
    win32ui::preTranslateMessage(escape);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    EXPECT_NE(form.handle(), nullptr);
}

}  // namespace
