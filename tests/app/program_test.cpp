// brask2.exe under Wine, driven from this process: its start, hiding and
// hand-over, every way of ending it, its end while another program hangs, and
// its failed starts.
#include "common/messages.h"
#include "common/resource.h"
#include "tests/app/black_box.h"
#include "tests/support/modal_script.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <shellapi.h>

#include <cstdio>

using namespace black_box;

namespace {

bool TopLevelAndVisible(HWND window)
{
    return GetAncestor(window, GA_PARENT) == GetDesktopWindow() && IsWindowVisible(window);
}

// The program and brask2.dll of the build's folder on rules that hide one
// victim window, cloak another and close a third when it is created.
struct Session {
    const char *exe;  // the victim's
    Folder working;
    Victim victim{exe};
    HWND hidden = victim.Create("VictimHidden", "hide me");
    HWND cloaked = victim.Create("VictimCloaked", "cloak me");
    Program program;
    HWND dialog = nullptr, mainWindow = nullptr;

    explicit Session(const char *victimExe = VICTIM_EXE) : exe(victimExe)
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

    // How many of the event list's rows are window's Create rows, read
    // across processes while no row comes in between; -1 if rows kept coming.
    int CreateRows(HWND window) const
    {
        HWND list = GetDlgItem(dialog, IDC_MAIN_EVENTS);
        DWORD processId = 0;
        int rows = -1;
        GetWindowThreadProcessId(list, &processId);
        HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE,
                                     FALSE, processId);
        auto *remote = static_cast<char *>(
            VirtualAllocEx(process, nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        auto text = [&](int row, int column) {
            LVITEMA item = {0, 0, column, 0, 0, remote + 1024, 256};
            char read[256] = "";
            WriteProcessMemory(process, remote, &item, sizeof item, nullptr);
            SendMessageTimeoutA(list, LVM_GETITEMTEXTA, row, LPARAM(remote), 0, Timeout, nullptr);
            ReadProcessMemory(process, remote + 1024, read, sizeof read - 1, nullptr);
            return std::string(read);
        };
        char handle[16];
        std::snprintf(handle, sizeof handle, "0x%08x", unsigned(uintptr_t(window)));
        for (int tries = 0, count = -1; rows < 0 && tries < 20 && remote; ++tries) {
            int before = std::exchange(count, ListView_GetItemCount(list));
            for (int row = rows = 0; row < count; ++row)
                rows += text(row, 3) == handle && text(row, 0) == "Create";
            if (count != before || count != ListView_GetItemCount(list))
                rows = -1;
        }
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
        CloseHandle(process);
        return rows;
    }
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

// Programs of either bitness: the hook library reaches those of its own, the
// platform's window events the others. A Create rule acts on a new window,
// which has one Create row; an announced activation is heard, by the one
// source or the other, and cloaks; E&xit gives everything back. False when
// the victim cannot start.
bool ActsOnWindowsOfEachReportedOnce(const char *victimExe)
{
    Session run(victimExe);
    if (!run.victim.Running())
        return false;
    HWND window = run.victim.Create("VictimHidden", "hide me");
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(window); }));
    SetForegroundWindow(run.cloaked);
    run.victim.Send("notify " + std::to_string(uintptr_t(run.cloaked)) + "|3 0 0");
    EXPECT_TRUE(WaitFor([&] { return GetAncestor(run.cloaked, GA_PARENT) == run.mainWindow; }));
    EXPECT_EQ(run.CreateRows(window), 1);
    PostMessageA(GetDlgItem(run.dialog, IDCANCEL), BM_CLICK, 0, 0);
    EXPECT_EQ(run.program.ExitCode(), 0u);
    EXPECT_TRUE(WaitFor([&] { return TopLevelAndVisible(run.cloaked); }));
    return true;
}

TEST(Program, ActsOnWindowsOfItsOwnBitnessEachReportedOnce)
{
    EXPECT_TRUE(ActsOnWindowsOfEachReportedOnce(VICTIM_EXE));
}

TEST(Program, ActsOnWindowsOfTheOtherBitnessEachReportedOnce)
{
    if (!ActsOnWindowsOfEachReportedOnce(OTHER_VICTIM_EXE))
        GTEST_SKIP() << OTHER_VICTIM_EXE << ", the victim of the other bitness, cannot start: "
                     << "this machine or Wine prefix runs no program of that bitness";
}

// The victim's thread takes no messages for 4 s while one of its windows is
// hidden and another cloaked: E&xit ends the program well before, and the
// hidden window shows once the victim runs again. The cloaked one dies under
// Wine with its parent, which the victim's thread could not take it from.
TEST(Program, EndsWithinItsBoundWhileAnotherProgramHangs)
{
    Session run;
    PostMessageA(GetDlgItem(run.dialog, IDC_MAIN_APPLY_RULES), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return run.Acted(); }));
    EXPECT_EQ(run.victim.Send("hang 4000"), 1);
    PostMessageA(GetDlgItem(run.dialog, IDCANCEL), BM_CLICK, 0, 0);
    EXPECT_EQ(run.program.ExitCode(3000), 0u);
    run.victim.Send("hang 0");
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(run.hidden); }));
}

// The shell hangs (its thread suspended): E&xit gives every window back all
// the same, before it waits for the shell, and then ends within its bound.
TEST(Program, ExitGivesTheWindowsBackWhileTheShellHangs)
{
    Session run;
    PostMessageA(GetDlgItem(run.dialog, IDC_MAIN_APPLY_RULES), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return run.Acted(); }));
    DWORD shellThread = GetWindowThreadProcessId(FindWindowA("Shell_TrayWnd", nullptr), nullptr);
    HANDLE shell = OpenThread(THREAD_SUSPEND_RESUME, FALSE, shellThread);
    ASSERT_NE(shell, nullptr);
    ASSERT_NE(SuspendThread(shell), DWORD(-1));
    PostMessageA(GetDlgItem(run.dialog, IDCANCEL), BM_CLICK, 0, 0);
    bool gaveBack = WaitFor([&] { return run.GaveBack(); }, 3000);
    ResumeThread(shell);
    CloseHandle(shell);
    EXPECT_TRUE(gaveBack);
    EXPECT_EQ(run.program.ExitCode(3000), 0u);
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
