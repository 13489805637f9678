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

// A window of this thread notes whether it is listed already at the first
// message an action sends it, and where it is when first shown again.
const WindowList *watched;
int listedAtFirstMessage;
HWND parentWhenShown;

LRESULT CALLBACK NoteListed(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (listedAtFirstMessage < 0 && (message == WM_SHOWWINDOW || message == WM_WINDOWPOSCHANGING))
        listedAtFirstMessage = watched->FindFirst(window) >= 0;
    if (message == WM_SHOWWINDOW && wParam && !parentWhenShown)
        parentWhenShown = RealParent(window);
    return DefWindowProcA(window, message, wParam, lParam);
}

// A window goes into its list before the call, so that nothing acted on can
// go unrecorded, and stays there when the call fails. The restore shows a
// window before it leaves MainWindow.
TEST_F(WindowActions, HideAndCloakListEveryCallAndRestoreAllGivesTheWindowsBack)
{
    HWND own = OwnWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    SetWindowLongPtrA(own, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(NoteListed));
    parentWhenShown = nullptr;
    for (int32_t action : {Hide, Cloak}) {
        watched = action == Hide ? &HiddenList : &CloakedList;
        listedAtFirstMessage = -1;
        PerformAction(own, action);
        EXPECT_EQ(listedAtFirstMessage, 1) << ActionName(action);
    }
    HWND both = Target(), dead = Target();
    Destroy(dead);
    EXPECT_FALSE(PerformAction(dead, Hide) || PerformAction(dead, Cloak));
    PerformAction(both, Hide);
    ASSERT_TRUE(WaitFor([&] { return Hidden(both); }));
    PerformAction(both, Cloak);
    EXPECT_TRUE(HiddenList.FindFirst(dead) == 1 && CloakedList.FindFirst(dead) == 1);

    RestoreAllWindows();
    EXPECT_EQ(parentWhenShown, MainWindow);
    EXPECT_EQ(HiddenList.Count() + CloakedList.Count(), 0u);
    EXPECT_TRUE(RealParent(both) == GetDesktopWindow() && AtItsPlace(both));
    DestroyWindow(own);
}

// Re-parenting activates a window again, and GetParent does not see a
// cloaked window's parent: an Activate rule that cloaks would act on it
// without end.
TEST_F(WindowActions, GuardRefusesOwnWindowsAndCloakedOnes)
{
    HWND cloaked = Target();
    ASSERT_EQ(PerformAction(cloaked, Cloak), 1);
    const struct { const char *what; HWND window; } refused[] = {
        {"main dialog", MainDialog},
        {"popup owned by the main dialog", OwnWindow(WS_POPUP | WS_VISIBLE, MainDialog)},
        {"popup owned by the main window", OwnWindow(WS_POPUP | WS_VISIBLE, MainWindow)},
        {"control of the main dialog", GetWindow(MainDialog, GW_CHILD)},
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

} // namespace
