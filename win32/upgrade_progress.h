#pragma once
// A modal progress window for the upgrade actions, as in the Linux window: it
// appears only when an action runs longer than half a second, carries the
// button's caption as its title and names the product directory being
// upgraded. The action runs on the window's thread; each step lets the
// progress window paint.

#include "upgrade/window_actions.h"

#include <windows.h>

#include <string>
#include <string_view>

namespace win32ui {

class UpgradeProgress : public upgrade::ProgressDisplay {
public:
    static constexpr ULONGLONG kDelayMs = 500;

    // The window appears at the first step after `delayMs`.
    UpgradeProgress(HWND owner, std::wstring title, HFONT font, UINT dpi, ULONGLONG delayMs = kDelayMs);
    ~UpgradeProgress() override;
    UpgradeProgress(const UpgradeProgress&) = delete;
    UpgradeProgress& operator=(const UpgradeProgress&) = delete;

    void step(std::size_t row, std::size_t rows, std::string_view directory) override;
    // Closes the window and gives the owner its input back.
    void finish() override;

    HWND window() const { return window_; }

private:
    void open();
    void pumpMessages();

    HWND owner_;
    std::wstring title_;
    HFONT font_;
    UINT dpi_;
    ULONGLONG delayMs_;
    ULONGLONG started_;
    bool finished_ = false;
    HWND window_ = nullptr;
    HWND label_ = nullptr;
    HWND bar_ = nullptr;
};

}  // namespace win32ui
