// The About box, opened from MainWindow's command 104 and from the system
// menu of MainDialog.
#include "app/about_dialog.h"

#include "common/app_state.h"
#include "common/resource.h"
#include "common/window_dpi.h"

namespace {

// The picture is loaded at the icon size of the box's DPI: the static would
// take the size of the system's DPI, which differs from the box's on a
// monitor of another scale. Each box owns the icon it loaded, kept in its
// DWLP_USER: a second box can open from MainDialog's system menu while one
// is open.
void ShowIconForDpi(HWND dialog, UINT dpi)
{
    int size = SystemMetricForDpi(SM_CXICON, dpi);
    HICON icon = static_cast<HICON>(
        LoadImageA(appInstance, MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
    if (!icon)
        return;
    SendDlgItemMessageA(dialog, IDC_ABOUT_ICON, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    HICON previous = reinterpret_cast<HICON>(
        SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(icon)));
    if (previous)
        DestroyIcon(previous);
}

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        ShowIconForDpi(dialog, WindowDpi(dialog));
        return TRUE;
    case WM_DPICHANGED:
        ShowIconForDpi(dialog, LOWORD(wParam));
        // Unhandled, so that the system still scales the box itself.
        return FALSE;
    case WM_DESTROY:
        if (HICON icon = reinterpret_cast<HICON>(GetWindowLongPtrA(dialog, DWLP_USER)))
            DestroyIcon(icon);
        return FALSE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
        case IDCANCEL:
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

} // namespace

void ShowAboutBox()
{
    DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_ABOUT), MainWindow, AboutDialogProc, 0);
}
