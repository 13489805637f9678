// The end of the real brask2.exe while another program hangs.
#include "common/resource.h"
#include "tests/app/black_box.h"

#include <gtest/gtest.h>

using namespace black_box;

namespace {

// The victim's thread takes no messages for 4 s while one of its windows is
// hidden and another cloaked: each way of ending the program ends it well
// before, and the hidden window shows once the victim runs again. (The
// cloaked one cannot be given back without the victim's thread: under Wine
// it is destroyed when the victim runs again, its parent being gone.)
TEST(ProgramEnd, EndsWithinItsBoundWhileAnotherProgramHangs)
{
    const struct { const char *way; bool toDialog; UINT message; WPARAM wParam; } endings[] = {
        {"E&xit", true, BM_CLICK, 0},
        {"close request", false, WM_CLOSE, 0},
        {"End Program command", false, WM_COMMAND, IDM_END_PROGRAM},
    };
    for (const auto &ending : endings) {
        SCOPED_TRACE(ending.way);
        Folder working;
        Victim victim;
        HWND hidden = victim.Create("VictimHidden", "hide me"), cloaked = victim.Create("VictimCloaked", "cloak me");
        WriteRules(working / "brask2.rul", {TitleRule(Create, "hide me", Hide), TitleRule(Activate, "cloak me", Cloak)});
        Program program;
        program.Start(ExeDirectory(), working);
        HWND dialog = WaitForDialog("Tarnwick II", 2), mainWindow = FindWindowA("BRASK2", "Tarnwick II");
        PostMessageA(GetDlgItem(dialog, IDC_MAIN_APPLY_RULES), BM_CLICK, 0, 0);
        EXPECT_TRUE(
            WaitFor([&] { return !IsWindowVisible(hidden) && GetAncestor(cloaked, GA_PARENT) == mainWindow; }));
        EXPECT_EQ(victim.Send("hang 4000"), 1);
        PostMessageA(ending.toDialog ? GetDlgItem(dialog, IDCANCEL) : mainWindow, ending.message, ending.wParam, 0);
        EXPECT_EQ(program.ExitCode(3000), 0u);
        victim.Send("hang 0");
        EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(hidden); }));
        program.ExitCode();
    }
}

} // namespace
