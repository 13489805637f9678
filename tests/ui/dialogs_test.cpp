// The rule editor, the window picker and the Hidden/Cloaked Windows dialog over the real main dialog,
// opened by its buttons, answered by a modal script or by real input, acting on victim windows.
#include "actions/window_actions.h"
#include "app/startup.h"
#include "common/app_state.h"
#include "common/messages.h"
#include "common/resource.h"
#include "events/window_events.h"
#include "rules/rule_file.h"
#include "rules/rule_text.h"
#include "tests/support/modal_script.h"
#include "tests/support/test_support.h"
#include "ui/main_dialog.h"

#include <commctrl.h>

#include <fstream>

namespace {

using Strings = std::vector<std::string>;
using Step = ModalScript::Step;
const POINT OnTarget = {800, 560};  // inside a window placed at 600,420 by 400x250

HWND Editor() { return ModalScript::FindDialog("Rule Editor", MainDialog); }
bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
void Click(HWND dialog, int id) { PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
void Key(WPARAM key) { PostMessageA(GetFocus(), WM_KEYDOWN, key, 0); }
int LogCount() { return ListView_GetItemCount(GetDlgItem(MainDialog, IDC_MAIN_EVENTS)); }

Strings Rows(HWND listBox)
{
    Strings rows(SendMessageA(listBox, LB_GETCOUNT, 0, 0));
    char text[RuleTextBufferSize];
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i].assign(text, SendMessageA(listBox, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text)));
    return rows;
}
// The editor as the user reads it: event|action|title test|kind|case|title|class test|kind|case|class; a box
// without selection shows nothing.
std::string EditorState(HWND editor)
{
    std::string state;
    for (int id : {IDC_RULE_EDITOR_EVENT, IDC_RULE_EDITOR_ACTION, IDC_RULE_EDITOR_MATCH_TITLE,
                   IDC_RULE_EDITOR_TITLE_MATCH, IDC_RULE_EDITOR_TITLE_CASE, IDC_RULE_EDITOR_TITLE,
                   IDC_RULE_EDITOR_MATCH_CLASS, IDC_RULE_EDITOR_CLASS_MATCH, IDC_RULE_EDITOR_CLASS_CASE,
                   IDC_RULE_EDITOR_CLASS}) {
        bool checkBox = SendDlgItemMessageA(editor, id, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON;
        state += "|" + (checkBox ? Checked(editor, id) ? "on" : "off" : ModalScript::Text(editor, id));
    }
    return state.substr(1);
}
// Waits for the dialog with this caption, owned by the main dialog unless owner says otherwise, and acts.
Step On(const char *caption, std::function<void(HWND)> action, HWND (*owner)() = nullptr)
{
    return [=] {
        HWND dialog = ModalScript::FindDialog(caption, owner ? owner() : MainDialog);
        return dialog && (action(dialog), true);
    };
}
// Waits for the editor, expects it to show this, and acts on it.
Step Shows(const char *shown, std::function<void(HWND)> action)
{
    return On("Rule Editor", [=](HWND editor) {
        EXPECT_EQ(EditorState(editor), shown);
        action(editor);
    });
}
void Command(int id, std::vector<Step> steps)
{
    ModalScript script(std::move(steps));
    SendMessageA(MainDialog, WM_COMMAND, id, 0);
    EXPECT_TRUE(script.Finished());
}
// These rules in the rule list, in brask2.rul and in the main dialog, the first row selected.
void Load(const std::vector<Rule> &rules)
{
    ruleSet.Clear();
    for (const Rule &rule : rules)
        ruleSet.Append(rule);
    ASSERT_TRUE(SaveRules(ruleFileName));
    SendMessageA(MainDialog, WM_REFRESHRULES, static_cast<WPARAM>(-1), 0);
    SendDlgItemMessageA(MainDialog, IDC_MAIN_RULES, LB_SETCURSEL, 0, 0);
}
// The main dialog shows these rules with this row selected, and brask2.rul holds exactly their records.
void ExpectRules(const std::vector<Rule> &rules, int selected)
{
    Strings rows;
    std::string records(rules.size() * RuleRecordSize, '\0');
    for (size_t i = 0; i < rules.size(); ++i) {
        char text[RuleTextBufferSize];
        rows.push_back(FormatRule(rules[i], text));
        EncodeRule(rules[i], reinterpret_cast<unsigned char *>(&records[i * RuleRecordSize]));
    }
    EXPECT_EQ(Rows(GetDlgItem(MainDialog, IDC_MAIN_RULES)), rows);
    EXPECT_EQ(SendDlgItemMessageA(MainDialog, IDC_MAIN_RULES, LB_GETCURSEL, 0, 0), selected);
    std::ifstream file(ruleFileName, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), records);
}
// Real input: keys pressed in order and released in reverse, or a click at OnTarget.
void Keys(std::vector<BYTE> keys)
{
    for (size_t i = 0, n = keys.size(); i < 2 * n; ++i)
        keybd_event(keys[i < n ? i : 2 * n - 1 - i], 0, i < n ? 0 : KEYEVENTF_KEYUP, 0);
}
void MouseClick(DWORD down = MOUSEEVENTF_LEFTDOWN, DWORD up = MOUSEEVENTF_LEFTUP)
{
    DWORD x = OnTarget.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    DWORD y = OnTarget.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    for (DWORD button : {down, up})
        mouse_event(MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE | button, x, y, 0, 0);
}
// Renames itself when minimized: its log row shows whether its texts were read before or after the action.
LRESULT CALLBACK RenamingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SIZE && wParam == SIZE_MINIMIZED)
        SetWindowTextA(window, "After");
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

