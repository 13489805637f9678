// The Hidden/Cloaked Windows dialog as the user meets it: opened modally over
// the main dialog, listing windows of the victim program that the program
// hid or cloaked, and bringing them back one at a time or all at once.
#include "actions/hidden_dialog.h"

#include "actions/window_actions.h"
#include "app/app_state.h"
#include "app/resource.h"
#include "rules/rule.h"
#include "tests/support/modal_script.h"
#include "tests/support/test_support.h"
#include "ui/main_dialog.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Rows = std::vector<std::string>;
using Step = ModalScript::Step;

HWND Dialog() { return ModalScript::FindDialog("Hidden/Cloaked Windows", MainDialog); }

HWND ListBox(HWND dialog) { return GetDlgItem(dialog, IDC_HIDDEN_LIST); }

Rows RowsOf(HWND dialog)
{
    Rows rows;
    LRESULT count = SendMessageA(ListBox(dialog), LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char text[256] = "";
        SendMessageA(ListBox(dialog), LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        rows.push_back(text);
    }
    return rows;
}

std::string Row(const std::string &title, const std::string &className)
{
    return title + " [Class=\"" + className + "\"]";
}

// Waits for the dialog and does something with it.
Step Act(std::function<void(HWND)> action)
{
    return [action] {
        HWND dialog = Dialog();
        if (dialog)
            action(dialog);
        return dialog != nullptr;
    };
}

void Press(HWND dialog, int id) { SendDlgItemMessageA(dialog, id, BM_CLICK, 0, 0); }

void RestoreRow(HWND dialog, int row)
{
    SendMessageA(ListBox(dialog), LB_SETCURSEL, row, 0);
    Press(dialog, IDC_HIDDEN_RESTORE);
}

Step PressClose()
{
    return Act([](HWND dialog) { PostMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0); });
}

std::vector<HWND> Entries(const WindowList &list)
{
    std::vector<HWND> entries;
    for (size_t i = 0; i < list.Count(); ++i)
        entries.push_back(list.At(i));
    return entries;
}

bool IsTopLevel(HWND window) { return GetAncestor(window, GA_PARENT) == GetDesktopWindow(); }

} // namespace

class HiddenDialogTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
        InitCommonControlsEx(&controls);
        victim = new Victim;
    }
    static void TearDownTestSuite()
    {
        delete victim;
        victim = nullptr;
    }

    void SetUp() override
    {
        ASSERT_TRUE(victim->Running());
        appInstance = GetModuleHandleA(nullptr);
        MainWindow = CreateWindowExA(0, "STATIC", "main window", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                     appInstance, nullptr);
        MainDialog = CreateDialogParamA(appInstance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainDialogProc, 0);
        ASSERT_TRUE(MainWindow && MainDialog);
        HiddenList.Clear();
        CloakedList.Clear();
    }

    void TearDown() override
    {
        // Cloaked windows first go back to the desktop; they would die with
        // MainWindow otherwise.
        RestoreAllWindows();
        for (HWND window : targets_)
            Destroy(window);
        DestroyWindow(MainDialog);
        DestroyWindow(MainWindow);
        MainDialog = MainWindow = nullptr;
    }

    HWND Target(const char *className, const std::string &title)
    {
        HWND window = victim->Create(className, title);
        EXPECT_NE(window, nullptr);
        targets_.push_back(window);
        return window;
    }

    static void Destroy(HWND window)
    {
        victim->Send("destroy " + std::to_string(reinterpret_cast<uintptr_t>(window)));
    }

    static void Hide(HWND window)
    {
        PerformAction(window, WindowAction::Hide);
        EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(window); }));
    }

    static void Cloak(HWND window)
    {
        PerformAction(window, WindowAction::Cloak);
        EXPECT_FALSE(IsTopLevel(window));
    }

    // As the main dialog opens it: owned by MainDialog, parameter 0.
    static INT_PTR Open(std::vector<Step> steps)
    {
        ModalScript script(std::move(steps));
        INT_PTR result = DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_HIDDEN_WINDOWS), MainDialog,
                                         HiddenWindowsDialogProc, 0);
        EXPECT_TRUE(script.Finished());
        return result;
    }

    inline static Victim *victim = nullptr;
    std::vector<HWND> targets_;
};

