#include "upgrade_progress.h"

#include "wide_text.h"

#include <commctrl.h>

#include <utility>

namespace win32ui {
namespace {

constexpr wchar_t kClassName[] = L"FortuneDataPatchProgress";
constexpr int kWidth = 420;  // at 96 DPI, as the Linux progress dialog
constexpr int kMargin = 12;
constexpr int kLabelHeight = 32;
constexpr int kBarHeight = 18;

void registerClass() {
    static const bool registered = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hCursor = LoadCursorW(nullptr, IDC_WAIT);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = kClassName;
        return RegisterClassExW(&windowClass) != 0;
    }();
    (void)registered;
}

}  // namespace

UpgradeProgress::UpgradeProgress(HWND owner, std::wstring title, HFONT font, UINT dpi, ULONGLONG delayMs)
    : owner_(owner), title_(std::move(title)), font_(font), dpi_(dpi), delayMs_(delayMs), started_(GetTickCount64()) {}

UpgradeProgress::~UpgradeProgress() {
    finish();
}

void UpgradeProgress::open() {
    registerClass();
    const auto scaled = [this](int value) { return MulDiv(value, static_cast<int>(dpi_), 96); };
    const DWORD style = WS_POPUP | WS_CAPTION | WS_BORDER;
    RECT frame{0, 0, scaled(kWidth), scaled(kMargin * 3 + kLabelHeight + kBarHeight)};
    AdjustWindowRectEx(&frame, style, FALSE, WS_EX_DLGMODALFRAME);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    RECT ownerRect{};
    GetWindowRect(owner_, &ownerRect);
    const int x = ownerRect.left + (ownerRect.right - ownerRect.left - width) / 2;
    const int y = ownerRect.top + (ownerRect.bottom - ownerRect.top - height) / 2;

    window_ = CreateWindowExW(WS_EX_DLGMODALFRAME, kClassName, title_.c_str(), style, x, y, width, height, owner_,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!window_) return;  // without a progress window the action still runs to its end
    label_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_PATHELLIPSIS, scaled(kMargin),
                             scaled(kMargin), scaled(kWidth - 2 * kMargin), scaled(kLabelHeight), window_, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    bar_ = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, scaled(kMargin),
                           scaled(2 * kMargin + kLabelHeight), scaled(kWidth - 2 * kMargin), scaled(kBarHeight),
                           window_, nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(label_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    // Modal: the owner takes no input while the action runs.
    EnableWindow(owner_, FALSE);
    ShowWindow(window_, SW_SHOWNORMAL);
    UpdateWindow(window_);
}

void UpgradeProgress::step(std::size_t row, std::size_t rows, std::string_view directory) {
    if (finished_) return;
    if (!window_ && GetTickCount64() - started_ >= delayMs_) open();
    if (window_) {
        SendMessageW(bar_, PBM_SETRANGE32, 0, static_cast<LPARAM>(rows));
        SendMessageW(bar_, PBM_SETPOS, static_cast<WPARAM>(row), 0);
        SetWindowTextW(label_, (L"正在升级：" + toWide(directory)).c_str());
    }
    if (window_) pumpMessages();
}

void UpgradeProgress::pumpMessages() {
    // Paint and let Windows see that the program answers. Keyboard and mouse
    // input queued meanwhile is dropped: a second click on an upgrade button
    // must never start another action inside this one.
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        const bool input = (message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST) ||
                           (message.message >= WM_MOUSEFIRST && message.message <= WM_MOUSELAST) ||
                           (message.message >= WM_NCMOUSEMOVE && message.message <= WM_NCMBUTTONDBLCLK);
        if (input) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void UpgradeProgress::finish() {
    if (finished_) return;
    finished_ = true;
    if (window_) {
        // Give the owner its input back before the progress window goes, so
        // that Windows activates the owner and not some other program.
        EnableWindow(owner_, TRUE);
        DestroyWindow(window_);
        window_ = nullptr;
    }
}

}  // namespace win32ui
