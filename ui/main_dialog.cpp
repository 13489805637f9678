// The main dialog: the rule list, the event list and every command of the
// program. Row i of the rule list always shows rule i of ruleSet, so the
// selected row is used directly as the rule's index.
#include "ui/main_dialog.h"

#include "actions/hidden_dialog.h"
#include "common/app_state.h"
#include "common/messages.h"
#include "common/resource.h"
#include "events/window_events.h"
#include "rules/rule_file.h"
#include "rules/rule_set.h"
#include "rules/rule_text.h"
#include "ui/rule_editor.h"
#include "ui/save_rules.h"
#include "ui/window_picker.h"

#include <commctrl.h>
#include <commdlg.h>

#include <cstring>

namespace {

// The path chosen for an import; emptied before each use.
char importFileName[256];

// Moves a top-level window to the middle of the full-screen area.
void CenterWindow(HWND window)
{
    RECT frame;
    if (!GetWindowRect(window, &frame))
        return;
    int width = frame.right - frame.left;
    int height = frame.bottom - frame.top;
    int x = (GetSystemMetrics(SM_CXFULLSCREEN) - width) / 2;
    int y = (GetSystemMetrics(SM_CYFULLSCREEN) - height) / 2;
    MoveWindow(window, x, y, width, height, FALSE);
}

HWND RuleList(HWND dialog)
{
    return GetDlgItem(dialog, IDC_MAIN_RULES);
}

void OnInitDialog(HWND dialog)
{
    CenterWindow(dialog);
    InitEventControls(dialog);
    // The box carries the sort style; inserting at explicit positions keeps
    // position == WindowAction value.
    HWND actions = GetDlgItem(dialog, IDC_MAIN_ACTION);
    for (int action = 0; action < ActionCount; ++action)
        SendMessageA(actions, CB_INSERTSTRING, action, reinterpret_cast<LPARAM>(ActionNames[action]));
    SendMessageA(actions, CB_SETCURSEL, Cloak, 0);
}

void RebuildRuleList(HWND list)
{
    // Ten thousand rows one by one repaint ten thousand times otherwise.
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    SendMessageA(list, LB_INITSTORAGE, ruleSet.Count(), ruleSet.Count() * 64);
    char text[RuleTextBufferSize];
    for (size_t i = 0; i < ruleSet.Count(); ++i)
        SendMessageA(list, LB_INSERTSTRING, i, reinterpret_cast<LPARAM>(FormatRule(ruleSet.At(i), text)));
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

// row < 0 rebuilds; else row is rewritten (or appended) and selected.
void OnRefreshRules(HWND dialog, int row)
{
    HWND list = RuleList(dialog);
    if (row < 0) {
        RebuildRuleList(list);
        return;
    }
    // Only an existing row or the one just past the end can mirror a rule;
    // anything else would read past the rule list or leave a gap in it.
    int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    if (static_cast<size_t>(row) >= ruleSet.Count() || row > count)
        return;
    if (row < count)
        SendMessageA(list, LB_DELETESTRING, row, 0);
    char text[RuleTextBufferSize];
    SendMessageA(list, LB_INSERTSTRING, row, reinterpret_cast<LPARAM>(FormatRule(ruleSet.At(row), text)));
    SendMessageA(list, LB_SETCURSEL, row, 0);
}

void OnAdd(HWND dialog)
{
    editorPrefill.reset();
    editorIndex = -1;
    ShowRuleEditor(dialog);
}

void OnEdit(HWND dialog)
{
    int row = static_cast<int>(SendMessageA(RuleList(dialog), LB_GETCURSEL, 0, 0));
    if (row < 0 || static_cast<size_t>(row) >= ruleSet.Count())
        return;
    editorPrefill = ruleSet.At(row);
    editorIndex = row;
    ShowRuleEditor(dialog);
}

void OnDelete(HWND dialog)
{
    HWND list = RuleList(dialog);
    int row = static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0));
    if (row < 0)
        return;
    SendMessageA(list, LB_DELETESTRING, row, 0);
    ruleSet.Erase(row);
    SaveRulesOrWarn(dialog);
    // The row that followed moves up into the selection; none follows the
    // last row.
    int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    SendMessageA(list, LB_SETCURSEL, row < count ? row : -1, 0);
}

void OnImport(HWND dialog)
{
    importFileName[0] = '\0';
    OPENFILENAMEA request = {};
    request.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    request.hwndOwner = dialog;
    request.lpstrFilter = "Tarnwick rule files (*.rul)\0*.rul\0All files\0*.*\0";
    request.nFilterIndex = 0;
    request.lpstrFile = importFileName;
    request.nMaxFile = sizeof importFileName;
    request.lpstrInitialDir = ".\\";
    request.Flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_NOTESTFILECREATE;
    // The open-file dialog moves the working directory to wherever the user
    // browsed, and brask2.rul is a bare name: keep it where it was.
    char workingDirectory[MAX_PATH];
    DWORD length = GetCurrentDirectoryA(sizeof workingDirectory, workingDirectory);
    BOOL chosen = GetOpenFileNameA(&request);
    if (length > 0 && length < sizeof workingDirectory)
        SetCurrentDirectoryA(workingDirectory);
    if (!chosen)
        return;
    LoadRules(importFileName);
    SendMessageA(dialog, WM_REFRESHRULES, static_cast<WPARAM>(-1), 0);
}

