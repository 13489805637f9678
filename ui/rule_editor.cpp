// The rule editor (dialog 129): shows one rule, checks the user's input on
// OK, stores the rule in the rule list, has the main dialog redraw its row
// and saves the rule file. What to show and where OK stores it come from the
// main dialog through editorPrefill and editorIndex.
#include "ui/rule_editor.h"

#include "actions/window_texts.h"
#include "common/app_state.h"
#include "common/messages.h"
#include "common/resource.h"
#include "rules/rule_set.h"
#include "ui/save_rules.h"
#include "ui/window_picker.h"

#include <cstring>

std::optional<Rule> editorPrefill;
int editorIndex = -1;
HWND openEditor;

namespace {

// The boxes carry the sort style, so the names go in by position: the
// selected position is then the stored value.
void FillList(HWND dialog, int id, const char *const names[], int count)
{
    HWND box = GetDlgItem(dialog, id);
    for (int i = 0; i < count; ++i)
        SendMessageA(box, CB_INSERTSTRING, i, reinterpret_cast<LPARAM>(names[i]));
}

// A value outside the table (a record from a foreign file) leaves the box
// without a selection, so that OK asks the user for one.
void SelectValue(HWND dialog, int id, int32_t value, int count)
{
    WPARAM position = value >= 0 && value < count ? value : static_cast<WPARAM>(-1);
    SendDlgItemMessageA(dialog, id, CB_SETCURSEL, position, 0);
}

int32_t SelectedValue(HWND dialog, int id)
{
    return static_cast<int32_t>(SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0));
}

void Check(HWND dialog, int id, bool on)
{
    CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED);
}

bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

// A rule handed over from elsewhere need not end its text inside the field.
void ShowText(HWND dialog, int id, const char (&text)[RuleTextSize])
{
    char shown[RuleTextSize];
    size_t length = strnlen(text, RuleTextSize - 1);
    std::memcpy(shown, text, length);
    shown[length] = '\0';
    SetDlgItemTextA(dialog, id, shown);
}

void ShowRule(HWND dialog, const Rule &rule)
{
    SelectValue(dialog, IDC_RULE_EDITOR_EVENT, rule.event, EventCount);
    Check(dialog, IDC_RULE_EDITOR_MATCH_TITLE, rule.matchTitle);
    ShowText(dialog, IDC_RULE_EDITOR_TITLE, rule.title);
    SelectValue(dialog, IDC_RULE_EDITOR_TITLE_MATCH, rule.titleMatch, MatchKindCount);
    Check(dialog, IDC_RULE_EDITOR_TITLE_CASE, rule.titleCase);
    Check(dialog, IDC_RULE_EDITOR_MATCH_CLASS, rule.matchClass);
    ShowText(dialog, IDC_RULE_EDITOR_CLASS, rule.className);
    SelectValue(dialog, IDC_RULE_EDITOR_CLASS_MATCH, rule.classMatch, MatchKindCount);
    Check(dialog, IDC_RULE_EDITOR_CLASS_CASE, rule.classCase);
    SelectValue(dialog, IDC_RULE_EDITOR_ACTION, rule.action, ActionCount);
}

BOOL OnInitDialog(HWND dialog)
{
    openEditor = dialog;
    FillList(dialog, IDC_RULE_EDITOR_EVENT, EventNames, EventCount);
    FillList(dialog, IDC_RULE_EDITOR_TITLE_MATCH, MatchKindNames, MatchKindCount);
    FillList(dialog, IDC_RULE_EDITOR_CLASS_MATCH, MatchKindNames, MatchKindCount);
    FillList(dialog, IDC_RULE_EDITOR_ACTION, ActionNames, ActionCount);
    // A new rule's match boxes stay unchecked and its texts empty.
    ShowRule(dialog, editorPrefill ? *editorPrefill : Rule());
    return TRUE;
}

// Title and class of a window clicked with the picker.
void OnWindowPicked(HWND dialog, HWND window)
{
    WindowTexts texts = ReadWindowTexts(window);
    SetDlgItemTextA(dialog, IDC_RULE_EDITOR_TITLE, texts.title);
    SetDlgItemTextA(dialog, IDC_RULE_EDITOR_CLASS, texts.className);
    Check(dialog, IDC_RULE_EDITOR_MATCH_TITLE, true);
    Check(dialog, IDC_RULE_EDITOR_MATCH_CLASS, true);
    SendDlgItemMessageA(dialog, IDC_RULE_EDITOR_TITLE_MATCH, CB_SETCURSEL, Equals, 0);
    SendDlgItemMessageA(dialog, IDC_RULE_EDITOR_CLASS_MATCH, CB_SETCURSEL, Equals, 0);
}

