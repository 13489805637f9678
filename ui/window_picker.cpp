// The window picker: PickerWindow covers the screen, holds the mouse and
// takes the next click. The clicked window goes to the open rule editor, or
// else is acted on at once with the main dialog's chosen action.
#include "ui/window_picker.h"

#include "actions/window_actions.h"
#include "actions/window_texts.h"
#include "common/app_state.h"
#include "common/messages.h"
#include "common/resource.h"
#include "events/window_events.h"
#include "rules/rule.h"
#include "ui/rule_editor.h"

#include <windowsx.h>

namespace {

HCURSOR savedCursor;

void EndPick()
{
    ReleaseCapture();
    ShowWindow(PickerWindow, SW_HIDE);
    SetCursor(savedCursor);
    HWND toggle = openEditor ? GetDlgItem(openEditor, IDC_RULE_EDITOR_GRAB)
                             : GetDlgItem(MainDialog, IDC_MAIN_BRASK);
    SendMessageA(toggle, BM_SETCHECK, BST_UNCHECKED, 0);
}

// The outermost window of the chain: a click on a control or on an owned
// pop-up stands for the window that holds it.
HWND Outermost(HWND window)
{
    for (HWND parent = GetParent(window); parent; parent = GetParent(window))
        window = parent;
    return window;
}

void ActOn(HWND window)
{
    HWND actionBox = GetDlgItem(MainDialog, IDC_MAIN_ACTION);
    if (!actionBox)
        return;
    LRESULT selected = SendMessageA(actionBox, CB_GETCURSEL, 0, 0);
    if (selected == CB_ERR)
        return;
    int32_t action = static_cast<int32_t>(selected);
    PerformAction(window, action);
    // Read only now, so that the row shows the window as the action left it.
    WindowTexts texts = ReadWindowTexts(window);
    LogAction(window, action, texts.title, texts.className);
}

// The picker is hidden before the point is examined, so that the window
// found is the one beneath it.
void OnPick(LPARAM lParam)
{
    EndPick();
    POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    HWND window = WindowFromPoint(point);
    if (!window)
        return;
    window = Outermost(window);
    if (openEditor)
        SendMessageA(openEditor, WM_WINDOWPICKED, 0, reinterpret_cast<LPARAM>(window));
    else
        ActOn(window);
}

LRESULT CALLBACK PickerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_KEYDOWN:
    case WM_RBUTTONDOWN:
        EndPick();
        return 0;
    case WM_LBUTTONDOWN:
        OnPick(lParam);
        return 0;
    case WM_CLOSE:
        // Alt+F4 while picking ends up here. Destroying the picker would
        // leave the toggle pressed and no picker for the rest of the run, so
        // it cancels instead; the program destroys the picker itself at exit.
        if (IsWindowVisible(window))
            EndPick();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

void BeginPick()
{
    ShowWindow(PickerWindow, SW_SHOWNORMAL);
    SetForegroundWindow(PickerWindow);
    savedCursor = GetCursor();
    ShowCursor(FALSE);
    SetCapture(PickerWindow);
    SetCursor(crossCursor);
    ShowCursor(TRUE);
}

void RegisterPickerClass(HINSTANCE instance)
{
    // The exclamation icon (OIC_BANG), asked for as an icon: it shares its
    // number with the crosshair cursor.
    constexpr WORD ExclamationIcon = 32515;
    WNDCLASSEXA picker = {};
    picker.cbSize = sizeof picker;
    picker.lpfnWndProc = PickerWindowProc;
    picker.hInstance = instance;
    picker.hIcon = static_cast<HICON>(
        LoadImageA(nullptr, MAKEINTRESOURCEA(ExclamationIcon), IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR));
    picker.hIconSm = picker.hIcon;
    picker.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    picker.lpszClassName = pickerClass;
    RegisterClassExA(&picker);
}
