// The window picker over the real main dialog: every way a pick ends, and a
// pick that acts on a window with the chosen action.
#include "tests/ui/dialog_test.h"

namespace {

using WindowPicker = DialogTest;

// A key, the right button and a click where no window is (off the one screen
// here) end picking without effect; Alt+F4 reaches the picker as a close
// request, which must not destroy it. A left click cloaks the victim's window,
// which renames itself as it is cloaked: its row shows it as the action left it.
TEST_F(WindowPicker, EveryWayOfEndingAPickReleasesTheToggle)
{
    HWND window = Target("Before", "VictimRenaming");
    const POINT onTarget = {400, 300}, nowhere = {-99, -99};
    ASSERT_TRUE(WaitFor([&] { return GetAncestor(WindowFromPoint(onTarget), GA_ROOT) == window; }));
    ASSERT_EQ(WindowFromPoint(nowhere), nullptr);
    const struct { const char *way; UINT message; WPARAM key; POINT at; int32_t action; } ways[] = {
        {"Escape", WM_KEYDOWN, VK_ESCAPE, {}, Hide},
        {"right click", WM_RBUTTONDOWN, 0, onTarget, Hide},
        {"Alt+F4", WM_CLOSE, 0, {}, Hide},
        {"no window", WM_LBUTTONDOWN, 0, nowhere, Hide},
        {"left click", WM_LBUTTONDOWN, 0, onTarget, Cloak}};
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
    EXPECT_TRUE(LogCount() == 1 && std::string(title) == "After") << title;
    EXPECT_EQ(CloakedList.FindFirst(window), 0);
}

} // namespace
