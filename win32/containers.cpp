#include "containers.h"

#include <commctrl.h>

namespace win32ui {
namespace {

bool isChildNotification(UINT message) {
    switch (message) {
        case WM_COMMAND:
        case WM_NOTIFY:
        case WM_DRAWITEM:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
            return true;
        default:
            return false;
    }
}

LRESULT passToForm(HWND container, UINT message, WPARAM wParam, LPARAM lParam) {
    return SendMessageW(GetAncestor(container, GA_ROOT), message, wParam, lParam);
}

// Fills a container with the colour the form gives for it.
void eraseAsTheFormSays(HWND container, HDC dc) {
    auto brush = reinterpret_cast<HBRUSH>(
        passToForm(container, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(container)));
    RECT area;
    GetClientRect(container, &area);
    FillRect(dc, &area, brush ? brush : GetSysColorBrush(COLOR_BTNFACE));
}

void paintPanel(HWND panel) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(panel, &paint);
    if (GetWindowLongPtrW(panel, GWLP_USERDATA) == kRoundedBorder) {
        RECT area;
        GetClientRect(panel, &area);
        HGDIOBJ pen = SelectObject(dc, GetStockObject(DC_PEN));
        SetDCPenColor(dc, GetSysColor(COLOR_BTNSHADOW));
        HGDIOBJ brush = SelectObject(dc, GetStockObject(NULL_BRUSH));
        RoundRect(dc, area.left, area.top, area.right, area.bottom, 12, 12);
        SelectObject(dc, brush);
        SelectObject(dc, pen);
    }
    EndPaint(panel, &paint);
}

LRESULT CALLBACK panelProcedure(HWND panel, UINT message, WPARAM wParam, LPARAM lParam) {
    if (isChildNotification(message)) return passToForm(panel, message, wParam, lParam);
    switch (message) {
        case WM_ERASEBKGND: {
            // The form knows the panel's colour: ask as a static control would.
            eraseAsTheFormSays(panel, reinterpret_cast<HDC>(wParam));
            return 1;
        }
        case WM_PAINT:
            paintPanel(panel);
            return 0;
        default:
            return DefWindowProcW(panel, message, wParam, lParam);
    }
}

LRESULT CALLBACK forwardingProcedure(HWND container, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                     DWORD_PTR paintingValue) {
    const auto painting = static_cast<ContainerPainting>(paintingValue);
    if (message == WM_ERASEBKGND && painting != ContainerPainting::Own) {
        eraseAsTheFormSays(container, reinterpret_cast<HDC>(wParam));
        return 1;
    }
    if (message == WM_PAINT && painting == ContainerPainting::Plain) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(container, &paint);
        eraseAsTheFormSays(container, dc);
        EndPaint(container, &paint);
        return 0;
    }
    if (isChildNotification(message) && reinterpret_cast<HWND>(lParam) != container &&
        (message != WM_NOTIFY || reinterpret_cast<NMHDR*>(lParam)->hwndFrom != container))
        return passToForm(container, message, wParam, lParam);
    return DefSubclassProc(container, message, wParam, lParam);
}

}  // namespace

const wchar_t* panelClassName() {
    static const wchar_t* const name = [] {
        static constexpr wchar_t kName[] = L"FortuneDataPatchPanel";
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.style = CS_HREDRAW | CS_VREDRAW;
        windowClass.lpfnWndProc = panelProcedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.lpszClassName = kName;
        RegisterClassExW(&windowClass);
        return kName;
    }();
    return name;
}

void forwardNotificationsToForm(HWND container, ContainerPainting painting) {
    SetWindowSubclass(container, forwardingProcedure, 1, static_cast<DWORD_PTR>(painting));
}

}  // namespace win32ui