// Reads the controls into rule in the order of the checks and returns the
// message of the first check that fails, or null.
const char *ReadRule(HWND dialog, Rule &rule)
{
    rule.event = SelectedValue(dialog, IDC_RULE_EDITOR_EVENT);
    if (rule.event < 0)
        return "You must specify a valid event";
    rule.action = SelectedValue(dialog, IDC_RULE_EDITOR_ACTION);
    if (rule.action < 0)
        return "You must specify a valid action";
    rule.matchTitle = Checked(dialog, IDC_RULE_EDITOR_MATCH_TITLE);
    rule.matchClass = Checked(dialog, IDC_RULE_EDITOR_MATCH_CLASS);
    if (!rule.matchTitle && !rule.matchClass)
        return "You must match window title and/or class";
    // A disabled test keeps what the boxes hold, so that editing the rule
    // again shows it as it was left.
    GetDlgItemTextA(dialog, IDC_RULE_EDITOR_TITLE, rule.title, sizeof rule.title);
    rule.titleMatch = SelectedValue(dialog, IDC_RULE_EDITOR_TITLE_MATCH);
    rule.titleCase = Checked(dialog, IDC_RULE_EDITOR_TITLE_CASE);
    GetDlgItemTextA(dialog, IDC_RULE_EDITOR_CLASS, rule.className, sizeof rule.className);
    rule.classMatch = SelectedValue(dialog, IDC_RULE_EDITOR_CLASS_MATCH);
    rule.classCase = Checked(dialog, IDC_RULE_EDITOR_CLASS_CASE);
    if (rule.matchTitle && rule.titleMatch < 0)
        return "You must specify a valid title match type";
    if (rule.matchClass && rule.classMatch < 0)
        return "You must specify a valid class match type";
    if (rule.matchClass && rule.className[0] == '\0')
        return "Please enter a window class.";
    return nullptr;
}

// The main dialog redraws the row from the rule list, so the rule is stored
// first. An index that names no rule gets no row: the main dialog would
// read past the end of the list. A failed save is reported while the editor
// is still open, so that the warning is owned by the dialog the user used.
void Commit(HWND dialog, const Rule &rule)
{
    if (editorIndex >= 0) {
        if (ruleSet.Replace(editorIndex, rule))
            SendMessageA(MainDialog, WM_REFRESHRULES, editorIndex, 0);
    } else if (ruleSet.Append(rule)) {
        SendMessageA(MainDialog, WM_REFRESHRULES, ruleSet.Count() - 1, 0);
    }
    SaveRulesOrWarn(dialog);
    openEditor = nullptr;
    EndDialog(dialog, IDOK);
}

void OnOk(HWND dialog)
{
    Rule rule;
    if (const char *problem = ReadRule(dialog, rule))
        MessageBoxA(dialog, problem, appCaption, MB_OK | MB_ICONWARNING);
    else
        Commit(dialog, rule);
}

void OnCancel(HWND dialog)
{
    openEditor = nullptr;
    EndDialog(dialog, IDCANCEL);
}

BOOL OnCommand(HWND dialog, int id)
{
    switch (id) {
    case IDOK:
        OnOk(dialog);
        return TRUE;
    case IDCANCEL:
        OnCancel(dialog);
        return TRUE;
    case IDC_RULE_EDITOR_GRAB:
        // The automatic check box is already pressed; EndPick releases it.
        BeginPick();
        return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK RuleEditorProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog);
    case WM_COMMAND:
        return OnCommand(dialog, LOWORD(wParam));
    case WM_WINDOWPICKED:
        OnWindowPicked(dialog, reinterpret_cast<HWND>(lParam));
        return FALSE;
    case WM_DESTROY:
        // Ended some other way than OK or Cancel (the program quitting while
        // the editor is open): the picker must not deliver to a dead window.
        if (openEditor == dialog)
            openEditor = nullptr;
        return FALSE;
    }
    return FALSE;
}

} // namespace

INT_PTR ShowRuleEditor(HWND owner)
{
    return DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_RULE_EDITOR), owner, RuleEditorProc, 0);
}
