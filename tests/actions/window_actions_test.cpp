// The actions on windows of another process (the victim), the guard that
// keeps them off the program's own windows, and the hidden and cloaked lists.
#include "actions/window_actions.h"

#include "app/app_state.h"
#include "rules/rule.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

constexpr char OwnClass[] = "ActionsTestWindow";

// A window of this thread that notes, at the first message a Hide or Cloak
// sends it, whether the window was already listed.
WindowList *watchedList;
int listedAtFirstMessage = -1;

LRESULT CALLBACK OwnWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (watchedList && listedAtFirstMessage < 0 &&
        (message == WM_SHOWWINDOW || message == WM_WINDOWPOSCHANGING))
        listedAtFirstMessage = watchedList->FindFirst(window) >= 0;
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND CreateOwnWindow(DWORD style, HWND parentOrOwner = nullptr)
{
    return CreateWindowExA(0, OwnClass, "own", style, 10, 10, 200, 100, parentOrOwner, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

bool Listed(const WindowList &list, HWND window) { return list.FindFirst(window) >= 0; }

HWND RealParent(HWND window) { return GetAncestor(window, GA_PARENT); }

class WindowActions : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        WNDCLASSEXA wc = {sizeof wc};
        wc.lpfnWndProc = OwnWindowProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = OwnClass;
        RegisterClassExA(&wc);
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
        MainWindow = CreateOwnWindow(WS_OVERLAPPEDWINDOW);
        MainDialog = CreateOwnWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
        HiddenList.Clear();
        CloakedList.Clear();
    }

    void TearDown() override
    {
        // Victim windows first: a window cloaked under MainWindow would
        // otherwise die with it.
        for (HWND window : victimWindows)
            victim->Send("destroy " + std::to_string(reinterpret_cast<uintptr_t>(window)));
        DestroyWindow(MainDialog);
        DestroyWindow(MainWindow);
        MainDialog = MainWindow = nullptr;
        HiddenList.Clear();
        CloakedList.Clear();
        watchedList = nullptr;
        listedAtFirstMessage = -1;
    }

    HWND Target()
    {
        HWND window = victim->Create("ActionTarget", "Target");
        victimWindows.push_back(window);
        return window;
    }

    static Victim *victim;
    std::vector<HWND> victimWindows;
};

Victim *WindowActions::victim;

TEST_F(WindowActions, EachActionHasItsEffectOnAWindowOfAnotherProcess)
{
    HWND closed = Target();
    EXPECT_NE(PerformAction(closed, Close), 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(closed); }));

    for (int32_t action : {Minimize, ForceMinimize, Smash}) {
        HWND window = Target();
        EXPECT_NE(PerformAction(window, action), 0) << ActionName(action);
        EXPECT_TRUE(WaitFor([&] { return IsIconic(window); })) << ActionName(action);
        EXPECT_TRUE(IsWindowVisible(window)) << ActionName(action);
    }

    HWND maximized = Target();
    EXPECT_NE(PerformAction(maximized, Maximize), 0);
    EXPECT_TRUE(WaitFor([&] { return IsZoomed(maximized); }));

    HWND restored = Target();
    PerformAction(restored, Minimize);
    ASSERT_TRUE(WaitFor([&] { return IsIconic(restored); }));
    EXPECT_NE(PerformAction(restored, Restore), 0);
    RECT rect = {};
    EXPECT_TRUE(WaitFor([&] {
        GetWindowRect(restored, &rect);
        return !IsIconic(restored) && rect.left == 200 && rect.top == 150;
    }));
    EXPECT_EQ(rect.right, 600);
    EXPECT_EQ(rect.bottom, 450);
}

TEST_F(WindowActions, HideAndCloakTakeTheWindowOutOfSightAndListIt)
{
    HWND hidden = Target();
    EXPECT_NE(PerformAction(hidden, Hide), 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(hidden); }));
    EXPECT_TRUE(Listed(HiddenList, hidden));

    HWND cloaked = Target();
    EXPECT_EQ(PerformAction(cloaked, Cloak), 1);
    EXPECT_EQ(RealParent(cloaked), MainWindow);
    EXPECT_FALSE(IsWindowVisible(cloaked));
    EXPECT_TRUE(IsWindow(cloaked));
    EXPECT_EQ(CloakedList.Count(), 1u);
    EXPECT_EQ(CloakedList.At(0), cloaked);
    EXPECT_EQ(HiddenList.Count(), 1u);
}

TEST_F(WindowActions, ActionOutsideTheTableDoesNothing)
{
    HWND window = Target();
    for (int32_t action : {8, -1, 0x7fffffff})
        EXPECT_EQ(PerformAction(window, action), 0) << action;
    PumpMessages();
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_FALSE(IsIconic(window));
    EXPECT_EQ(HiddenList.Count() + CloakedList.Count(), 0u);
}

