// The Hidden/Cloaked Windows dialog over windows of the victim, answered by a
// modal script.
#include "actions/hidden_dialog.h"

#include "common/resource.h"
#include "tests/support/modal_script.h"
#include "tests/support/window_test.h"

namespace {

using HiddenDialog = WindowTest;
using Rows = std::vector<std::string>;

std::string Row(const char *name) { return name + std::string(" [Class=\"") + name + "\"]"; }

void Restore(HWND dialog, int row)
{
    SendDlgItemMessageA(dialog, IDC_HIDDEN_LIST, LB_SETCURSEL, row, 0);
    SendDlgItemMessageA(dialog, IDC_HIDDEN_RESTORE, BM_CLICK, 0, 0);
}

// Rows are sorted, and each restores its own window: one hidden twice has two
// rows, each giving back one entry; one hidden and then cloaked takes two
// restores, the hiding undone first. A window gone before the list is filled
// has no row but keeps its entry; one gone after loses entry and row. Restore
// All empties both lists, dead entries too, and leaves the dialog open. No
// button is the default: Enter in the list leaves the dialog with IDOK.
TEST_F(HiddenDialog, EachRowRestoresItsOwnWindow)
{
    HWND zulu = Target("Zulu", "Zulu"), alpha = Target("Alpha", "Alpha");
    HWND early = Target("Early", "Early");
    for (HWND window : {zulu, alpha, alpha, early})
        PerformAction(window, Hide);
    PerformAction(zulu, Cloak);
    // The asynchronous hides must land before a restore can undo them.
    ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(alpha) && !IsWindowVisible(early); }));
    Destroy(early);
    auto scenario = [&] {
        HWND dialog = ModalScript::FindDialog("Hidden/Cloaked Windows", MainWindow);
        HWND list = GetDlgItem(dialog, IDC_HIDDEN_LIST);
        if (ListRows(list).empty())  // filled once the dialog is up
            return false;
        EXPECT_EQ(ListRows(list), (Rows{Row("Alpha"), Row("Alpha"), Row("Zulu"), Row("Zulu")}));
        Restore(dialog, 0);
        EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(alpha); }) && HiddenList.Count() == 3);
        Destroy(alpha);
        Restore(dialog, 0);
        EXPECT_EQ(ListRows(list), (Rows{Row("Zulu"), Row("Zulu")}));
        Restore(dialog, 1);
        EXPECT_TRUE(HiddenList.Count() == 1 && HiddenList.At(0) == early);
        EXPECT_TRUE(CloakedList.Count() == 1 && !IsWindowVisible(zulu));
        SendDlgItemMessageA(dialog, IDC_HIDDEN_RESTORE_ALL, BM_CLICK, 0, 0);
        EXPECT_TRUE(ListRows(list).empty() && HiddenList.Count() + CloakedList.Count() == 0);
        EXPECT_TRUE(GetAncestor(zulu, GA_PARENT) == GetDesktopWindow() && IsWindowVisible(zulu));
        SetFocus(list);
        ModalScript::Key(dialog, VK_RETURN);
        return true;
    };
    ModalScript script({scenario});
    EXPECT_EQ(ShowHiddenWindowsDialog(MainWindow), IDOK);
    EXPECT_TRUE(script.Finished());
}

} // namespace
