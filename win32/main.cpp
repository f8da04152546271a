// Start-up of the Windows program: the application's taskbar window with the
// application title, the main window, and the message loop, which ends when
// the main window closes.

#include "application_window.h"
#include "main_window.h"
#include "message_box_feedback.h"
#include "message_loop.h"
#include "wide_text.h"

#include "ui/window_description.h"
#include "upgrade/jet_product_database.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <exception>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // COM for the picture decoder and the shell's link handling.
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) return 1;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_TAB_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);

    int exitCode = 1;
    try {
        win32ui::ApplicationWindow application(win32ui::toWide(ui::applicationTitle()));
        win32ui::MessageBoxFeedback feedback;
        upgrade::JetDatabaseOpener opener;
        win32ui::MainWindow window(feedback, opener, application.handle());
        feedback.setOwner(window.handle());
        application.setMainWindow(window.handle());
        window.form().show();
        exitCode = win32ui::runMessageLoop();
    } catch (const std::exception& error) {
        MessageBoxW(nullptr, win32ui::toWide(error.what()).c_str(), win32ui::toWide(ui::applicationTitle()).c_str(),
                    MB_OK | MB_ICONERROR);
    }
    CoUninitialize();
    return exitCode;
}
