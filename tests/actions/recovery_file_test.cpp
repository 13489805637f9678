// A run of the real brask2.exe killed while it held a hidden window: the next start lists the
// window in the Hidden/Cloaked Windows dialog and gives it back at E&xit, which removes brask2.hid.
// Lines naming another hidden window with a wrong thread, process or class, a visible window, or
// the window a second time take nothing back.
#include "common/resource.h"
#include "rules/recovery_lines.h"
#include "tests/app/black_box.h"

#include <gtest/gtest.h>

using namespace black_box;

TEST(RecoveryFile, AKilledRunsHiddenWindowComesBackAtTheNextRunsEnd)
{
    Folder working;
    Victim victim;
    HWND hidden = victim.Create("VictimHidden", "hide me");
    HWND shown = victim.Create("VictimShown", "shown");
    HWND other = victim.Create("VictimOther", "other");
    ShowWindow(other, SW_HIDE);
    WriteRules(working / "brask2.rul", {MakeRule(Create, Hide, "hide me")});
    const fs::path file = working.path / "brask2.hid";
    {
        Program killed;  // ended by its handle when it goes, as Task Manager ends a program
        killed.Start(ExeDirectory(), working);
        HWND apply = GetDlgItem(WaitForDialog("Tarnwick II", 1), IDC_MAIN_APPLY_RULES);
        PostMessageA(apply, BM_CLICK, 0, 0);
        ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(hidden) && fs::exists(file); }));
    }
    ASSERT_TRUE(WaitFor([] { return !FindWindowA("BRASK2", "Tarnwick II"); }));
    DWORD process, thread = GetWindowThreadProcessId(hidden, &process);
    auto line = [](HWND window, DWORD process, DWORD thread, const char *className) {
        return FormatRecoveryLine({uint32_t(uintptr_t(window)), process, thread, className});
    };
    std::ofstream(file, std::ios::app) << line(other, process, thread + 1, "VictimOther")
                                       << line(other, process + 1, thread, "VictimOther")
                                       << line(other, process, thread, "VictimHidden")
                                       << line(shown, process, thread, "VictimShown")
                                       << line(hidden, process, thread, "VictimHidden");

    Program program;
    program.Start(ExeDirectory(), working);
    HWND dialog = WaitForDialog("Tarnwick II", 1);
    PostMessageA(GetDlgItem(dialog, IDC_MAIN_RESTORE_HIDDEN), BM_CLICK, 0, 0);
    HWND windows = WaitForDialog("Hidden/Cloaked Windows");
    // Only the hidden window, once: had another line been taken, it would be listed as well.
    EXPECT_EQ(SendDlgItemMessageA(windows, IDC_HIDDEN_LIST, LB_GETCOUNT, 0, 0), 1);

    PostMessageA(windows, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(windows); }));
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(program.ExitCode(), 0u);
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(hidden); }));  // shown asynchronously
    EXPECT_FALSE(fs::exists(file));
}