// The program's windows made as the application shell makes them; the rule file in the temporary folder.
class DialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
        InitCommonControlsEx(&controls);
        RegisterWindowClasses(appInstance = GetModuleHandleA(nullptr));
        WNDCLASSA renaming = {0, RenamingProc, 0, 0, appInstance, {}, {}, {}, {}, "Renaming"};
        RegisterClassA(&renaming);
        crossCursor = LoadCursorA(nullptr, IDC_CROSS);
        char temp[MAX_PATH];
        ASSERT_TRUE(GetTempPathA(sizeof temp, temp) && SetCurrentDirectoryA(temp) && victim.Running());
        int width = GetSystemMetrics(SM_CXFULLSCREEN), height = GetSystemMetrics(SM_CYFULLSCREEN);
        MainWindow = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 9, 9, {}, {}, appInstance, {});
        PickerWindow = CreateWindowExA(0, pickerClass, pickerTitle, WS_POPUP, 0, 0, width, height, {}, {},
                                       appInstance, {});
        MainDialog = CreateMainDialog();
    }
    // Cloaked windows go back to the desktop first: they would die with MainWindow otherwise.
    void TearDown() override
    {
        RestoreAllWindows();
        for (HWND window : {MainDialog, PickerWindow, MainWindow})
            DestroyWindow(window);
        DeleteFileA(ruleFileName);
    }
    Victim victim;
};

// Rules: {event, title test, title, kind, case, class test, class, kind, case, action}. OK reports the first
// failing check of a rule that fails several, over an editor left open as it was; a value outside its table,
// as a foreign file may hold, shows as an empty box. Cancel, Escape and the close box drop any change.
TEST_F(DialogTest, RuleEditor)
{
    const std::tuple<Rule, const char *, const char *> invalid[] = {
        {{5, false, "", Equals, true, false, "", Equals, true, 9}, "You must specify a valid event",
         "||off|Equals|on||off|Equals|on|"},
        {{Activate, false, "", Equals, true, false, "", Equals, true, 8}, "You must specify a valid action",
         "Activate||off|Equals|on||off|Equals|on|"},
        {{Activate, false, "", 9, true, false, "", 9, true, Hide}, "You must match window title and/or class",
         "Activate|Hide|off||on||off||on|"},
        {{Activate, true, "", 4, true, true, "", 9, true, Hide}, "You must specify a valid title match type",
         "Activate|Hide|on||on||on||on|"},
        {{Activate, false, "", 9, true, true, "", 9, true, Hide}, "You must specify a valid class match type",
         "Activate|Hide|off||on||on||on|"},
        {{Activate, false, "", 9, true, true, "", EndsWith, true, Hide}, "Please enter a window class.",
         "Activate|Hide|off||on||on|Ends with|on|"}};
    void (*const ends[])(HWND) = {[](HWND editor) { Click(editor, IDCANCEL); }, [](HWND) { Key(VK_ESCAPE); },
                                  [](HWND editor) { PostMessageA(editor, WM_SYSCOMMAND, SC_CLOSE, 0); }};
    size_t turn = 0;
    for (const auto &[rule, message, shown] : invalid) {
        SCOPED_TRACE(message);
        Load({rule});
        // The warning is closed at once, so that the last step finds the editor alone again.
        auto warning = [message = message](HWND box) {
            EXPECT_EQ(ModalScript::Text(box, 0xFFFF), message);
            SendDlgItemMessageA(box, IDOK, BM_CLICK, 0, 0);
        };
        auto changeThenEnd = [end = ends[turn++ % 3]](HWND editor) {
            SetDlgItemTextA(editor, IDC_RULE_EDITOR_CLASS, "Changed");
            end(editor);
        };
        Command(IDC_MAIN_EDIT, {Shows(shown, [](HWND editor) { Click(editor, IDOK); }),
                                On(appCaption, warning, Editor), Shows(shown, changeThenEnd)});
        ExpectRules({rule}, 0);
    }

    // Edit, then a pick on the button of a victim window: its title and class, both tests on with Equals, the
    // rest left alone, nothing acted on or logged, the editor's toggle released; Enter replaces the rule.
    Rule loaded = {Activate, false, "kept while off", Contains, false, false, "", BeginsWith, true, Cloak};
    Rule edited = {Activate, true, "Pick me", Equals, false, true, "PickerTarget", Equals, true, Cloak};
    Load({loaded});
    HWND target = victim.Create("PickerTarget", "Pick me");
    SetWindowPos(target, HWND_TOP, 600, 420, 400, 250, 0);  // clear of where the editor opens
    ASSERT_TRUE(WaitFor([&] { return WindowFromPoint(OnTarget) == GetDlgItem(target, 1); }));
    auto picked = [] { return !IsWindowVisible(PickerWindow) && !Checked(Editor(), IDC_RULE_EDITOR_GRAB); };
    Command(IDC_MAIN_EDIT, {On("Rule Editor", [](HWND editor) { Click(editor, IDC_RULE_EDITOR_GRAB); }),
                            [] { return GetCapture() == PickerWindow && (MouseClick(), true); },
                            [&] { return picked() && (Key(VK_RETURN), true); }});
    EXPECT_EQ(LogCount(), 0);
    ExpectRules({edited}, 0);

    // "Add Rule" on an event row shows its event (Activate only from an Activate row), title and class, both
    // tests on with Equals and case; OK appends the rule with its title cut to 79 characters.
    LogEvent(MainWindow, Create, "made", "Made");
    LogEvent(MainWindow, Activate, "activated", "Activated");
    LogAction(MainWindow, Cloak, "acted", "Acted");  // newest on top
    auto mark = [](int row) { ListView_SetSelectionMark(GetDlgItem(MainDialog, IDC_MAIN_EVENTS), row); };
    for (auto [row, shown] : {std::pair(2, "Create|Close|on|Equals|on|made|on|Equals|on|Made"),
                              std::pair(0, "Create|Close|on|Equals|on|acted|on|Equals|on|Acted")}) {
        mark(row);
        Command(IDC_MAIN_ADD_FROM_EVENT, {Shows(shown, [](HWND editor) { Click(editor, IDCANCEL); })});
    }
    mark(1);
    std::string title = std::string(79, 't') + "cut";
    Command(IDC_MAIN_ADD_FROM_EVENT,
            {Shows("Activate|Close|on|Equals|on|activated|on|Equals|on|Activated", [&](HWND editor) {
                SetDlgItemTextA(editor, IDC_RULE_EDITOR_TITLE, title.c_str());
                Click(editor, IDOK);
            })});
    Rule added = {Activate, true, "", Equals, true, true, "Activated", Equals, true, Close};
    title.copy(added.title, 79);
    ExpectRules({edited, added}, 1);
}