TEST_F(WindowActions, HideAndCloakListTheWindowBeforeTheCallAndKeepItOnFailure)
{
    for (WindowList *list : {&HiddenList, &CloakedList}) {
        int32_t action = list == &HiddenList ? Hide : Cloak;
        HWND window = CreateOwnWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
        watchedList = list;
        listedAtFirstMessage = -1;
        PerformAction(window, action);
        EXPECT_EQ(listedAtFirstMessage, 1) << ActionName(action);
        DestroyWindow(window);

        HWND gone = Target();
        victim->Send("destroy " + std::to_string(reinterpret_cast<uintptr_t>(gone)));
        EXPECT_EQ(PerformAction(gone, action), 0) << ActionName(action);
        EXPECT_EQ(list->Count(), 2u) << ActionName(action);
        EXPECT_EQ(list->At(1), gone) << ActionName(action);
    }
}

// The program's own windows and the windows it has cloaked are never acted on,
// whatever the action.
TEST_F(WindowActions, GuardRefusesOwnWindowsAndCloakedOnes)
{
    HWND cloaked = Target();
    ASSERT_EQ(PerformAction(cloaked, Cloak), 1);
    // SetParent without WS_CHILD: GetParent alone does not see the new parent.
    ASSERT_EQ(GetParent(cloaked), nullptr);

    HWND editorLike = CreateOwnWindow(WS_POPUP | WS_CAPTION | WS_VISIBLE, MainDialog);
    HWND aboutLike = CreateOwnWindow(WS_POPUP | WS_CAPTION | WS_VISIBLE, MainWindow);
    HWND control = CreateOwnWindow(WS_CHILD | WS_VISIBLE, MainDialog);
    const struct {
        const char *what;
        HWND window;
    } refused[] = {{"main dialog", MainDialog},
                   {"popup owned by the main dialog", editorLike},
                   {"popup owned by the main window", aboutLike},
                   {"control of the main dialog", control},
                   {"cloaked window", cloaked}};
    for (const auto &r : refused) {
        bool wasVisible = IsWindowVisible(r.window) != FALSE;
        for (int32_t action = Close; action <= Smash; ++action)
            EXPECT_EQ(PerformAction(r.window, action), 0) << r.what << ", " << ActionName(action);
        PumpMessages();
        EXPECT_TRUE(IsWindow(r.window)) << r.what;
        EXPECT_EQ(IsWindowVisible(r.window) != FALSE, wasVisible) << r.what;
        EXPECT_FALSE(IsIconic(r.window)) << r.what;
    }
    EXPECT_EQ(HiddenList.Count(), 0u);
    EXPECT_EQ(CloakedList.Count(), 1u);
    EXPECT_EQ(RealParent(cloaked), MainWindow);
}

TEST_F(WindowActions, WindowHiddenTwiceIsListedTwiceAndComesBack)
{
    HWND window = Target();
    PerformAction(window, Hide);
    PerformAction(window, Hide);
    ASSERT_EQ(HiddenList.Count(), 2u);
    EXPECT_EQ(HiddenList.FindFirst(window), 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(window); }));

    RestoreAllWindows();
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(HiddenList.Count(), 0u);
}

TEST_F(WindowActions, RestoreAllShowsHiddenThenCloakedAndDropsDeadEntries)
{
    HWND both = Target();
    HWND cloaked = Target();
    HWND dead = Target();
    PerformAction(dead, Hide);
    PerformAction(both, Hide);
    ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(both); }));
    PerformAction(both, Cloak);
    PerformAction(dead, Cloak);
    PerformAction(cloaked, Cloak);
    victim->Send("destroy " + std::to_string(reinterpret_cast<uintptr_t>(dead)));
    ASSERT_FALSE(IsWindow(dead));

    RestoreAllWindows();
    EXPECT_EQ(HiddenList.Count() + CloakedList.Count(), 0u);
    for (HWND window : {both, cloaked}) {
        EXPECT_EQ(RealParent(window), GetDesktopWindow());
        EXPECT_TRUE(IsWindowVisible(window));
    }
    RECT rect = {};
    GetWindowRect(both, &rect);
    EXPECT_EQ(rect.left, 200);
    EXPECT_EQ(rect.top, 150);

    RestoreAllWindows();  // on empty lists: nothing to do
    EXPECT_EQ(HiddenList.Count() + CloakedList.Count(), 0u);
}

// What the Hidden/Cloaked Windows dialog relies on: the first of several
// entries is found, and removing it keeps the others in order.
TEST(WindowList, FindsAndRemovesTheFirstEntryOfAWindow)
{
    auto a = reinterpret_cast<HWND>(0x10), b = reinterpret_cast<HWND>(0x20);
    WindowList list;
    for (HWND window : {a, b, a, b})
        list.Append(window);
    EXPECT_EQ(list.FindFirst(b), 1);
    list.RemoveAt(static_cast<size_t>(list.FindFirst(b)));
    list.RemoveAt(17);
    ASSERT_EQ(list.Count(), 3u);
    EXPECT_EQ(list.At(0), a);
    EXPECT_EQ(list.At(1), a);
    EXPECT_EQ(list.At(2), b);
    EXPECT_EQ(list.FindFirst(reinterpret_cast<HWND>(0x30)), -1);
}

} // namespace
