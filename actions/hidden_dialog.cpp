// The Hidden/Cloaked Windows dialog (dialog 131): one row per listed window
// that still exists, each row carrying its window's handle, and the buttons
// that bring back one window or all of them.
#include "actions/hidden_dialog.h"

#include "actions/window_actions.h"
#include "actions/window_texts.h"
#include "common/app_state.h"
#include "common/resource.h"
#include "rules/rule.h"

#include <cstdio>

namespace {

// Title and class of at most 79 characters each, and the frame around them.
constexpr size_t RowSize = 2 * (RuleTextSize - 1) + sizeof " [Class=\"\"]";

void AddRows(HWND listBox, const WindowList &windows)
{
    for (size_t i = 0; i < windows.Count(); ++i) {
        HWND window = windows.At(i);
        if (!IsWindow(window))
            continue;
        WindowTexts texts = ReadWindowTexts(window);
        char row[RowSize];
        std::snprintf(row, sizeof row, "%s [Class=\"%s\"]", texts.title, texts.className);
        // The list box sorts, so the handle travels with the row, not with
        // its position.
        LRESULT index = SendMessageA(listBox, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row));
        if (index >= 0)
            SendMessageA(listBox, LB_SETITEMDATA, index, reinterpret_cast<LPARAM>(window));
    }
}

void OnRefresh(HWND dialog)
{
    HWND listBox = GetDlgItem(dialog, IDC_HIDDEN_LIST);
    SendMessageA(listBox, LB_RESETCONTENT, 0, 0);
    AddRows(listBox, HiddenList);
    AddRows(listBox, CloakedList);
}

// A window both hidden and cloaked needs two restores: the hiding is undone
// first, and its other row then finds it only among the cloaked. A window
// that has gone away, or is no longer the one listed, loses its entry and
// row all the same.
void OnRestoreWindow(HWND dialog)
{
    HWND listBox = GetDlgItem(dialog, IDC_HIDDEN_LIST);
    LRESULT row = SendMessageA(listBox, LB_GETCURSEL, 0, 0);
    if (row == LB_ERR)
        return;
    HWND window = reinterpret_cast<HWND>(SendMessageA(listBox, LB_GETITEMDATA, row, 0));
    ptrdiff_t entry = HiddenList.FindFirst(window);
    if (entry >= 0)
        RestoreListed(HiddenList, static_cast<size_t>(entry));
    else if ((entry = CloakedList.FindFirst(window)) >= 0)
        RestoreListed(CloakedList, static_cast<size_t>(entry));
    SendMessageA(listBox, LB_DELETESTRING, row, 0);
}

void OnRestoreAll(HWND dialog)
{
    RestoreAllWindows();
    SendDlgItemMessageA(dialog, IDC_HIDDEN_LIST, LB_RESETCONTENT, 0, 0);
}

BOOL OnCommand(HWND dialog, int id)
{
    switch (id) {
    case IDOK:
        EndDialog(dialog, IDOK);
        return TRUE;
    case IDCANCEL:
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    case IDC_HIDDEN_RESTORE:
        OnRestoreWindow(dialog);
        return TRUE;
    case IDC_HIDDEN_RESTORE_ALL:
        OnRestoreAll(dialog);
        return TRUE;
    case IDC_HIDDEN_REFRESH:
        OnRefresh(dialog);
        return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK HiddenWindowsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        // Filled by an ordinary refresh once the dialog is up.
        PostMessageA(GetDlgItem(dialog, IDC_HIDDEN_REFRESH), BM_CLICK, 0, 0);
        return TRUE;
    case WM_COMMAND:
        return OnCommand(dialog, LOWORD(wParam));
    }
    return FALSE;
}

} // namespace

INT_PTR ShowHiddenWindowsDialog(HWND owner)
{
    return DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_HIDDEN_WINDOWS), owner,
                           HiddenWindowsDialogProc, 0);
}