TEST_F(HiddenDialogTest, EmptyListsShowNoRowsAndRestoreNothing)
{
    std::vector<Step> steps = {
        Act([](HWND dialog) {
            EXPECT_TRUE(RowsOf(dialog).empty());
            Press(dialog, IDC_HIDDEN_RESTORE);
            Press(dialog, IDC_HIDDEN_RESTORE_ALL);
            EXPECT_TRUE(RowsOf(dialog).empty());
        }),
        PressClose(),
    };
    EXPECT_EQ(Open(steps), IDCANCEL);
    EXPECT_EQ(HiddenList.Count() + CloakedList.Count(), 0u);
}

// Two rows of the same text; each restore takes one entry and its row only.
TEST_F(HiddenDialogTest, WindowHiddenTwiceRestoresOneEntryPerRow)
{
    HWND window = Target("HiddenTwice", "Twice");
    Hide(window);
    Hide(window);
    std::vector<Step> steps = {
        Act([&](HWND dialog) {
            EXPECT_EQ(RowsOf(dialog), (Rows{Row("Twice", "HiddenTwice"), Row("Twice", "HiddenTwice")}));
            RestoreRow(dialog, 1);
            EXPECT_TRUE(IsWindowVisible(window));
            EXPECT_EQ(Entries(HiddenList), std::vector<HWND>{window});
            EXPECT_EQ(RowsOf(dialog).size(), 1u);
            RestoreRow(dialog, 0);
            EXPECT_EQ(HiddenList.Count(), 0u);
            EXPECT_TRUE(RowsOf(dialog).empty());
        }),
        PressClose(),
    };
    Open(steps);
}

// Either row first undoes the hiding; the window is still cloaked until the
// other row gives it back to the desktop.
TEST_F(HiddenDialogTest, HiddenThenCloakedTakesTwoRestoresHidingFirst)
{
    HWND window = Target("HiddenCloaked", "Both");
    Hide(window);
    Cloak(window);
    std::vector<Step> steps = {
        Act([&](HWND dialog) {
            ASSERT_EQ(RowsOf(dialog).size(), 2u);
            RestoreRow(dialog, 1);
            EXPECT_EQ(HiddenList.Count(), 0u);
            EXPECT_EQ(Entries(CloakedList), std::vector<HWND>{window});
            EXPECT_FALSE(IsTopLevel(window));
            EXPECT_FALSE(IsWindowVisible(window));
            RestoreRow(dialog, 0);
            EXPECT_EQ(CloakedList.Count(), 0u);
            EXPECT_TRUE(IsTopLevel(window));
            EXPECT_TRUE(IsWindowVisible(window));
            EXPECT_TRUE(RowsOf(dialog).empty());
        }),
        PressClose(),
    };
    Open(steps);
}

// The list box sorts: each row must restore its own window, not the one of
// the list entry at its position. A title is cut to 79 characters.
TEST_F(HiddenDialogTest, SortedRowsKeepTheirWindows)
{
    std::string longTitle(100, 'Z');
    HWND zulu = Target("SortZulu", longTitle);
    HWND alpha = Target("SortAlpha", "Alpha");
    Hide(zulu);
    Hide(alpha);
    std::vector<Step> steps = {
        Act([&](HWND dialog) {
            EXPECT_EQ(RowsOf(dialog),
                      (Rows{Row("Alpha", "SortAlpha"), Row(longTitle.substr(0, 79), "SortZulu")}));
            RestoreRow(dialog, 0);
            EXPECT_TRUE(IsWindowVisible(alpha));
            EXPECT_FALSE(IsWindowVisible(zulu));
            EXPECT_EQ(Entries(HiddenList), std::vector<HWND>{zulu});
            EXPECT_EQ(RowsOf(dialog), Rows{Row(longTitle.substr(0, 79), "SortZulu")});
        }),
        PressClose(),
    };
    Open(steps);
}

