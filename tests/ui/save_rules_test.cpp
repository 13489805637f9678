// A save that fails after Add or Delete is reported in a box owned by the dialog the user changed
// the rules in, and loses nothing: brask2.rul stays as it was, the rules as the user left them, and
// the next save writes all.
#include "common/app_state.h"
#include "common/error_text.h"
#include "common/messages.h"
#include "common/resource.h"
#include "rules/rule_file.h"
#include "tests/support/modal_script.h"
#include "ui/main_dialog.h"

#include <fstream>

static std::string FileText()
{
    std::ifstream in(ruleFileName, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
static HWND Editor() { return ModalScript::FindDialog("Rule Editor", MainDialog); }
// Closes the warning owned by owner once it names the file and the reason another program's hold
// gives.
static ModalScript::Step Warning(HWND (*owner)())
{
    return [owner] {
        HWND box = owner() ? ModalScript::FindDialog(appCaption, owner()) : nullptr;
        std::string reason = SystemErrorText(ERROR_ACCESS_DENIED);
        std::string text = "The rules could not be saved to brask2.rul.\n\n" +
                           reason.erase(reason.find_last_not_of("\r\n") + 1) + "\n";
        EXPECT_TRUE(!box || ModalScript::Text(box, 0xFFFF).rfind(text, 0) == 0);
        return box && SendDlgItemMessageA(box, IDOK, BM_CLICK, 0, 0) == 0;
    };
}
static void Command(int id, std::vector<ModalScript::Step> steps)
{
    ModalScript script(std::move(steps));
    SendDlgItemMessageA(MainDialog, IDC_MAIN_RULES, LB_SETCURSEL, 0, 0);
    SendMessageA(MainDialog, WM_COMMAND, id, 0);
    EXPECT_TRUE(script.Finished());
}

TEST(RuleSaving, AFailedSaveWarnsInTheDialogThatSavedAndLosesNothing)
{
    char temp[MAX_PATH];
    ASSERT_TRUE(GetTempPathA(sizeof temp, temp) && SetCurrentDirectoryA(temp));
    appInstance = GetModuleHandleA(nullptr);
    MainDialog = CreateMainDialog();
    ruleSet.Clear();
    ruleSet.Append({Create, true, "first"});
    ruleSet.Append({Create, true, "second"});
    ASSERT_TRUE(SaveRules(ruleFileName));
    SendMessageA(MainDialog, WM_REFRESHRULES, static_cast<WPARAM>(-1), 0);
    const std::string before = FileText();

    // Another program holds the file open and refuses writing and deleting.
    HANDLE held = CreateFileA(ruleFileName, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    auto add = [] {
        CheckDlgButton(Editor(), IDC_RULE_EDITOR_MATCH_TITLE, BST_CHECKED);
        SetDlgItemTextA(Editor(), IDC_RULE_EDITOR_TITLE, "added");
        return Editor() && PostMessageA(GetDlgItem(Editor(), IDOK), BM_CLICK, 0, 0);
    };
    Command(IDC_MAIN_ADD, {add, Warning(Editor)});
    Command(IDC_MAIN_DELETE, {Warning([] { return MainDialog; })});
    EXPECT_TRUE(ruleSet.Count() == 2 && ruleSet.At(1).title == std::string("added"));
    EXPECT_EQ(FileText(), before);

    CloseHandle(held);
    Command(IDC_MAIN_DELETE, {});
    const std::string after = FileText();
    EXPECT_TRUE(after.size() == RuleRecordSize && after.find("added") != std::string::npos);
    DestroyWindow(std::exchange(MainDialog, nullptr));
    DeleteFileA(ruleFileName);
}
