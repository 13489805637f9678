// MainDialogProc on a real dialog from resource 130, in a working directory
// of the test's own: initialisation, the rule list kept in step with the
// rules, import through the real open-file dialog, and the hand-over to the
// rule editor. Delete, hiding and ending are tested on the real program
// (tests/app).
#include "actions/window_actions.h"
#include "app/app_state.h"
#include "app/messages.h"
#include "app/resource.h"
#include "events/window_events.h"
#include "rules/rule_file.h"
#include "rules/rule_set.h"
#include "rules/rule_text.h"
#include "tests/support/modal_script.h"
#include "tests/support/test_support.h"
#include "ui/main_dialog.h"
#include "ui/rule_editor.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

Rule TitleRule(int32_t event, const char *title, int32_t action)
{
    Rule rule;
    rule.event = event;
    rule.matchTitle = true;
    lstrcpynA(rule.title, title, sizeof rule.title);
    rule.action = action;
    return rule;
}

Bytes Record(const Rule &rule)
{
    Bytes record(RuleRecordSize);
    EncodeRule(rule, record.data());
    return record;
}

Bytes FileOf(const std::vector<Rule> &rules)
{
    Bytes bytes;
    for (const Rule &rule : rules) {
        Bytes record = Record(rule);
        bytes.insert(bytes.end(), record.begin(), record.end());
    }
    return bytes;
}

