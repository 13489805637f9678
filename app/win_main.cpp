// The whole life of the program on its one thread: start, hand-over to a
// running instance, the hook library, the message loop, and an end that
// gives every hidden and cloaked window back.
#include "actions/recovery_file.h"
#include "actions/window_actions.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "common/app_state.h"
#include "common/export.h"
#include "common/messages.h"
#include "common/resource.h"
#include "events/win_event_reports.h"
#include "hook/hook_api.h"
#include "rules/rule_file.h"
#include "ui/main_dialog.h"

#include <windows.h>
#include <commctrl.h>

namespace {

HMODULE hookLibraryModule;
InstallHookFunction InstallHook;
ReleaseHookFunction ReleaseHook;

// Step 5: both windows hidden; false when either could not be created.
bool CreateHiddenWindows(HINSTANCE instance)
{
    appInstance = instance;
    MainWindow = CreateWindowExA(0, mainWindowClass, appCaption, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0,
                                 CW_USEDEFAULT, 0, nullptr, nullptr, instance, nullptr);
    PickerWindow = CreateWindowExA(0, pickerClass, pickerTitle, WS_POPUP, 0, 0,
                                   GetSystemMetrics(SM_CXFULLSCREEN), GetSystemMetrics(SM_CYFULLSCREEN),
                                   nullptr, nullptr, instance, nullptr);
    if (!MainWindow || !PickerWindow)
        return false;
    ShowWindow(MainWindow, SW_HIDE);
    UpdateWindow(MainWindow);
    ShowWindow(PickerWindow, SW_HIDE);
    return true;
}

// Steps 8 to 10: false after the failure has been shown.
bool BindHookLibrary()
{
    hookLibraryModule = LoadLibraryA(hookLibraryName);
    if (!hookLibraryModule) {
        ShowLastError(hookLibraryName);
        return false;
    }
    InstallHook = LookUpExport<InstallHookFunction>(hookLibraryModule, INSTALL_HOOK_EXPORT);
    if (!InstallHook) {
        ShowLastError(INSTALL_HOOK_EXPORT);
        FreeLibrary(hookLibraryModule);
        return false;
    }
    ReleaseHook = LookUpExport<ReleaseHookFunction>(hookLibraryModule, RELEASE_HOOK_EXPORT);
    if (!ReleaseHook) {
        ShowLastError(RELEASE_HOOK_EXPORT);
        FreeLibrary(hookLibraryModule);
        return false;
    }
    return true;
}

void AddAboutToSystemMenu()
{
    HMENU menu = GetSystemMenu(MainDialog, FALSE);
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, IDM_ABOUT, "&About Tarnwick II...");
}

// The accelerators go to the message's own window, not to MainDialog.
int RunMessageLoop()
{
    MSG message = {};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (TranslateAcceleratorA(message.hwnd, accelerators, &message))
            continue;
        if (IsDialogMessageA(MainDialog, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

} // namespace

// The build for 64-bit Windows, which tests use where no 32-bit code runs, has
// records of its own sizes.
static_assert(sizeof(WNDCLASSEXA) == (sizeof(void *) == 4 ? 48 : 80), "the class record of this build");

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    // Before anything can load a library by its bare name.
    ExcludeWorkingDirectoryFromDllSearch();

    LoadAppStrings(instance);
    HICON largeIcon = RegisterWindowClasses(instance);

    HWND running = FindWindowA(mainWindowClass, appCaption);
    if (running) {
        PostMessageA(running, WM_TRAYICON, 0, WM_LBUTTONDBLCLK);
        return 0;
    }

    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);

    if (!CreateHiddenWindows(instance))
        return 0;
    accelerators = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDR_ACCELERATORS));
    crossCursor = LoadCursorA(nullptr, IDC_CROSS);

    if (!BindHookLibrary())
        return 0;

    HICON smallIcon = static_cast<HICON>(
        LoadImageA(instance, MAKEINTRESOURCEA(IDI_APP_SMALL), IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR));
    AddTrayIcon(smallIcon);

    MainDialog = CreateMainDialog();
    LoadRules(ruleFileName);
    SendMessageA(MainDialog, WM_REFRESHRULES, static_cast<WPARAM>(-1), 0);

    if (!InstallHook(MainDialog, WM_HOOKCREATE, WM_HOOKIGNORED, WM_HOOKACTIVATE)) {
        ShowLastError(INSTALL_HOOK_EXPORT);
        RemoveTrayIcon();
        FreeLibrary(hookLibraryModule);
        return 0;
    }
    // The programs the hook library cannot be loaded into.
    StartWinEventReports();
    // The windows that a run ended from outside left hidden: taken back only
    // by a run that starts, so that a failed start leaves the record alone.
    RecoverHiddenWindows();

    SendMessageA(MainDialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(largeIcon));
    SendMessageA(MainDialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
    AddAboutToSystemMenu();
    PostMessageA(MainWindow, WM_TRAYICON, 0, WM_LBUTTONDBLCLK);

    RestoreWindowsOnCrash();
    int exitCode = RunMessageLoop();

    DestroyWindow(MainDialog);
    MainDialog = nullptr;
    DestroyWindow(PickerWindow);
    PickerWindow = nullptr;
    ReleaseHook();
    StopWinEventReports();
    FreeLibrary(hookLibraryModule);
    // MainWindow, the parent of the cloaked windows, still exists here.
    RestoreAllWindows();
    EndRecoveryFile();
    // Last: the shell may hang, and the windows are back by now.
    RemoveTrayIcon();
    return exitCode;
}
