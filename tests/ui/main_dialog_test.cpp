// The main dialog's own commands: import, delete, the row refresh the rule
// editor asks for, a new rule from an event row, clearing the event list.
#include "ui/main_dialog.h"

#include "events/window_events.h"
#include "tests/ui/dialog_test.h"
#include "ui/window_picker.h"

#include <cstdio>

static const Folder ruleFolder;

// The real dialogs over a MainWindow of the test's own.
void CreateTestWindows()
{
    std::snprintf(ruleFileName, sizeof ruleFileName, "%s", (ruleFolder / "brask2.rul").c_str());
    RegisterPickerClass(appInstance);  // fails, harmlessly, after the first test
    crossCursor = LoadCursorA(nullptr, IDC_CROSS);
    MainWindow = OwnWindow();
    PickerWindow = CreateWindowExA(0, pickerClass, pickerTitle, WS_POPUP, 0, 0,
                                   GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                   nullptr, nullptr, appInstance, nullptr);
    MainDialog = CreateMainDialog();
}

namespace {

using MainDialogTest = DialogTest;
namespace fs = std::filesystem;

// Import, browsed as a user would (into the folder, then to the file in it),
// appends without saving and leaves the working directory where it was.
// Delete saves, and the row that followed moves up into the selection; none
// follows the last.
TEST_F(MainDialogTest, ImportAppendsAndDeleteSaves)
{
    const Rule first = {Create, true, "first"}, second = {Create, true, "second"};
    const Rule imported = {Activate, true, "imported"};
    std::vector<Rule> rules = {first, second, imported};
    Folder elsewhere;
    Load({imported});
    ASSERT_TRUE(SaveRules((elsewhere / "more.rul").c_str()));
    Load({first, second});
    const fs::path working = fs::current_path();
    auto enter = [](std::string text) {
        return On("Open", [text](HWND open) {
            SetDlgItemTextA(open, 1148, text.c_str());
            Click(open, IDOK);
        });
    };
    auto arrived = [&] { return fs::equivalent(fs::current_path(), elsewhere.path); };
    Command(IDC_MAIN_IMPORT, {enter(elsewhere.path.string()), arrived, enter("more.rul")});
    EXPECT_EQ(ListRows(GetDlgItem(MainDialog, IDC_MAIN_RULES)).size(), 3u);
    EXPECT_EQ(fs::file_size(ruleFileName), 2 * RuleRecordSize);
    EXPECT_TRUE(fs::equivalent(fs::current_path(), working));

    for (auto [row, selection] : {std::pair(0, 0), std::pair(1, LB_ERR), std::pair(0, LB_ERR)}) {
        SendDlgItemMessageA(MainDialog, IDC_MAIN_RULES, LB_SETCURSEL, row, 0);
        SendMessageA(MainDialog, WM_COMMAND, IDC_MAIN_DELETE, 0);
        rules.erase(rules.begin() + row);
        ExpectRules(rules, selection);
    }
}

// Five rules listed row by row: 3 may follow row 2, but 4 would leave a gap
// in the list and 5 and beyond name no rule; nor does 2 once only two rules
// are left.
TEST_F(MainDialogTest, RefreshOfARowThatCannotMirrorARuleIsIgnored)
{
    HWND list = GetDlgItem(MainDialog, IDC_MAIN_RULES);
    for (char title : std::string("abcde"))
        ruleSet.Append({Create, true, {title}});
    for (WPARAM row : {0, 1, 2, 4, 5, 1000000}) {
        SendMessageA(MainDialog, WM_REFRESHRULES, row, 0);
        EXPECT_EQ(ListRows(list).size(), std::min<size_t>(row + 1, 3));
        EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), std::min<LRESULT>(row, 2));
    }
    const std::vector<std::string> rows = ListRows(list);
    while (ruleSet.Count() > 2)
        ruleSet.Erase(0);
    SendMessageA(MainDialog, WM_REFRESHRULES, 2, 0);
    EXPECT_EQ(ListRows(list), rows);
}

// "Add Rule" on an event row shows its event (Activate only from an Activate
// row), title and class, both tests on with Equals and case; OK appends the
// rule with its title cut to 79 characters.
TEST_F(MainDialogTest, AddRuleFromAnEventRow)
{
    LogEvent(MainWindow, Create, "made", "Made");
    LogEvent(MainWindow, Activate, "activated", "Activated");
    LogAction(MainWindow, Cloak, "acted", "Acted");  // newest on top
    const std::string title = std::string(79, 't') + "cut";
    const std::pair<int, const char *> rows[] = {
        {2, "Create|Close|on|Equals|on|made|on|Equals|on|Made"},
        {0, "Create|Close|on|Equals|on|acted|on|Equals|on|Acted"},
        {1, "Activate|Close|on|Equals|on|activated|on|Equals|on|Activated"}};
    for (const auto &row : rows) {
        ListView_SetSelectionMark(GetDlgItem(MainDialog, IDC_MAIN_EVENTS), row.first);
        Command(IDC_MAIN_ADD_FROM_EVENT, {On("Rule Editor", [&](HWND editor) {
                    EXPECT_EQ(EditorState(editor), row.second);
                    SetDlgItemTextA(editor, IDC_RULE_EDITOR_TITLE, title.c_str());
                    Click(editor, row.first == 1 ? IDOK : IDCANCEL);
                })});
    }
    Rule added = {Activate, true, "", Equals, true, true, "Activated", Equals, true, Close};
    title.copy(added.title, 79);
    ExpectRules({added}, 0);
    SendMessageA(MainDialog, WM_COMMAND, IDC_MAIN_CLEAR_LIST, 0);
    EXPECT_EQ(LogCount(), 0);
}

} // namespace
