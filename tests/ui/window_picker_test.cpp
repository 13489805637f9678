// The window picker over the real main dialog: every way a pick ends, and a
// pick that acts on a window with the chosen action.
#include "tests/ui/dialog_test.h"

namespace {

using WindowPicker = DialogTest;

// Renames itself when minimized: its row shows whether its texts were read
// before or after the action.
LRESULT CALLBACK RenamingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SIZE && wParam == SIZE_MINIMIZED)
        SetWindowTextA(window, "After");
    return DefWindowProcA(window, message, wParam, lParam);
}

// A key, the right button and a click where no window is (off the one screen
// here) end picking without effect; Alt+F4 reaches the picker as a close
// request, which must not destroy it. A left click on a window of this program
// is refused (it would have renamed itself, minimized) and logged all the same.
TEST_F(WindowPicker, EveryWayOfEndingAPickReleasesTheToggle)
{
    WNDCLASSA renaming = {0, RenamingProc, 0, 0, appInstance, {}, {}, {}, {}, "Renaming"};
    RegisterClassA(&renaming);
    HWND window = CreateWindowExA(0, "Renaming", "Before", WS_POPUP | WS_VISIBLE, 600, 420, 400,
                                  250, nullptr, nullptr, appInstance, nullptr);
    const POINT onTarget = {800, 560}, nowhere = {-99, -99};
    ASSERT_TRUE(WaitFor([&] { return WindowFromPoint(onTarget) == window; }));
    ASSERT_EQ(WindowFromPoint(nowhere), nullptr);
    const struct { const char *way; UINT message; WPARAM key; POINT at; int32_t action; } ways[] = {
        {"Escape", WM_KEYDOWN, VK_ESCAPE, {}, Hide},
        {"right click", WM_RBUTTONDOWN, 0, onTarget, Hide},
        {"Alt+F4", WM_CLOSE, 0, {}, Hide},
        {"no window", WM_LBUTTONDOWN, 0, nowhere, Hide},
        {"left click", WM_LBUTTONDOWN, 0, onTarget, Smash}};
    for (const auto &way : ways) {
        SCOPED_TRACE(way.way);
        SendDlgItemMessageA(MainDialog, IDC_MAIN_ACTION, CB_SETCURSEL, way.action, 0);
        SendDlgItemMessageA(MainDialog, IDC_MAIN_BRASK, BM_CLICK, 0, 0);
        ASSERT_TRUE(GetCapture() == PickerWindow && Checked(MainDialog, IDC_MAIN_BRASK));
        PostMessageA(PickerWindow, way.message, way.key, MAKELPARAM(way.at.x, way.at.y));
        ASSERT_TRUE(WaitFor([] { return !IsWindowVisible(PickerWindow); }));
        EXPECT_TRUE(GetCapture() != PickerWindow && HiddenList.Count() == 0);
        EXPECT_FALSE(Checked(MainDialog, IDC_MAIN_BRASK));
    }
    char title[RuleTextSize] = "";
    ListView_GetItemText(GetDlgItem(MainDialog, IDC_MAIN_EVENTS), 0, 1, title, sizeof title);
    EXPECT_TRUE(LogCount() == 1 && std::string(title) == "Before");
    DestroyWindow(window);
}

} // namespace
