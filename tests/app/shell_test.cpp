// The shell's nets for an end that does not come the orderly way: the end of
// the session reaches MainWindow, and a crash the filter that start-up sets;
// both give every hidden and cloaked window back.
#include "app/main_window.h"
#include "app/startup.h"
#include "tests/app/black_box.h"
#include "tests/support/window_test.h"

#include <functional>

void CreateTestWindows()
{
    RegisterMainWindowClass(appInstance);  // fails, harmlessly, after the first test
    // Not the caption a second start of the real program looks for.
    MainWindow = CreateWindowExA(0, mainWindowClass, "main window under test", WS_POPUP, 0, 0, 1, 1,
                                 nullptr, nullptr, appInstance, nullptr);
}

namespace {

using Shell = WindowTest;

LONG WINAPI FilterBefore(EXCEPTION_POINTERS *) { return EXCEPTION_EXECUTE_HANDLER; }

bool TopLevelAndVisible(HWND window)
{
    return GetAncestor(window, GA_PARENT) == GetDesktopWindow() && IsWindowVisible(window);
}

TEST_F(Shell, EndOfSessionOrACrashGivesTheWindowsBack)
{
    LPTOP_LEVEL_EXCEPTION_FILTER original = SetUnhandledExceptionFilter(FilterBefore);
    RestoreWindowsOnCrash();
    LPTOP_LEVEL_EXCEPTION_FILTER crashFilter = SetUnhandledExceptionFilter(original);
    EXCEPTION_POINTERS fault = {};
    const std::pair<const char *, std::function<void()>> emergencies[] = {
        {"query", [] { EXPECT_TRUE(SendMessageA(MainWindow, WM_QUERYENDSESSION, 0, 0)); }},
        {"end", [] { SendMessageA(MainWindow, WM_ENDSESSION, TRUE, 0); }},
        // The fault goes on to the filter that was there before.
        {"crash", [&] { EXPECT_EQ(crashFilter(&fault), EXCEPTION_EXECUTE_HANDLER); }},
    };
    HWND hidden = Target(), cloaked = Target();
    for (const auto &[name, emergency] : emergencies) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(PerformAction(hidden, Hide) && PerformAction(cloaked, Cloak));
        ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(hidden); }));
        emergency();
        for (HWND window : {hidden, cloaked})
            EXPECT_TRUE(WaitFor([&] { return TopLevelAndVisible(window); }));
    }
}

// The end takes the icon away from a worker, which it waits for a second at
// most: the icon is gone while this process still lives, so the shell did
// not take it away for a program that died. (The shell removes those itself,
// which is why the program tests cannot tell.)
TEST_F(Shell, TheIconGoesAtTheEnd)
{
    ASSERT_TRUE(AddTrayIcon(LoadIconA(nullptr, IDI_APPLICATION)));
    EXPECT_TRUE(black_box::TrayIconExists(MainWindow));
    RemoveTrayIcon();
    EXPECT_FALSE(black_box::TrayIconExists(MainWindow));
}

} // namespace