Bytes ReadBytes(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

std::string Text(const Rule &rule)
{
    char text[RuleTextBufferSize];
    return FormatRule(rule, text);
}

std::vector<std::string> Texts(const std::vector<Rule> &rules)
{
    std::vector<std::string> texts;
    for (const Rule &rule : rules)
        texts.push_back(Text(rule));
    return texts;
}

const std::vector<Rule> Three = {TitleRule(Create, "first", Close), TitleRule(Create, "second", Hide),
                                 TitleRule(Activate, "third", Cloak)};

class MainDialogTest : public testing::Test {
protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
        InitCommonControlsEx(&controls);
        GetCurrentDirectoryA(sizeof previousDirectory_, previousDirectory_);
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        directory_ = std::string(temp) + "tarnwick-main-dialog-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(directory_.c_str(), nullptr);
        ASSERT_TRUE(SetCurrentDirectoryA(directory_.c_str()));
        DeleteFileA(ruleFileName);

        ruleSet.Clear();
        editorPrefill.reset();
        editorIndex = -1;
        appInstance = GetModuleHandleA(nullptr);
        MainWindow = CreateWindowExA(0, "STATIC", "main window under test", WS_POPUP, 0, 0, 1, 1, nullptr,
                                     nullptr, appInstance, nullptr);
        MainDialog = CreateDialogParamA(appInstance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainDialogProc, 0);
        ASSERT_TRUE(MainWindow && MainDialog);
    }

    void TearDown() override
    {
        DestroyWindow(MainDialog);
        DestroyWindow(MainWindow);
        MainDialog = MainWindow = nullptr;
        ruleSet.Clear();
        DeleteFileA(ruleFileName);
        DeleteFileA("other.rul");
        SetCurrentDirectoryA(previousDirectory_);
        RemoveDirectoryA(directory_.c_str());
    }

    static HWND Item(int id) { return GetDlgItem(MainDialog, id); }
    static LRESULT Command(int id) { return SendMessageA(MainDialog, WM_COMMAND, id, 0); }
    static LRESULT Refresh(int row) { return SendMessageA(MainDialog, WM_REFRESHRULES, row, 0); }

    static void Load(const std::vector<Rule> &rules)
    {
        for (const Rule &rule : rules)
            ruleSet.Append(rule);
        Refresh(-1);
    }

    static std::vector<std::string> Rows()
    {
        std::vector<std::string> rows;
        int count = static_cast<int>(SendMessageA(Item(IDC_MAIN_RULES), LB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            char text[RuleTextBufferSize] = "";
            SendMessageA(Item(IDC_MAIN_RULES), LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
            rows.push_back(text);
        }
        return rows;
    }

    static int Selection() { return static_cast<int>(SendMessageA(Item(IDC_MAIN_RULES), LB_GETCURSEL, 0, 0)); }
    static void Select(int row) { SendMessageA(Item(IDC_MAIN_RULES), LB_SETCURSEL, row, 0); }

    static std::vector<std::string> RuleSetTexts()
    {
        std::vector<std::string> texts;
        for (size_t i = 0; i < ruleSet.Count(); ++i)
            texts.push_back(Text(ruleSet.At(i)));
        return texts;
    }

    std::string Path(const char *name) const { return directory_ + "\\" + name; }

private:
    char previousDirectory_[MAX_PATH] = "";
    std::string directory_;
};

TEST_F(MainDialogTest, InitialisationCentresAndListsTheActionsInOrderWithCloakSelected)
{
    HWND actions = Item(IDC_MAIN_ACTION);
    ASSERT_EQ(SendMessageA(actions, CB_GETCOUNT, 0, 0), ActionCount);
    for (int i = 0; i < ActionCount; ++i) {
        char name[64] = "";
        SendMessageA(actions, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(name));
        EXPECT_STREQ(name, ActionNames[i]);
    }
    EXPECT_EQ(SendMessageA(actions, CB_GETCURSEL, 0, 0), Cloak);

    RECT frame;
    GetWindowRect(MainDialog, &frame);
    EXPECT_EQ(frame.left, (GetSystemMetrics(SM_CXFULLSCREEN) - (frame.right - frame.left)) / 2);
    EXPECT_EQ(frame.top, (GetSystemMetrics(SM_CYFULLSCREEN) - (frame.bottom - frame.top)) / 2);

    EXPECT_TRUE(Rows().empty());
    EXPECT_EQ(ModalScript::Text(MainDialog, IDC_MAIN_DELAY_LABEL), "50 ms");
    EXPECT_EQ(SendMessageA(Item(IDC_MAIN_EVENTS), LVM_GETITEMCOUNT, 0, 0), 0);
}

TEST_F(MainDialogTest, CentringKeepsTheSizeAndGoesNegativeForAWindowLargerThanTheScreen)
{
    int width = GetSystemMetrics(SM_CXFULLSCREEN) + 101;
    HWND big = CreateWindowExA(0, "STATIC", "", WS_POPUP, 5, 5, width, 50, nullptr, nullptr, appInstance,
                               nullptr);
    CenterWindow(big);
    RECT frame;
    GetWindowRect(big, &frame);
    EXPECT_EQ(frame.left, -50);  // -101 / 2, truncated toward zero
    EXPECT_EQ(frame.right - frame.left, width);
    EXPECT_EQ(frame.bottom - frame.top, 50);
    DestroyWindow(big);
}

TEST_F(MainDialogTest, RefreshKeepsEachRowTheTextOfItsRule)
{
    Load(Three);
    EXPECT_EQ(Rows(), Texts(Three));
    EXPECT_EQ(Selection(), LB_ERR);

    // An edited rule: its row rewritten in place and selected.
    Rule edited = TitleRule(Activate, "edited", Smash);
    ruleSet.Replace(1, edited);
    Refresh(1);
    EXPECT_EQ(Rows(), RuleSetTexts());
    EXPECT_EQ(Selection(), 1);

    // An appended rule: a row added at the end and selected.
    ruleSet.Append(TitleRule(Create, "appended", Minimize));
    Refresh(3);
    EXPECT_EQ(Rows(), RuleSetTexts());
    EXPECT_EQ(Selection(), 3);

    ruleSet.Clear();
    Refresh(-1);
    EXPECT_TRUE(Rows().empty());
    EXPECT_EQ(Selection(), LB_ERR);
}

TEST_F(MainDialogTest, RefreshForAnIndexThatIsNoRowNorTheNextIsIgnored)
{
    Load(Three);
    Select(0);
    ruleSet.Append(TitleRule(Create, "fourth", Close));
    ruleSet.Append(TitleRule(Create, "fifth", Close));
    // 4 would leave a gap in the list; 5 and beyond name no rule at all.
    for (int row : {4, 5, 1000}) {
        Refresh(row);
        EXPECT_EQ(Rows(), Texts(Three)) << row;
        EXPECT_EQ(Selection(), 0) << row;
    }
}

// Answers the open-file dialog with path (or cancels it when path is
// empty), noting the file-type choices it offered.
std::vector<ModalScript::Step> AnswerOpen(const std::string &path, std::vector<std::string> &types)
{
    return {[path, &types] {
        HWND open = ModalScript::FindDialog("Open", MainDialog);
        if (!open)
            return false;
        HWND typeBox = GetDlgItem(open, 1136);
        for (int i = 0; i < SendMessageA(typeBox, CB_GETCOUNT, 0, 0); ++i) {
            char type[128] = "";
            SendMessageA(typeBox, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(type));
            types.push_back(type);
        }
        if (path.empty()) {
            PostMessageA(GetDlgItem(open, IDCANCEL), BM_CLICK, 0, 0);
        } else {
            SetDlgItemTextA(open, 1148, path.c_str());
            PostMessageA(GetDlgItem(open, IDOK), BM_CLICK, 0, 0);
        }
        return true;
    }};
}

TEST_F(MainDialogTest, ImportingTheRuleFileItselfDoublesEveryRuleWithoutSaving)
{
    std::ofstream(ruleFileName, std::ios::binary).write(reinterpret_cast<const char *>(FileOf(Three).data()),
                                                        FileOf(Three).size());
    LoadRules(ruleFileName);
    Refresh(-1);
    std::vector<std::string> types;
    ModalScript script(AnswerOpen(Path(ruleFileName), types));
    Command(IDC_MAIN_IMPORT);
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(types, (std::vector<std::string>{"Tarnwick rule files (*.rul)", "All files"}));

    std::vector<Rule> doubled = Three;
    doubled.insert(doubled.end(), Three.begin(), Three.end());
    EXPECT_EQ(Rows(), Texts(doubled));
    EXPECT_EQ(RuleSetTexts(), Texts(doubled));
    EXPECT_EQ(ReadBytes(ruleFileName), FileOf(Three));
}

TEST_F(MainDialogTest, ImportFromAnotherFolderLeavesTheWorkingDirectoryAlone)
{
    char before[MAX_PATH];
    GetCurrentDirectoryA(sizeof before, before);
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::string other = std::string(temp) + "tarnwick-import-" + std::to_string(GetCurrentProcessId()) + ".rul";
    std::ofstream(other, std::ios::binary).write(reinterpret_cast<const char *>(Record(Three[2]).data()),
                                                 RuleRecordSize);
    // Browsed there as a user would: the folder first, then the file in it.
    std::string folder = other.substr(0, other.find_last_of('\\'));
    std::string name = other.substr(other.find_last_of('\\') + 1);
    auto enter = [](const std::string &text) {
        return [text] {
            HWND open = ModalScript::FindDialog("Open", MainDialog);
            if (!open)
                return false;
            SetDlgItemTextA(open, 1148, text.c_str());
            PostMessageA(GetDlgItem(open, IDOK), BM_CLICK, 0, 0);
            return true;
        };
    };
    // The dialog has gone into the folder when the working directory has
    // followed it there: the very move this test is about.
    auto arrived = [folder] {
        char now[MAX_PATH] = "";
        GetCurrentDirectoryA(sizeof now, now);
        return lstrcmpiA(now, folder.c_str()) == 0;
    };
    ModalScript script({enter(folder), arrived, enter(name)});
    Command(IDC_MAIN_IMPORT);
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(Rows(), Texts({Three[2]}));
    char after[MAX_PATH];
    GetCurrentDirectoryA(sizeof after, after);
    EXPECT_STREQ(after, before);
    DeleteFileA(other.c_str());
}

// What the main dialog handed the editor, noted when the editor appears;
// the editor is then cancelled.
struct HandOver {
    bool opened = false;
    std::optional<Rule> prefill;
    int index = -2;
};

std::vector<ModalScript::Step> NoteHandOver(HandOver &handOver)
{
    return {[&handOver] {
        HWND editor = ModalScript::FindDialog("Rule Editor", MainDialog);
        if (!editor)
            return false;
        handOver = {true, editorPrefill, editorIndex};
        PostMessageA(editor, WM_COMMAND, IDCANCEL, 0);
        return true;
    }};
}

TEST_F(MainDialogTest, AddOpensTheEditorForANewRule)
{
    editorPrefill = Three[0];
    editorIndex = 7;
    HandOver handOver;
    ModalScript script(NoteHandOver(handOver));
    Command(IDC_MAIN_ADD);
    EXPECT_TRUE(handOver.opened);
    EXPECT_FALSE(handOver.prefill.has_value());
    EXPECT_EQ(handOver.index, -1);
}

TEST_F(MainDialogTest, EditOpensTheEditorOnTheSelectedRuleAndWithoutSelectionDoesNothing)
{
    Load(Three);
    Select(2);
    HandOver handOver;
    {
        ModalScript script(NoteHandOver(handOver));
        Command(IDC_MAIN_EDIT);
    }
    ASSERT_TRUE(handOver.opened && handOver.prefill);
    EXPECT_EQ(Record(*handOver.prefill), Record(Three[2]));
    EXPECT_EQ(handOver.index, 2);

    Select(-1);
    HandOver none;
    ModalScript script(NoteHandOver(none));
    Command(IDC_MAIN_EDIT);
    EXPECT_FALSE(none.opened);
}

TEST_F(MainDialogTest, AddRuleTakesEventTitleAndClassFromTheMarkedRow)
{
    HWND window = MainWindow;
    // Newest on top: row 0 the action, row 1 the Activate, row 2 the Create.
    LogEvent(window, Create, "created title", "CreatedClass");
    LogEvent(window, Activate, "activated title", "ActivatedClass");
    LogAction(window, Cloak, "acted title", "ActedClass");
    struct Case {
        int row;
        int32_t event;
        const char *title, *className;
    } cases[] = {{0, Create, "acted title", "ActedClass"},
                 {1, Activate, "activated title", "ActivatedClass"},
                 {2, Create, "created title", "CreatedClass"}};
    for (const Case &c : cases) {
        SCOPED_TRACE("row " + std::to_string(c.row));
        SendMessageA(Item(IDC_MAIN_EVENTS), LVM_SETSELECTIONMARK, 0, c.row);
        HandOver handOver;
        ModalScript script(NoteHandOver(handOver));
        Command(IDC_MAIN_ADD_FROM_EVENT);
        ASSERT_TRUE(handOver.opened && handOver.prefill);
        Rule expected;
        expected.event = c.event;
        expected.matchTitle = expected.matchClass = true;
        lstrcpyA(expected.title, c.title);
        lstrcpyA(expected.className, c.className);
        EXPECT_EQ(Record(*handOver.prefill), Record(expected));
        EXPECT_EQ(handOver.index, -1);
    }
}

TEST_F(MainDialogTest, AddRuleAfterClearListOpensTheEditorForAnEmptyRule)
{
    LogEvent(MainWindow, Activate, "title", "Class");
    SendMessageA(Item(IDC_MAIN_EVENTS), LVM_SETSELECTIONMARK, 0, 0);
    Command(IDC_MAIN_CLEAR_LIST);
    EXPECT_EQ(SendMessageA(Item(IDC_MAIN_EVENTS), LVM_GETITEMCOUNT, 0, 0), 0);

    editorPrefill = Three[0];
    HandOver handOver;
    ModalScript script(NoteHandOver(handOver));
    Command(IDC_MAIN_ADD_FROM_EVENT);
    // It goes the way of "Add...": a posted command.
    EXPECT_FALSE(handOver.opened);
    EXPECT_TRUE(WaitFor([&] { return handOver.opened; }));
    EXPECT_FALSE(handOver.prefill.has_value());
    EXPECT_EQ(handOver.index, -1);
}

TEST_F(MainDialogTest, RestoreHiddenOpensItsDialogOwnedByTheMainDialog)
{
    bool opened = false;
    ModalScript script({[&] {
        HWND dialog = ModalScript::FindDialog("Hidden/Cloaked Windows", MainDialog);
        if (dialog) {
            opened = true;
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        }
        return dialog != nullptr;
    }});
    Command(IDC_MAIN_RESTORE_HIDDEN);
    EXPECT_TRUE(opened);
}

TEST_F(MainDialogTest, NotificationsOfTheListsAreNotHandled)
{
    Load(Three);
    Select(0);
    HandOver handOver;
    ModalScript script(NoteHandOver(handOver));
    // Unhandled, so that the dialog manager's default handling applies.
    EXPECT_FALSE(MainDialogProc(MainDialog, WM_COMMAND, MAKEWPARAM(IDC_MAIN_RULES, LBN_DBLCLK),
                                reinterpret_cast<LPARAM>(Item(IDC_MAIN_RULES))));
    EXPECT_FALSE(MainDialogProc(MainDialog, WM_COMMAND, MAKEWPARAM(IDC_MAIN_ACTION, CBN_SELCHANGE),
                                reinterpret_cast<LPARAM>(Item(IDC_MAIN_ACTION))));
    EXPECT_FALSE(MainDialogProc(MainDialog, WM_COMMAND, IDM_ABOUT, 0));
    EXPECT_FALSE(handOver.opened);
}

TEST_F(MainDialogTest, TheDelayFollowsTheTrackbar)
{
    HWND trackbar = Item(IDC_MAIN_DELAY);
    SendMessageA(trackbar, TBM_SETPOS, TRUE, 200);
    SendMessageA(MainDialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, 200), reinterpret_cast<LPARAM>(trackbar));
    EXPECT_EQ(eventDelayMs, 200);
    EXPECT_EQ(ModalScript::Text(MainDialog, IDC_MAIN_DELAY_LABEL), "200 ms");
}

} // namespace
