// The eight actions on windows of another process (the victim), the guard
// that keeps them off the program's own windows, and the lists that let
// every window hidden or cloaked be given back.
#include "tests/support/window_test.h"

namespace {

using WindowActions = WindowTest;

HWND RealParent(HWND window) { return GetAncestor(window, GA_PARENT); }
bool Closed(HWND window) { return !IsWindow(window); }
bool Minimized(HWND window) { return IsIconic(window) && IsWindowVisible(window); }
bool Maximized(HWND window) { return IsZoomed(window); }
bool Hidden(HWND window) { return IsWindow(window) && !IsWindowVisible(window); }
bool Cloaked(HWND window) { return Hidden(window) && RealParent(window) == MainWindow; }
bool AtItsPlace(HWND window)
{
    RECT rect = {}, place = {200, 150, 600, 450};
    return IsWindowVisible(window) && GetWindowRect(window, &rect) && EqualRect(&rect, &place);
}

TEST_F(WindowActions, EachActionHasItsEffectOnAWindowOfAnotherProcess)
{
    // A smashed window is restored to its place: the shrink is undone too.
    const struct { int32_t before, action; bool (*done)(HWND); } cases[] = {
        {-1, Close, Closed},         {-1, Minimize, Minimized},   {-1, ForceMinimize, Minimized},
        {-1, Smash, Minimized},      {-1, Maximize, Maximized},   {Smash, Restore, AtItsPlace},
        {-1, Hide, Hidden},          {-1, Cloak, Cloaked},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(ActionName(c.action));
        HWND window = Target();
        ASSERT_TRUE(c.before < 0 || PerformAction(window, c.before));
        ASSERT_TRUE(WaitFor([&] { return c.before < 0 || IsIconic(window); }));
        EXPECT_NE(PerformAction(window, c.action), 0);
        EXPECT_TRUE(WaitFor([&] { return c.done(window); }));
    }
}

// A window goes into its list before the call, so that nothing acted on can
// go unrecorded, and stays there when the call fails.
TEST_F(WindowActions, HideAndCloakListEveryCallAndRestoreAllGivesTheWindowsBack)
{
    HWND both = Target(), dead = Target();
    Destroy(dead);
    EXPECT_FALSE(PerformAction(dead, Hide) || PerformAction(dead, Cloak));
    PerformAction(both, Hide);
    ASSERT_TRUE(WaitFor([&] { return Hidden(both); }));
    PerformAction(both, Cloak);
    EXPECT_TRUE(HiddenList.FindFirst(dead) == 0 && CloakedList.FindFirst(dead) == 0);

    RestoreAllWindows();
    EXPECT_EQ(HiddenList.Count() + CloakedList.Count(), 0u);
    EXPECT_TRUE(WaitFor([&] { return RealParent(both) == GetDesktopWindow() && AtItsPlace(both); }));
}

// Every window of this process is refused, whatever owns it: the About box
// has no owner, and hidden by a rule it would lock the user out. Re-parenting
// activates a window again, and GetParent does not see a cloaked window's
// parent: an Activate rule that cloaks would act on it without end.
TEST_F(WindowActions, GuardRefusesOwnWindowsAndCloakedOnes)
{
    HWND cloaked = Target();
    ASSERT_EQ(PerformAction(cloaked, Cloak), 1);
    const struct { const char *what; HWND window; } refused[] = {
        {"window of this process without owner", OwnWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE)},
        {"cloaked window", cloaked},
    };
    for (const auto &r : refused) {
        for (int32_t action = Close; action <= Smash; ++action)
            EXPECT_EQ(PerformAction(r.window, action), 0) << r.what << ", " << ActionName(action);
        PumpMessages();
        EXPECT_TRUE(IsWindow(r.window) && !IsIconic(r.window)) << r.what;
    }
    EXPECT_TRUE(HiddenList.Count() == 0 && CloakedList.Count() == 1);
}

// An entry whose handle another thread's window now bears, or whose cloaked
// window no longer sits under MainWindow, is dropped untouched, by Restore All
// and by a single row alike.
TEST_F(WindowActions, RestoresTouchOnlyTheWindowsStillListed)
{
    for (bool all : {true, false}) {
        SCOPED_TRACE(all ? "Restore All" : "one row");
        HWND stranger = Target(), holder = Target(), listed = Target();
        HWND button = FindWindowExA(holder, nullptr, "BUTTON", nullptr);
        ShowWindow(stranger, SW_HIDE);
        HiddenList.Append(stranger, GetCurrentThreadId());
        CloakedList.Append(button);
        PerformAction(listed, Hide);
        ASSERT_TRUE(WaitFor([&] { return Hidden(listed); }));
        if (all)
            RestoreAllWindows();
        for (WindowList *list : {&CloakedList, &HiddenList, &HiddenList})
            if (!all)
                RestoreListed(*list, 0);
        EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(listed); }));
        EXPECT_FALSE(IsWindowVisible(stranger));
        EXPECT_EQ(RealParent(button), holder);
    }
}

// The victim shows its window 300 ms after creating it, as many programs show
// their main window once ready: the actions that show would undo wait for it;
// Cloak acts at once. A Hide acts at once and again at the show.
TEST_F(WindowActions, ActionsUndoneByALateShowWaitForIt)
{
    const struct { int32_t action; int result; bool (*done)(HWND); } cases[] = {
        {Hide, 1, Hidden},
        {Maximize, ActionDeferred, [](HWND w) { return Maximized(w) && IsWindowVisible(w); }},
        {Smash, ActionDeferred, Minimized},
        {Cloak, 1, Cloaked},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(ActionName(c.action));
        auto window = reinterpret_cast<HWND>(victim->Send("showlate 300|VictimLate"));
        targets.push_back(window);
        EXPECT_EQ(PerformAction(window, c.action), c.result);
        char title[16] = "";
        auto shownThenActedOn = [&] {
            GetWindowTextA(window, title, sizeof title);
            return title == std::string("shown") && c.done(window);
        };
        EXPECT_TRUE(WaitFor(shownThenActedOn));
    }
}

// A window hidden before its program showed it (here it never does),
// reported again while hidden, and taken back by the user stays back:
// nothing waiting for its first show hides it again.
TEST_F(WindowActions, AWindowTheUserTookBackStaysBack)
{
    auto window = reinterpret_cast<HWND>(victim->Send("showlate 100000|VictimLate"));
    targets.push_back(window);
    PerformAction(window, Hide);
    PerformAction(window, Hide);
    RestoreListed(HiddenList, 0);
    ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(window); }));
    EXPECT_FALSE(WaitFor([&] { return !IsWindowVisible(window); }, 300));
    EXPECT_EQ(HiddenList.Count(), 1u);
}

// The victim takes 2.5 s over the re-parenting: the cloak is not taken for
// done, Restore All cannot finish within its second and keeps the entry,
// and the give-back queued behind the cloak brings the window back once the
// victim gets to it, instead of leaving it to die under MainWindow.
TEST_F(WindowActions, ACloakLandingLateIsGivenBackBehindIt)
{
    HWND window = Target();
    victim->Send("slowmove 2500");
    EXPECT_EQ(PerformAction(window, Cloak), 0);
    RestoreAllWindows();
    EXPECT_EQ(CloakedList.Count(), 1u);
    EXPECT_TRUE(WaitFor([&] { return RealParent(window) == GetDesktopWindow() && IsWindowVisible(window); }));
}

} // namespace
