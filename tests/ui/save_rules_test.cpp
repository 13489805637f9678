// A save that fails after Add or Delete is reported in a box owned by the
// dialog the user changed the rules in, and loses nothing: brask2.rul stays as
// it was, the rules as the user left them, and the next save writes all.
#include "common/error_text.h"
#include "tests/ui/dialog_test.h"

namespace {

using RuleSaving = DialogTest;

// Closes the warning owned by owner (the main dialog if null) once it names
// the file and the reason another program's hold gives.
ModalScript::Step Warning(HWND (*owner)() = nullptr)
{
    std::string reason = SystemErrorText(ERROR_ACCESS_DENIED);
    std::string text = "The rules could not be saved to " + std::string(ruleFileName) + ".\n\n" +
                       reason.erase(reason.find_last_not_of("\r\n") + 1) + "\n";
    auto close = [text](HWND box) {
        EXPECT_EQ(ModalScript::Text(box, 0xFFFF).substr(0, text.size()), text);
        SendDlgItemMessageA(box, IDOK, BM_CLICK, 0, 0);
    };
    return On(appCaption, close, owner);
}

TEST_F(RuleSaving, AFailedSaveWarnsInTheDialogThatSavedAndLosesNothing)
{
    Load({{Create, true, "first"}, {Create, true, "second"}});
    const std::string before = RuleFileText();
    // Another program holds the file open and refuses writing and deleting.
    HANDLE held = CreateFileA(ruleFileName, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    auto add = [](HWND editor) {
        CheckDlgButton(editor, IDC_RULE_EDITOR_MATCH_TITLE, BST_CHECKED);
        SetDlgItemTextA(editor, IDC_RULE_EDITOR_TITLE, "added");
        Click(editor, IDOK);
    };
    Command(IDC_MAIN_ADD, {On("Rule Editor", add), Warning(Editor)});
    SendDlgItemMessageA(MainDialog, IDC_MAIN_RULES, LB_SETCURSEL, 0, 0);
    Command(IDC_MAIN_DELETE, {Warning()});
    EXPECT_TRUE(ruleSet.Count() == 2 && ruleSet.At(1).title == std::string("added"));
    EXPECT_EQ(RuleFileText(), before);

    CloseHandle(held);
    Command(IDC_MAIN_DELETE, {});
    ExpectRules({ruleSet.At(0)}, 0);
    // A failure without a system text shows as its code, never as an empty box.
    EXPECT_EQ(SystemErrorText(0x20000001), "Error 536870913 (0x20000001)");
}

} // namespace
