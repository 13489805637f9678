// How the real program goes away and comes back: every way of ending it
// gives the windows it hid or cloaked back to their programs, and hiding
// the dialog is undone by the notification icon.
#include "tests/app/black_box.h"

#include "tests/support/test_support.h"

#include <gtest/gtest.h>
#include <shellapi.h>

#include <memory>

using namespace black_box;

namespace {

constexpr UINT WM_TRAYICON = WM_APP + 100;

// The program running on rules that hide one victim window and cloak
// another; Apply Rules has acted on both.
struct HidingRun {
    ProgramFolder programFolder;
    TempFolder workingFolder;
    Victim victim;
    HWND hidden = nullptr;
    HWND cloaked = nullptr;
    std::unique_ptr<Program> program;
    HWND dialog = nullptr;
    HWND mainWindow = nullptr;

    explicit HidingRun(const char *library = "brask2.dll") : programFolder(library)
    {
        WriteRules(workingFolder.File("brask2.rul"),
                   {TitleRule(Create, "hide me", Hide), TitleRule(Activate, "cloak me", Cloak)});
        hidden = victim.Create("VictimHidden", "hide me");
        cloaked = victim.Create("VictimCloaked", "cloak me");
        program = std::make_unique<Program>(programFolder.Path(), workingFolder.Path());
        dialog = program->WaitForDialog(2);
        mainWindow = program->MainWindow();
    }

    // Both windows out of sight, by the rules applied to open windows.
    bool Act()
    {
        if (!dialog || !hidden || !cloaked)
            return false;
        PostMessageA(GetDlgItem(dialog, 1020), BM_CLICK, 0, 0);
        return WaitFor([&] {
            return !IsWindowVisible(hidden) && GetAncestor(cloaked, GA_PARENT) == mainWindow;
        });
    }

    void ExpectWindowsBack()
    {
        EXPECT_TRUE(WaitFor([&] { return IsTopLevelAndVisible(hidden); })) << "hidden window";
        EXPECT_TRUE(WaitFor([&] { return IsTopLevelAndVisible(cloaked); })) << "cloaked window";
    }
};

struct Ending {
    const char *name;
    void (*end)(HWND dialog, HWND mainWindow);
};

class EndingTheProgram : public testing::TestWithParam<Ending> {};

TEST_P(EndingTheProgram, EndsWithZeroAndGivesEveryWindowBack)
{
    HidingRun run;
    ASSERT_TRUE(run.Act());
    GetParam().end(run.dialog, run.mainWindow);
    ASSERT_TRUE(run.program->WaitForExit());
    EXPECT_EQ(run.program->ExitCode(), 0u);
    run.ExpectWindowsBack();
    EXPECT_FALSE(TrayIconExists(run.mainWindow));
}

INSTANTIATE_TEST_SUITE_P(
    EachWay, EndingTheProgram,
    testing::Values(
        Ending{"ExitButton", [](HWND dialog, HWND) { PostMessageA(GetDlgItem(dialog, 2), BM_CLICK, 0, 0); }},
        Ending{"Escape",
               [](HWND dialog, HWND) {
                   // Through the program's own loop, as a key press would come.
                   PostMessageA(GetDlgItem(dialog, 1021), WM_KEYDOWN, VK_ESCAPE, 0);
               }},
        Ending{"CloseBox", [](HWND dialog, HWND) { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }},
        // Another program asks MainWindow to close: the cloaked windows are
        // its children and must not go down with it.
        Ending{"CloseRequestToMainWindow", [](HWND, HWND main) { PostMessageA(main, WM_CLOSE, 0, 0); }},
        Ending{"EndProgramCommand", [](HWND, HWND main) { PostMessageA(main, WM_COMMAND, 105, 0); }}),
    [](const testing::TestParamInfo<Ending> &info) { return std::string(info.param.name); });

TEST(Crash, AFaultOfTheProgramStillGivesEveryWindowBack)
{
    HidingRun run("test_hook_probe.dll");
    ASSERT_TRUE(run.Act());
    HWND probe = run.program->Find("TarnwickCrashProbe", "crash probe");
    ASSERT_NE(probe, nullptr);
    PostMessageA(probe, WM_APP, 0, 0);
    // Ended by the filter that was there before the program's: the fault
    // was passed on after the windows were given back.
    ASSERT_TRUE(run.program->WaitForExit());
    EXPECT_EQ(run.program->ExitCode(), DWORD(EXCEPTION_ACCESS_VIOLATION));
    run.ExpectWindowsBack();
}

TEST(Visibility, OkAndTheMinimizeBoxHideTheDialogAndTheIconBringsItBack)
{
    HidingRun run;
    ASSERT_NE(run.dialog, nullptr);
    struct {
        const char *how;
        UINT message;
        WPARAM wParam;
        HWND target;
    } hides[] = {{"OK", BM_CLICK, 0, GetDlgItem(run.dialog, IDOK)},
                 {"minimize box", WM_SYSCOMMAND, SC_MINIMIZE, run.dialog}};
    for (const auto &hide : hides) {
        PostMessageA(hide.target, hide.message, hide.wParam, 0);
        EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(run.dialog); })) << hide.how;
        EXPECT_FALSE(IsIconic(run.dialog)) << hide.how;

        // Single, right and middle clicks on the icon do nothing. Sent, so
        // that each has been handled when the call returns.
        for (LPARAM click : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP, WM_MBUTTONDOWN})
            SendMessageA(run.mainWindow, WM_TRAYICON, 0, click);
        EXPECT_FALSE(IsWindowVisible(run.dialog)) << hide.how;

        PostMessageA(run.mainWindow, WM_TRAYICON, 0, WM_LBUTTONDBLCLK);
        EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(run.dialog) && GetForegroundWindow() == run.dialog; }))
            << hide.how;
        EXPECT_EQ(ListBoxTexts(GetDlgItem(run.dialog, 1021)).size(), 2u) << hide.how;
    }
    PostMessageA(GetDlgItem(run.dialog, 2), BM_CLICK, 0, 0);
    EXPECT_TRUE(run.program->WaitForExit());
}

TEST(Visibility, TheIconComesBackWhenTheShellRestarts)
{
    HidingRun run;
    ASSERT_NE(run.mainWindow, nullptr);
    NOTIFYICONDATAA icon = {};
    icon.cbSize = NOTIFYICONDATAA_V1_SIZE;
    icon.hWnd = run.mainWindow;
    ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &icon));
    ASSERT_FALSE(TrayIconExists(run.mainWindow));
    DWORD_PTR ignored;
    SendMessageTimeoutA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0, SMTO_ABORTIFHUNG,
                        2000, &ignored);
    EXPECT_TRUE(WaitFor([&] { return TrayIconExists(run.mainWindow); }));
    PostMessageA(GetDlgItem(run.dialog, 2), BM_CLICK, 0, 0);
    EXPECT_TRUE(run.program->WaitForExit());
}

} // namespace
