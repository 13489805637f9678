// A run of the real brask2.exe killed the moment a window it hid disappeared: the next start lists
// the window in the Hidden/Cloaked Windows dialog and gives it back at E&xit, which removes brask2.hid.
// A file of another start of the system takes nothing back and is removed; lines naming another
// hidden window with a wrong thread, process or class, a visible window, a window that is not
// top-level, or the window a second time take nothing back.
#include "common/resource.h"
#include "rules/recovery_lines.h"
#include "tests/app/black_box.h"

#include <gtest/gtest.h>

#include <iterator>
#include <set>

using namespace black_box;

namespace {

std::string Contents(const fs::path &file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The program started in working, its dialog up; the rows of its Hidden/Cloaked Windows dialog,
// counted, and the program ended with E&xit.
LRESULT HiddenRowsOfARun(const Folder &working)
{
    Program program;
    program.Start(ExeDirectory(), working);
    HWND dialog = WaitForDialog("Tarnwick II", 1);
    PostMessageA(GetDlgItem(dialog, IDC_MAIN_RESTORE_HIDDEN), BM_CLICK, 0, 0);
    HWND windows = WaitForDialog("Hidden/Cloaked Windows");
    HWND list = GetDlgItem(windows, IDC_HIDDEN_LIST);
    LRESULT rows = 0;
    WaitFor([&] { return (rows = SendMessageA(list, LB_GETCOUNT, 0, 0)) > 0; }, 500);
    PostMessageA(windows, WM_COMMAND, IDCANCEL, 0);
    WaitFor([&] { return !IsWindow(windows); });
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(program.ExitCode(), 0u);
    return rows;
}

} // namespace

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
        ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(hidden); }));
    }
    ASSERT_TRUE(WaitFor([] { return !FindWindowA("BRASK2", "Tarnwick II"); }));
    const std::string record = Contents(file);
    RecoveryRecord read = ParseRecoveryText(record);
    ASSERT_TRUE(read.marked && read.entries.size() == 1) << record;

    read.mark.bootSecond -= 3600;
    std::ofstream(file, std::ios::binary) << FormatRecoveryMark(read.mark) << record.substr(record.find('\n') + 1);
    EXPECT_EQ(HiddenRowsOfARun(working), 0);
    EXPECT_FALSE(fs::exists(file));
    EXPECT_FALSE(IsWindowVisible(hidden));

    DWORD process, thread = GetWindowThreadProcessId(hidden, &process);
    auto line = [](HWND window, DWORD process, DWORD thread, const char *className) {
        return FormatRecoveryLine({uint32_t(uintptr_t(window)), process, thread, className});
    };
    std::ofstream(file, std::ios::binary) << record << line(other, process, thread + 1, "VictimOther")
                                          << line(other, process + 1, thread, "VictimOther")
                                          << line(other, process, thread, "VictimHidden")
                                          << line(shown, process, thread, "VictimShown")
                                          << line(GetWindow(other, GW_CHILD), process, thread, "Button")
                                          << line(hidden, process, thread, "VictimHidden");
    // Only the hidden window, once: had another line been taken, it would be listed as well.
    EXPECT_EQ(HiddenRowsOfARun(working), 1);
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(hidden); }));  // shown asynchronously
    EXPECT_FALSE(fs::exists(file));
}

// brask2.hid held open by another program: the first window that cannot be recorded is said in a
// warning owned by the main dialog, the next ones are not, and the rule still acts; at E&xit the
// file that cannot be removed is said once more.
TEST(RecoveryFile, AFileThatCannotBeWrittenIsSaidOnce)
{
    Folder working;
    Victim victim;
    HWND first = victim.Create("VictimFirst", "hide me");
    HWND second = victim.Create("VictimSecond", "hide me");
    WriteRules(working / "brask2.rul", {MakeRule(Create, Hide, "hide me")});
    HANDLE held = CreateFileA((working / "brask2.hid").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    Program program;
    program.Start(ExeDirectory(), working);
    HWND dialog = WaitForDialog("Tarnwick II", 1);
    DWORD ours = 0;
    GetWindowThreadProcessId(dialog, &ours);
    // A set: a window that moves in the z-order meanwhile may be met twice.
    auto warnings = [&] {
        std::set<HWND> boxes;
        for (HWND box = nullptr; (box = FindWindowExA(nullptr, box, "#32770", "Tarnwick II"));) {
            DWORD process = 0;
            GetWindowThreadProcessId(box, &process);
            if (IsWindowVisible(box) && box != dialog && process == ours)
                boxes.insert(box);
        }
        return std::vector<HWND>(boxes.begin(), boxes.end());
    };
    auto text = [](HWND box) {
        char said[512] = "";
        GetDlgItemTextA(box, 0xFFFF, said, sizeof said);
        return std::string(said);
    };
    PostMessageA(GetDlgItem(dialog, IDC_MAIN_APPLY_RULES), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return warnings().size() == 1; }));
    HWND box = warnings()[0];
    EXPECT_EQ(GetWindow(box, GW_OWNER), dialog);
    EXPECT_NE(text(box).find("brask2.hid"), std::string::npos) << text(box);
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(first) && !IsWindowVisible(second); }));
    EXPECT_FALSE(WaitFor([&] { return warnings().size() > 1; }, 300)) << text(warnings().back());
    PostMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(box); }));

    PostMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return !warnings().empty(); }));
    EXPECT_NE(text(warnings()[0]).find("could not be removed"), std::string::npos);
    PostMessageA(GetDlgItem(warnings()[0], IDOK), BM_CLICK, 0, 0);
    EXPECT_EQ(program.ExitCode(), 0u);
    EXPECT_TRUE(IsWindowVisible(first) || WaitFor([&] { return IsWindowVisible(first); }));
    CloseHandle(held);
}
