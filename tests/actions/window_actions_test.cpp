// What keeps the actions safe: the guard against every window of this
// process, restores that touch only the windows that were listed, and the
// actions that wait for a window its program shows late.
#include "actions/window_actions.h"
#include "common/app_state.h"
#include "rules/rule.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

class WindowActionSafety : public testing::Test {
protected:
    static void SetUpTestSuite() { victim = new Victim; }
    static void TearDownTestSuite() { delete victim; }
    void SetUp() override
    {
        ASSERT_TRUE(victim->Running());
        MainWindow = Own(WS_POPUP);
    }
    void TearDown() override
    {
        for (HWND window : victimWindows)
            victim->Send("destroy " + std::to_string(uintptr_t(window)));
        for (HWND window : ownWindows)
            DestroyWindow(window);
        HiddenList.Clear();
        CloakedList.Clear();
    }
    HWND Own(DWORD style, HWND owner = nullptr)
    {
        return ownWindows.emplace_back(
            CreateWindowExA(0, "STATIC", "own", style, 10, 10, 200, 100, owner, nullptr, nullptr, nullptr));
    }

    HWND Target() { return victimWindows.emplace_back(victim->Create("VictimTarget", "Target")); }

    inline static Victim *victim = nullptr;
    std::vector<HWND> victimWindows, ownWindows;
};

// Neither the About box (no owner) nor the rule editor's warning box (owned
// by the editor) is MainDialog or owned by it; both are this process's.
TEST_F(WindowActionSafety, EveryWindowOfThisProcessIsRefused)
{
    HWND about = Own(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    HWND warning = Own(WS_POPUP | WS_VISIBLE, Own(WS_POPUP | WS_VISIBLE));
    for (HWND window : {about, warning}) {
        for (int32_t action = Close; action <= Smash; ++action) {
            EXPECT_EQ(PerformAction(window, action), 0) << ActionName(action);
            PumpMessages();
            EXPECT_TRUE(IsWindowVisible(window) && !IsIconic(window) && !IsZoomed(window) &&
                        GetAncestor(window, GA_PARENT) == GetDesktopWindow())
                << ActionName(action);
        }
    }
    EXPECT_EQ(HiddenList.Count() + CloakedList.Count(), 0u);
}

// An entry whose handle another thread's window now bears, or whose cloaked
// window no longer sits under MainWindow, is dropped untouched, by Restore
// All and by a single row alike. The listed window given back last shows
// when the wrong calls would have landed.
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
        EXPECT_EQ(HiddenList.Count() + CloakedList.Count(), 0u);
        EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(listed); }));
        EXPECT_FALSE(IsWindowVisible(stranger));
        EXPECT_EQ(GetAncestor(button, GA_PARENT), holder);
    }
}

// The victim creates its window hidden and shows it 300 ms later, as many
// programs show their main window once ready: the actions that show would
// undo wait for it; Cloak acts at once. A Hide acts at once and again at the show.
TEST_F(WindowActionSafety, ActionsUndoneByALateShowWaitForIt)
{
    auto minimized = [](HWND w) { return IsIconic(w) && IsWindowVisible(w); };
    const struct { int32_t action; int result; std::function<bool(HWND)> done; } cases[] = {
        {Hide, 1, [](HWND w) { return !IsWindowVisible(w); }},
        {Maximize, ActionDeferred, [](HWND w) { return IsZoomed(w) && IsWindowVisible(w); }},
        {Smash, ActionDeferred, minimized},
        {Cloak, 1, [](HWND w) { return GetAncestor(w, GA_PARENT) == MainWindow; }},
    };
    for (const auto &c : cases) {
        HWND window = victimWindows.emplace_back(reinterpret_cast<HWND>(victim->Send("showlate 300|VictimLate")));
        EXPECT_EQ(PerformAction(window, c.action), c.result) << ActionName(c.action);
        auto shownThenActedOn = [&] {
            char title[16] = "";
            GetWindowTextA(window, title, sizeof title);
            return std::string(title) == "shown" && c.done(window);
        };
        EXPECT_TRUE(WaitFor(shownThenActedOn)) << ActionName(c.action);
    }
    EXPECT_EQ(HiddenList.Count(), 1u);
}

} // namespace
