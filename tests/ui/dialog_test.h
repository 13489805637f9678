// What the tests of the main dialog, the rule editor and the window picker
// share: the steps of their modal scripts, and the rules as the main dialog
// and the rule file hold them.
#pragma once

#include "common/messages.h"
#include "common/resource.h"
#include "rules/rule_file.h"
#include "rules/rule_text.h"
#include "tests/support/modal_script.h"
#include "tests/support/window_test.h"

#include <fstream>

using DialogTest = WindowTest;

inline HWND Editor() { return ModalScript::FindDialog("Rule Editor", MainDialog); }
inline bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
inline void Click(HWND dialog, int id) { PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
inline int LogCount() { return ListView_GetItemCount(GetDlgItem(MainDialog, IDC_MAIN_EVENTS)); }

// Waits for the dialog with this caption, owned by the main dialog unless
// owner says otherwise, and acts on it.
inline ModalScript::Step On(const char *caption, std::function<void(HWND)> action,
                            HWND (*owner)() = nullptr)
{
    return [=] {
        HWND dialog = ModalScript::FindDialog(caption, owner ? owner() : MainDialog);
        if (dialog)
            action(dialog);
        return dialog != nullptr;
    };
}

// Sends the main dialog a command that opens a modal dialog, which the steps answer.
inline void Command(int id, std::vector<ModalScript::Step> steps)
{
    ModalScript script(std::move(steps));
    SendMessageA(MainDialog, WM_COMMAND, id, 0);
    EXPECT_TRUE(script.Finished());
}

// The editor as the user reads it: event|action|title test|kind|case|title|
// class test|kind|case|class; a box without selection shows nothing.
inline std::string EditorState(HWND editor)
{
    std::string state;
    for (int id : {IDC_RULE_EDITOR_EVENT, IDC_RULE_EDITOR_ACTION, IDC_RULE_EDITOR_MATCH_TITLE,
                   IDC_RULE_EDITOR_TITLE_MATCH, IDC_RULE_EDITOR_TITLE_CASE, IDC_RULE_EDITOR_TITLE,
                   IDC_RULE_EDITOR_MATCH_CLASS, IDC_RULE_EDITOR_CLASS_MATCH,
                   IDC_RULE_EDITOR_CLASS_CASE, IDC_RULE_EDITOR_CLASS}) {
        bool checkBox = SendDlgItemMessageA(editor, id, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON;
        std::string value = ModalScript::Text(editor, id);
        state += "|" + (checkBox ? Checked(editor, id) ? "on" : "off" : value);
    }
    return state.substr(1);
}

inline std::string RuleFileText()
{
    std::ifstream file(ruleFileName, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// These rules in the rule list, in the rule file and in the main dialog, the
// first row selected.
inline void Load(const std::vector<Rule> &rules)
{
    ruleSet.Clear();
    for (const Rule &rule : rules)
        ruleSet.Append(rule);
    ASSERT_TRUE(SaveRules(ruleFileName));
    SendMessageA(MainDialog, WM_REFRESHRULES, static_cast<WPARAM>(-1), 0);
    SendDlgItemMessageA(MainDialog, IDC_MAIN_RULES, LB_SETCURSEL, 0, 0);
}

// The main dialog shows these rules with this row selected, and the rule file
// holds exactly their records.
inline void ExpectRules(const std::vector<Rule> &rules, int selected)
{
    std::vector<std::string> rows;
    std::string records(rules.size() * RuleRecordSize, '\0');
    for (size_t i = 0; i < rules.size(); ++i) {
        char text[RuleTextBufferSize];
        rows.push_back(FormatRule(rules[i], text));
        EncodeRule(rules[i], reinterpret_cast<unsigned char *>(&records[i * RuleRecordSize]));
    }
    EXPECT_EQ(ListRows(GetDlgItem(MainDialog, IDC_MAIN_RULES)), rows);
    EXPECT_EQ(SendDlgItemMessageA(MainDialog, IDC_MAIN_RULES, LB_GETCURSEL, 0, 0), selected);
    EXPECT_EQ(RuleFileText(), records);
}
