#include "message_loop.h"

#include "form.h"

#include <string_view>

namespace win32ui {
namespace {

bool isPushButton(HWND window) {
    wchar_t className[16] = {};
    if (!window || !GetClassNameW(window, className, 16) || std::wstring_view(className) != L"Button") return false;
    const LONG_PTR type = GetWindowLongPtrW(window, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

}  // namespace

bool preTranslateMessage(MSG& message) {
    HWND root = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    Form* form = Form::fromHandle(root);
    if (!form) return false;
    if (message.message == WM_KEYDOWN && message.wParam == VK_RETURN) {
        HWND focus = GetFocus();
        if (isPushButton(focus) && GetAncestor(focus, GA_ROOT) == root) {
            SendMessageW(focus, BM_CLICK, 0, 0);
            return true;
        }
    }
    if (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE && form->isModal()) {
        PostMessageW(root, WM_CLOSE, 0, 0);
        return true;
    }
    return IsDialogMessageW(root, &message) != FALSE;
}

int runMessageLoop() {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (preTranslateMessage(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

void runMessageLoopWhile(const std::function<bool()>& keepGoing) {
    MSG message;
    while (keepGoing()) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        if (got < 0) return;
        if (preTranslateMessage(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

}  // namespace win32ui
