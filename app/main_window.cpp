// MainWindow: never shown, it owns the notification icon, is the window a
// second start signals, and is the parent of every cloaked window.
#include "app/main_window.h"

#include <shellapi.h>

#include "actions/window_actions.h"
#include "app/about_dialog.h"
#include "common/app_state.h"
#include "common/messages.h"
#include "common/resource.h"

namespace {

// The first-version record: 88 bytes.
NOTIFYICONDATAA trayIconData;

// Broadcast by the shell when it starts again; its icons are gone then.
UINT taskbarCreatedMessage;

// How long the end waits for the shell to take the icon away.
constexpr DWORD RemoveIconWaitMs = 1000;

LRESULT OnCommand(HWND window, WPARAM wParam, LPARAM lParam)
{
    switch (LOWORD(wParam)) {
    case IDM_ABOUT:
        ShowAboutBox();
        return 0;
    case IDM_END_PROGRAM:
        PostQuitMessage(0);
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

// Shell_NotifyIconA waits for the shell for as long as the shell takes,
// however long that is: a hung shell must not hold this thread, and with it
// every window the program hid. The record is never written again once the
// icon was first added, so a worker may read it meanwhile.
DWORD WINAPI NotifyShell(void *message)
{
    return Shell_NotifyIconA(static_cast<DWORD>(reinterpret_cast<uintptr_t>(message)), &trayIconData);
}

// The worker's handle, or null when none could be started.
HANDLE NotifyShellAside(DWORD message)
{
    return CreateThread(nullptr, 64 * 1024, NotifyShell, reinterpret_cast<void *>(uintptr_t(message)),
                        STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (taskbarCreatedMessage != 0 && message == taskbarCreatedMessage) {
        if (HANDLE worker = NotifyShellAside(NIM_ADD))
            CloseHandle(worker);
        return 0;
    }
    switch (message) {
    case WM_CREATE:
        taskbarCreatedMessage = RegisterWindowMessageA("TaskbarCreated");
        return 0;
    case WM_CLOSE:
        // Another program asks us to close. The orderly end gives the
        // windows back; this window is not destroyed on the way, since a
        // cloaked window that a hung program kept from being given back is
        // still its child, and destroying it would wait for that program.
        PostQuitMessage(0);
        return 0;
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

static_assert(sizeof(void *) != 4 || NOTIFYICONDATAA_V1_SIZE == 88, "the tray record is the first version");

} // namespace

HICON RegisterMainWindowClass(HINSTANCE instance)
{
    WNDCLASSEXA main = {};
    main.cbSize = sizeof main;
    main.style = CS_HREDRAW | CS_VREDRAW;
    main.lpfnWndProc = MainWindowProc;
    main.hInstance = instance;
    main.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_APP));
    main.hIconSm = LoadIconA(instance, MAKEINTRESOURCEA(IDI_APP_SMALL));
    main.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    main.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    main.lpszClassName = mainWindowClass;
    RegisterClassExA(&main);
    return main.hIcon;
}

BOOL AddTrayIcon(HICON smallIcon)
{
    trayIconData = {};
    trayIconData.cbSize = NOTIFYICONDATAA_V1_SIZE;
    trayIconData.hWnd = MainWindow;
    trayIconData.uID = 0;
    trayIconData.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    trayIconData.uCallbackMessage = WM_TRAYICON;
    trayIconData.hIcon = smallIcon;
    lstrcpynA(trayIconData.szTip, appCaption, sizeof trayIconData.szTip);
    return Shell_NotifyIconA(NIM_ADD, &trayIconData);
}

void RemoveTrayIcon()
{
    HANDLE worker = NotifyShellAside(NIM_DELETE);
    if (!worker)
        return;
    WaitForSingleObject(worker, RemoveIconWaitMs);
    CloseHandle(worker);
}