// Keys, the right button and a click where no window is (off the one screen here) end picking without
// effect; Alt+F4 reaches the picker as a close request, which must not destroy it. A left click acts with the
// chosen action and logs the window as the action left it.
TEST_F(DialogTest, WindowPicker)
{
    HWND window = CreateWindowExA(0, "Renaming", "Before", WS_POPUP | WS_VISIBLE, 600, 420, 400, 250, {}, {},
                                  appInstance, {});
    ASSERT_TRUE(WaitFor([&] { return WindowFromPoint(OnTarget) == window; }) && !WindowFromPoint({-99, -99}));
    const std::tuple<const char *, int, void (*)()> ways[] = {
        {"Escape", Hide, [] { Keys({VK_ESCAPE}); }},
        {"letter", Hide, [] { Keys({'A'}); }},
        {"Alt+F4", Hide, [] { Keys({VK_MENU, VK_F4}); }},
        {"right click", Hide, [] { MouseClick(MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP); }},
        {"no window", Hide, [] { PostMessageA(PickerWindow, WM_LBUTTONDOWN, 0, MAKELPARAM(-99, -99)); }},
        {"left click", Smash, [] { MouseClick(); }}};
    for (const auto &[name, action, end] : ways) {
        SCOPED_TRACE(name);
        SendDlgItemMessageA(MainDialog, IDC_MAIN_ACTION, CB_SETCURSEL, action, 0);
        SendDlgItemMessageA(MainDialog, IDC_MAIN_BRASK, BM_CLICK, 0, 0);
        ASSERT_TRUE(GetCapture() == PickerWindow && Checked(MainDialog, IDC_MAIN_BRASK));
        end();
        ASSERT_TRUE(WaitFor([] { return !IsWindowVisible(PickerWindow); }));
        EXPECT_TRUE(GetCapture() != PickerWindow && HiddenList.Count() == 0);
        EXPECT_FALSE(Checked(MainDialog, IDC_MAIN_BRASK));
    }
    char title[RuleTextSize] = "";
    ListView_GetItemText(GetDlgItem(MainDialog, IDC_MAIN_EVENTS), 0, 1, title, sizeof title);
    EXPECT_TRUE(LogCount() == 1 && std::string(title) == "After");
    DestroyWindow(window);
}