// A new rule from the marked event row: its event (Activate only when the
// row says so), title and class, both tests on with Equals and case.
void OnAddFromEvent(HWND dialog)
{
    HWND events = GetDlgItem(dialog, IDC_MAIN_EVENTS);
    int mark = static_cast<int>(SendMessageA(events, LVM_GETSELECTIONMARK, 0, 0));
    if (mark < 0) {
        PostMessageA(dialog, WM_COMMAND, IDC_MAIN_ADD, 0);
        return;
    }
    Rule rule;
    rule.matchTitle = true;
    rule.matchClass = true;

    char eventText[40] = "";
    LVITEMA item = {};
    item.iSubItem = 0;
    item.pszText = eventText;
    item.cchTextMax = sizeof eventText;
    SendMessageA(events, LVM_GETITEMTEXTA, mark, reinterpret_cast<LPARAM>(&item));
    if (std::strcmp(eventText, EventNames[Activate]) == 0)
        rule.event = Activate;

    item.iSubItem = 1;
    item.pszText = rule.title;
    item.cchTextMax = sizeof rule.title;
    SendMessageA(events, LVM_GETITEMTEXTA, mark, reinterpret_cast<LPARAM>(&item));
    item.iSubItem = 2;
    item.pszText = rule.className;
    item.cchTextMax = sizeof rule.className;
    SendMessageA(events, LVM_GETITEMTEXTA, mark, reinterpret_cast<LPARAM>(&item));

    editorPrefill = rule;
    editorIndex = -1;
    ShowRuleEditor(dialog);
}

BOOL OnCommand(HWND dialog, WORD id)
{
    switch (id) {
    case IDOK:
        ShowWindow(dialog, SW_HIDE);
        return TRUE;
    case IDCANCEL:
        EndDialog(dialog, IDCANCEL);
        PostQuitMessage(0);
        return TRUE;
    case IDC_MAIN_ADD:
        OnAdd(dialog);
        return TRUE;
    case IDC_MAIN_EDIT:
        OnEdit(dialog);
        return TRUE;
    case IDC_MAIN_DELETE:
        OnDelete(dialog);
        return TRUE;
    case IDC_MAIN_IMPORT:
        OnImport(dialog);
        return TRUE;
    case IDC_MAIN_ADD_FROM_EVENT:
        OnAddFromEvent(dialog);
        return TRUE;
    case IDC_MAIN_RESTORE_HIDDEN:
        ShowHiddenWindowsDialog(dialog);
        return TRUE;
    case IDC_MAIN_CLEAR_LIST:
        ClearEventLog();
        return TRUE;
    case IDC_MAIN_APPLY_RULES:
        ApplyRulesToOpenWindows();
        return TRUE;
    case IDC_MAIN_BRASK:
        BeginPick();
        return TRUE;
    }
    return FALSE;
}

BOOL OnSysCommand(HWND dialog, WPARAM command)
{
    // The low four bits of a system command are the system's own.
    if ((command & 0xFFF0) == SC_MINIMIZE) {
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        return TRUE;
    }
    // The About box belongs to MainWindow, which opens it for the tray's
    // command too.
    if (command == IDM_ABOUT) {
        SendMessageA(MainWindow, WM_COMMAND, IDM_ABOUT, 0);
        return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(dialog);
        return TRUE;
    case WM_COMMAND:
        return OnCommand(dialog, LOWORD(wParam));
    case WM_SYSCOMMAND:
        return OnSysCommand(dialog, wParam);
    case WM_HSCROLL:
        if (reinterpret_cast<HWND>(lParam) == GetDlgItem(dialog, IDC_MAIN_DELAY))
            OnEventDelayScroll(dialog);
        return TRUE;
    case WM_HOOKCREATE:
    case WM_HOOKACTIVATE:
        HandleWindowEvent(message, reinterpret_cast<HWND>(wParam));
        return TRUE;
    case WM_REFRESHRULES:
        OnRefreshRules(dialog, static_cast<int>(wParam));
        return TRUE;
    case WM_DPICHANGED:
        // Moved to a monitor of another scale. Left unhandled, so that the
        // system still resizes the dialog and its controls; the columns are
        // the program's own.
        ScaleEventColumns(dialog, LOWORD(wParam));
        return FALSE;
    }
    return FALSE;
}

} // namespace

HWND CreateMainDialog()
{
    return CreateDialogParamA(appInstance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainDialogProc, 0);
}
