// brask2.exe under Wine, driven from this process: its start, hiding and
// hand-over, every way of ending it, its end while another program hangs, and
// its failed starts.
#include "common/messages.h"
#include "common/resource.h"
#include "tests/app/black_box.h"
#include "tests/support/modal_script.h"

#include <gtest/gtest.h>
#include <shellapi.h>

using namespace black_box;

namespace {

bool TopLevelAndVisible(HWND window)
{
    return GetAncestor(window, GA_PARENT) == GetDesktopWindow() && IsWindowVisible(window);
}

// Changing nothing succeeds only for an icon that is there.
bool TrayIconExists(HWND owner)
{
    NOTIFYICONDATAA probe = {NOTIFYICONDATAA_V1_SIZE, owner, 0, 0};
    return Shell_NotifyIconA(NIM_MODIFY, &probe) != FALSE;
}

// The program and brask2.dll of the build's folder on rules that hide one
// victim window, cloak another and close a third when it is created.
struct Session {
    Folder working;
    Victim victim;
    HWND hidden = victim.Create("VictimHidden", "hide me");
    HWND cloaked = victim.Create("VictimCloaked", "cloak me");
    Program program;
    HWND dialog = nullptr, mainWindow = nullptr;

    Session()
    {
        WriteRules(working / "brask2.rul", {MakeRule(Create, Hide, "hide me"),
                                            MakeRule(Activate, Cloak, "cloak me"),
                                            MakeRule(Create, Close, "Tip of the Day")});
        program.Start(ExeDirectory(), working);
        dialog = WaitForDialog("Tarnwick II", 3);
        mainWindow = FindWindowA("BRASK2", "Tarnwick II");
    }
    // Ended in order even after a failure: a killed program's hook would
    // stay in Wine's chain and spoil every later start.
    ~Session()
    {
        PostMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
        program.ExitCode();
    }
    bool Shown() const
    {
        return WaitFor([&] { return IsWindowVisible(dialog) && GetForegroundWindow() == dialog; });
    }
    bool Hidden() const { return WaitFor([&] { return !IsWindowVisible(dialog); }); }
    bool Acted() const
    {
        return !IsWindowVisible(hidden) && GetAncestor(cloaked, GA_PARENT) == mainWindow;
    }
    bool GaveBack() const { return TopLevelAndVisible(hidden) && TopLevelAndVisible(cloaked); }
};

TEST(Program, StartsInFrontActsOnNewWindowsHidesToItsIconAndHandsOver)
{
    Session run;
    ASSERT_NE(run.dialog, nullptr);
    EXPECT_TRUE(run.Shown());
    EXPECT_TRUE(TrayIconExists(run.mainWindow));
    HWND tip = run.victim.Create("VictimTip", "Tip of the Day");
    EXPECT_TRUE(tip && WaitFor([&] { return !IsWindow(tip); }));

    PostMessageA(GetDlgItem(run.dialog, IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(run.Hidden());
    PostMessageA(run.mainWindow, WM_TRAYICON, 0, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(run.Shown());
    PostMessageA(run.dialog, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(run.Hidden());
    Program second;
    second.Start(ExeDirectory(), run.working);
    EXPECT_EQ(second.ExitCode(), 0u);
    EXPECT_TRUE(run.Shown());
}

TEST(Program, EveryWayOfEndingItEndsWithZeroAndGivesEveryWindowBack)
{
    const struct { const char *way; HWND Session::*to; UINT message; WPARAM wParam; } endings[] = {
        {"Exit button", &Session::dialog, WM_COMMAND, IDCANCEL},
        // Through the program's own loop, as a key press would come.
        {"Escape", &Session::dialog, WM_KEYDOWN, VK_ESCAPE},
        {"close box", &Session::dialog, WM_SYSCOMMAND, SC_CLOSE},
        // From other programs: the cloaked windows are MainWindow's children
        // and must not go down with it.
        {"close request", &Session::mainWindow, WM_CLOSE, 0},
        {"End Program command", &Session::mainWindow, WM_COMMAND, IDM_END_PROGRAM},
    };
    for (const auto &ending : endings) {
        SCOPED_TRACE(ending.way);
        Session run;
        PostMessageA(GetDlgItem(run.dialog, IDC_MAIN_APPLY_RULES), BM_CLICK, 0, 0);
        ASSERT_TRUE(WaitFor([&] { return run.Acted(); }));
        PostMessageA(run.*ending.to, ending.message, ending.wParam, 0);
        EXPECT_EQ(run.program.ExitCode(), 0u);
        EXPECT_TRUE(WaitFor([&] { return run.GaveBack(); }));
    }
}

// The victim's thread takes no messages for 4 s while one of its windows is
// hidden and another cloaked: E&xit ends the program well before, and the
// hidden window shows once the victim runs again. While its end waits on the
// victim, its icon is gone: Wine's shell removes that of a dead program. The cloaked one dies under
// Wine with its parent, which the victim's thread could not take it from.
TEST(Program, EndsWithinItsBoundWhileAnotherProgramHangs)
{
    Session run;
    PostMessageA(GetDlgItem(run.dialog, IDC_MAIN_APPLY_RULES), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return run.Acted(); }));
    EXPECT_EQ(run.victim.Send("hang 4000"), 1);
    PostMessageA(GetDlgItem(run.dialog, IDCANCEL), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return !TrayIconExists(run.mainWindow); }, 3000) &&
                run.program.Running());
    EXPECT_EQ(run.program.ExitCode(3000), 0u);
    run.victim.Send("hang 0");
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(run.hidden); }));
}

// The library missing, planted in the working directory (where the program
// must not look for it: the real one would start it), or refusing to hook.
TEST(Program, EachFailedStartShowsItsBoxAndEndsWithZero)
{
    char notFound[256] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   ERROR_MOD_NOT_FOUND, 0, notFound, sizeof notFound, nullptr);
    const struct { const char *dll; bool planted; const char *caption, *text; } failures[] = {
        {nullptr, false, "brask2.dll", notFound},
        {"brask2.dll", true, "brask2.dll", notFound},
        {"test_hook.dll", false, "InstallHook", "Error 536870913 (0x20000001)"},
    };
    for (const auto &failure : failures) {
        SCOPED_TRACE(failure.dll ? failure.dll : "none");
        Folder folder, working;
        fs::copy_file(ExeDirectory() + "brask2.exe", folder / "brask2.exe");
        if (failure.dll)
            fs::copy_file(ExeDirectory() + failure.dll,
                          (failure.planted ? working : folder) / "brask2.dll");
        Program program;
        program.Start(folder / "", working);
        HWND box = WaitForDialog(failure.caption);
        EXPECT_EQ(ModalScript::Text(box, 0xFFFF), failure.text);
        PostMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
        EXPECT_EQ(program.ExitCode(), 0u);
    }
}

} // namespace
