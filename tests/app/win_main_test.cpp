// The end of the real brask2.exe while another program hangs.
#include "common/resource.h"
#include "tests/app/black_box.h"

#include <gtest/gtest.h>

using namespace black_box;

// The victim's thread takes no messages for 4 s while one of its windows is hidden and another
// cloaked: E&xit ends the program well before (every way of ending shares that end; app_test.cpp
// tries each one), and the hidden window shows once the victim runs again. The cloaked one dies
// under Wine with its parent, which the victim's thread could not take it from.
TEST(ProgramEnd, EndsWithinItsBoundWhileAnotherProgramHangs)
{
    Folder working;
    Victim victim;
    HWND hidden = victim.Create("VictimHidden", "hide me");
    HWND cloaked = victim.Create("VictimCloaked", "cloak me");
    WriteRules(working / "brask2.rul",
               {TitleRule(Create, "hide me", Hide), TitleRule(Activate, "cloak me", Cloak)});
    Program program;
    program.Start(ExeDirectory(), working);
    HWND dialog = WaitForDialog("Tarnwick II", 2);
    HWND mainWindow = FindWindowA("BRASK2", "Tarnwick II");
    PostMessageA(GetDlgItem(dialog, IDC_MAIN_APPLY_RULES), BM_CLICK, 0, 0);
    auto acted = [&] {
        return !IsWindowVisible(hidden) && GetAncestor(cloaked, GA_PARENT) == mainWindow;
    };
    ASSERT_TRUE(WaitFor(acted));
    EXPECT_EQ(victim.Send("hang 4000"), 1);
    PostMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
    EXPECT_EQ(program.ExitCode(3000), 0u);
    victim.Send("hang 0");
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(hidden); }));
    program.ExitCode();  // not killed: its hook would stay in Wine's chain
}
