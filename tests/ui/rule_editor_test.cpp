// The rule editor over the real main dialog: what OK refuses and in which
// order, what it shows, and a rule taken from a window with the picker.
#include "tests/ui/dialog_test.h"

namespace {

using RuleEditor = DialogTest;

// OK reports the first failing check of a rule that fails several, and leaves
// the editor as it was; Escape then drops any change. The values outside
// their tables are those a foreign rule file may hold.
TEST_F(RuleEditor, OkRefusesAnInvalidRuleWithItsFirstProblem)
{
    const std::pair<Rule, const char *> invalid[] = {
        {{5, false, "", 0, true, false, "", 0, true, 9}, "You must specify a valid event"},
        {{Activate, false, "", 0, true, false, "", 0, true, 8}, "You must specify a valid action"},
        {{Activate, false, "", 9, true, false, "", 9, true, Hide},
         "You must match window title and/or class"},
        {{Activate, true, "", 4, true, true, "", 9, true, Hide},
         "You must specify a valid title match type"},
        {{Activate, false, "", 9, true, true, "", 9, true, Hide},
         "You must specify a valid class match type"},
        {{Activate, false, "", 9, true, true, "", EndsWith, true, Hide},
         "Please enter a window class."}};
    for (const auto &[rule, message] : invalid) {
        SCOPED_TRACE(message);
        Load({rule});
        std::string shown;
        auto ok = [&shown](HWND editor) {
            shown = EditorState(editor);
            Click(editor, IDOK);
        };
        auto warned = [message = message](HWND box) {
            EXPECT_EQ(ModalScript::Text(box, 0xFFFF), message);
            SendDlgItemMessageA(box, IDOK, BM_CLICK, 0, 0);
        };
        auto changeThenEscape = [&shown](HWND editor) {
            EXPECT_EQ(EditorState(editor), shown);
            SetDlgItemTextA(editor, IDC_RULE_EDITOR_CLASS, "Changed");
            ModalScript::Key(editor, VK_ESCAPE);
        };
        Command(IDC_MAIN_EDIT, {On("Rule Editor", ok), On(appCaption, warned, Editor),
                                On("Rule Editor", changeThenEscape)});
        ExpectRules({rule}, 0);
    }
}

// Edit shows the rule. A pick on the button of a victim window takes its
// title and class, turns both tests on with Equals and leaves the rest alone;
// it acts on nothing, logs nothing and releases the editor's toggle. Enter
// then replaces the rule.
TEST_F(RuleEditor, PickedWindowFillsTheRule)
{
    Load({{Activate, false, "kept while off", Contains, false, false, "", BeginsWith, true, Hide}});
    HWND target = Target("Pick me", "PickerTarget");
    // Clear of where the editor opens.
    SetWindowPos(target, HWND_TOP, 600, 400, 0, 0, SWP_NOSIZE);
    const POINT onTarget = {800, 560};
    ASSERT_TRUE(WaitFor([&] { return WindowFromPoint(onTarget) == GetDlgItem(target, 1); }));
    auto grab = [](HWND editor) {
        EXPECT_EQ(EditorState(editor),
                  "Activate|Hide|off|Contains|off|kept while off|off|Begins with|on|");
        Click(editor, IDC_RULE_EDITOR_GRAB);
    };
    auto pick = [&] {
        if (GetCapture() != PickerWindow)
            return false;
        PostMessageA(PickerWindow, WM_LBUTTONDOWN, 0, MAKELPARAM(onTarget.x, onTarget.y));
        return true;
    };
    auto enter = [] {
        if (IsWindowVisible(PickerWindow) || Checked(Editor(), IDC_RULE_EDITOR_GRAB))
            return false;
        ModalScript::Key(Editor(), VK_RETURN);
        return true;
    };
    Command(IDC_MAIN_EDIT, {On("Rule Editor", grab), pick, enter});
    EXPECT_EQ(LogCount(), 0);
    ExpectRules({{Activate, true, "Pick me", 0, false, true, "PickerTarget", 0, true, Hide}}, 0);
}

} // namespace
