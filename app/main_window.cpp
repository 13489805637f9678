// MainWindow: never shown, it owns the notification icon, is the window a
// second start signals, and is the parent of every cloaked window.
#include "app/main_window.h"

#include "actions/window_actions.h"
#include "app/about_dialog.h"
#include "app/app_state.h"
#include "app/messages.h"
#include "app/resource.h"

NOTIFYICONDATAA trayIconData;

namespace {

// Broadcast by the shell when it starts again; its icons are gone then.
UINT taskbarCreatedMessage;

LRESULT OnCommand(HWND window, WPARAM wParam, LPARAM lParam)
{
    switch (LOWORD(wParam)) {
    case IDM_ABOUT:
        ShowAboutBox();
        return 0;
    case IDM_END_PROGRAM:
        // The cloaked windows are our children and would die with us.
        RestoreAllWindows();
        DestroyWindow(window);
        return 0;
    }
    return DefWindowProcA(window, WM_COMMAND, wParam, lParam);
}

LRESULT OnTrayIcon(LPARAM mouseMessage)
{
    if (mouseMessage == WM_LBUTTONDBLCLK) {
        ShowWindow(MainDialog, SW_RESTORE);
        SetForegroundWindow(MainDialog);
    }
    return 0;
}

} // namespace

BOOL AddTrayIcon()
{
    return Shell_NotifyIconA(NIM_ADD, &trayIconData);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (taskbarCreatedMessage != 0 && message == taskbarCreatedMessage) {
        AddTrayIcon();
        return 0;
    }
    switch (message) {
    case WM_CREATE:
        taskbarCreatedMessage = RegisterWindowMessageA("TaskbarCreated");
        return 0;
    case WM_CLOSE:
        // Another program asks us to close: the default path destroys this
        // window, and with it every window cloaked under it.
        RestoreAllWindows();
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_QUERYENDSESSION:
        // The session may end without our orderly end ever running.
        RestoreAllWindows();
        return TRUE;
    case WM_ENDSESSION:
        if (wParam)
            RestoreAllWindows();
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_COMMAND:
        return OnCommand(window, wParam, lParam);
    case WM_TRAYICON:
        return OnTrayIcon(lParam);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
