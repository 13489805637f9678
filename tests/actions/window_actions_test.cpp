// What keeps the actions safe: the guard against every window of this process, restores that
// touch only the windows still listed, and the actions that wait for a window shown late.
#include "actions/window_actions.h"
#include "common/app_state.h"
#include "rules/rule.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

// The victim's windows go with it at the end of each test.
class WindowActionSafety : public testing::Test {
protected:
    void SetUp() override { MainWindow = Own(WS_POPUP); }
    void TearDown() override
    {
        for (HWND window : own)
            DestroyWindow(window);
        HiddenList.Clear();
        CloakedList.Clear();
    }
    HWND Own(DWORD style, HWND owner = nullptr)
    {
        return own.emplace_back(CreateWindowExA(0, "STATIC", "own", style, 10, 10, 200, 100, owner,
                                                nullptr, nullptr, nullptr));
    }
    HWND Target() { return victim.Create("VictimTarget", "Target"); }

    Victim victim;
    std::vector<HWND> own;
};

// Neither the About box (no owner) nor the rule editor's warning box (owned by the editor) is
// MainDialog or owned by it; both are this process's.
TEST_F(WindowActionSafety, EveryWindowOfThisProcessIsRefused)
{
    for (HWND window : {Own(WS_OVERLAPPEDWINDOW | WS_VISIBLE),
                        Own(WS_POPUP | WS_VISIBLE, Own(WS_POPUP | WS_VISIBLE))}) {
        for (int32_t action = Close; action <= Smash; ++action) {
            PerformAction(window, action);
            PumpMessages();
            EXPECT_TRUE(IsWindowVisible(window) && !IsIconic(window) && !IsZoomed(window) &&
                        GetAncestor(window, GA_PARENT) == GetDesktopWindow())
                << ActionName(action);
        }
    }
    EXPECT_EQ(HiddenList.Count() + CloakedList.Count(), 0u);
}

// An entry whose handle another thread's window now bears, or whose cloaked window no longer
// sits under MainWindow, is dropped untouched, by Restore All and by a single row alike. The
// listed window given back last shows when the wrong calls would have landed.
TEST_F(WindowActionSafety, RestoresTouchOnlyTheWindowsStillListed)
{
    for (bool all : {true, false}) {
        SCOPED_TRACE(all ? "Restore All" : "one row");
        HWND stranger = Target(), holder = Target(), listed = Target();
        HWND button = FindWindowExA(holder, nullptr, "BUTTON", nullptr);
        ShowWindow(stranger, SW_HIDE);
        HiddenList.Append(stranger, GetCurrentThreadId());
        CloakedList.Append(button);
        PerformAction(listed, Hide);
        ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(listed); }));
        if (all)
            RestoreAllWindows();
        for (WindowList *list : {&CloakedList, &HiddenList, &HiddenList})
            if (!all)
                RestoreListed(*list, 0);
        EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(listed); }));
        EXPECT_FALSE(IsWindowVisible(stranger));
        EXPECT_EQ(GetAncestor(button, GA_PARENT), holder);
    }
}

// The victim shows its window 300 ms after creating it, as many programs show their main window
// once ready: the actions that show would undo wait for it; Cloak acts at once. A Hide acts at
// once and again at the show, and lists the window once.
TEST_F(WindowActionSafety, ActionsUndoneByALateShowWaitForIt)
{
    const struct { int32_t action; int result; bool (*done)(HWND); } cases[] = {
        {Hide, 1, [](HWND w) { return !IsWindowVisible(w); }},
        {Maximize, ActionDeferred, [](HWND w) { return IsZoomed(w) && IsWindowVisible(w); }},
        {Smash, ActionDeferred, [](HWND w) { return IsIconic(w) && IsWindowVisible(w); }},
        {Cloak, 1, [](HWND w) { return GetAncestor(w, GA_PARENT) == MainWindow; }},
    };
    for (const auto &c : cases) {
        auto window = reinterpret_cast<HWND>(victim.Send("showlate 300|VictimLate"));
        EXPECT_EQ(PerformAction(window, c.action), c.result) << ActionName(c.action);
        char title[16] = "";
        auto shownThenActedOn = [&] {
            GetWindowTextA(window, title, sizeof title);
            return title == std::string("shown") && c.done(window);
        };
        EXPECT_TRUE(WaitFor(shownThenActedOn)) << ActionName(c.action);
    }
    EXPECT_EQ(HiddenList.Count(), 1u);
}