// A window gone before the refresh gets no row but keeps its entry; one gone
// after it loses entry and row to "Restore Window" without a trace.
TEST_F(HiddenDialogTest, DestroyedWindows)
{
    HWND early = Target("GoneEarly", "Early");
    HWND late = Target("GoneLate", "Late");
    Hide(early);
    Cloak(late);
    Destroy(early);
    std::vector<Step> steps = {
        Act([&](HWND dialog) {
            EXPECT_EQ(RowsOf(dialog), Rows{Row("Late", "GoneLate")});
            EXPECT_EQ(Entries(HiddenList), std::vector<HWND>{early});
            Destroy(late);
            RestoreRow(dialog, 0);
            EXPECT_TRUE(RowsOf(dialog).empty());
            EXPECT_EQ(CloakedList.Count(), 0u);
            EXPECT_EQ(Entries(HiddenList), std::vector<HWND>{early});
        }),
        PressClose(),
    };
    Open(steps);
}

TEST_F(HiddenDialogTest, RestoreAllEmptiesListsAndRowsAndStaysOpen)
{
    HWND gone = Target("RestoreAllGone", "Gone");
    HWND hidden = Target("RestoreAllHidden", "Hidden");
    HWND cloaked = Target("RestoreAllCloaked", "Cloaked");
    Hide(gone);
    Destroy(gone);
    Hide(hidden);
    Cloak(cloaked);
    std::vector<Step> steps = {
        Act([&](HWND dialog) {
            EXPECT_EQ(RowsOf(dialog).size(), 2u);
            Press(dialog, IDC_HIDDEN_RESTORE_ALL);
            EXPECT_TRUE(RowsOf(dialog).empty());
            EXPECT_EQ(HiddenList.Count() + CloakedList.Count(), 0u);
            EXPECT_TRUE(IsWindowVisible(hidden));
            EXPECT_TRUE(IsTopLevel(cloaked));
        }),
        Act([](HWND dialog) { EXPECT_TRUE(IsWindowVisible(dialog)); }),
        PressClose(),
    };
    Open(steps);
}

TEST_F(HiddenDialogTest, RowsChangeOnlyOnRefresh)
{
    HWND window = Target("HiddenMeanwhile", "Meanwhile");
    std::vector<Step> steps = {
        Act([&](HWND dialog) {
            Hide(window);
            EXPECT_TRUE(RowsOf(dialog).empty());
            Press(dialog, IDC_HIDDEN_REFRESH);
            EXPECT_EQ(RowsOf(dialog), Rows{Row("Meanwhile", "HiddenMeanwhile")});
        }),
        PressClose(),
    };
    Open(steps);
}

// No button is the default, so Enter in the list box is IDOK.
TEST_F(HiddenDialogTest, EnterEndsWithOneAndEveryCloseWithTwo)
{
    struct Way {
        const char *name;
        void (*end)(HWND dialog);
        INT_PTR result;
    };
    const Way ways[] = {
        {"Enter", [](HWND dialog) {
             // The refresh click at the start leaves the focus on its button.
             SetFocus(ListBox(dialog));
             PostMessageA(ListBox(dialog), WM_KEYDOWN, VK_RETURN, 0);
         }, IDOK},
        {"Close", [](HWND dialog) { PostMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0); }, IDCANCEL},
        {"Escape", [](HWND) { PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0); }, IDCANCEL},
        {"close box", [](HWND dialog) { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }, IDCANCEL},
    };
    for (const Way &way : ways) {
        SCOPED_TRACE(way.name);
        EXPECT_EQ(Open({Act(way.end)}), way.result);
    }
}
