// What the rule editor's and the window picker's tests share: the program's
// windows made as the application shell makes them, the real main dialog,
// a working directory of the test's own for the rule file, and
// the editor opened as the main dialog opens it.
#pragma once

#include "actions/window_actions.h"
#include "app/app_state.h"
#include "app/messages.h"
#include "app/resource.h"
#include "rules/rule_set.h"
#include "tests/support/modal_script.h"
#include "tests/support/test_support.h"
#include "rules/rule_text.h"
#include "ui/main_dialog.h"
#include "ui/rule_editor.h"
#include "ui/window_picker.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace editor_test {

using Bytes = std::vector<unsigned char>;
using Step = ModalScript::Step;

// Every WM_REFRESHRULES the main dialog received, with the number of rules
// at that moment: the main dialog redraws the row from the rule list.
struct Refresh {
    WPARAM row;
    size_t rulesThen;
};
inline std::vector<Refresh> refreshes;

inline LRESULT CALLBACK NoteRefreshes(int code, WPARAM wParam, LPARAM lParam)
{
    auto *call = reinterpret_cast<const CWPSTRUCT *>(lParam);
    if (code == HC_ACTION && call->message == WM_REFRESHRULES && call->hwnd == MainDialog)
        refreshes.push_back({call->wParam, ruleSet.Count()});
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The state of the editor's controls, compared as a whole.
struct EditorState {
    int event, action, titleMatch, classMatch;
    bool matchTitle, titleCase, matchClass, classCase;
    std::string title, className;

    auto Tied() const
    {
        return std::tie(event, action, titleMatch, classMatch, matchTitle, titleCase, matchClass,
                        classCase, title, className);
    }
    bool operator==(const EditorState &other) const { return Tied() == other.Tied(); }
};

inline EditorState ReadEditor(HWND editor)
{
    auto selected = [&](int id) {
        return static_cast<int>(SendDlgItemMessageA(editor, id, CB_GETCURSEL, 0, 0));
    };
    auto checked = [&](int id) { return IsDlgButtonChecked(editor, id) == BST_CHECKED; };
    return {selected(IDC_RULE_EDITOR_EVENT),       selected(IDC_RULE_EDITOR_ACTION),
            selected(IDC_RULE_EDITOR_TITLE_MATCH), selected(IDC_RULE_EDITOR_CLASS_MATCH),
            checked(IDC_RULE_EDITOR_MATCH_TITLE),  checked(IDC_RULE_EDITOR_TITLE_CASE),
            checked(IDC_RULE_EDITOR_MATCH_CLASS),  checked(IDC_RULE_EDITOR_CLASS_CASE),
            ModalScript::Text(editor, IDC_RULE_EDITOR_TITLE),
            ModalScript::Text(editor, IDC_RULE_EDITOR_CLASS)};
}

inline void PrintTo(const EditorState &s, std::ostream *out)
{
    *out << "{event " << s.event << ", action " << s.action << ", kinds " << s.titleMatch << "/"
         << s.classMatch << ", match " << s.matchTitle << s.matchClass << ", case " << s.titleCase
         << s.classCase << ", \"" << s.title << "\", \"" << s.className << "\"}";
}

// The 188-byte record as the file holds it, written out field by field.
inline Bytes RecordOf(const Rule &rule)
{
    Bytes record(RuleRecordSize, 0);
    auto put32 = [&](size_t at, int32_t value) {
        for (int i = 0; i < 4; ++i)
            record[at + i] = static_cast<unsigned char>(static_cast<uint32_t>(value) >> (8 * i));
    };
    put32(0, rule.event);
    record[4] = rule.matchTitle;
    std::memcpy(&record[5], rule.title, strnlen(rule.title, RuleTextSize - 1));
    put32(88, rule.titleMatch);
    record[92] = rule.titleCase;
    record[93] = rule.matchClass;
    std::memcpy(&record[94], rule.className, strnlen(rule.className, RuleTextSize - 1));
    put32(176, rule.classMatch);
    record[180] = rule.classCase;
    put32(184, rule.action);
    return record;
}

inline Bytes FileOf(const std::vector<Rule> &rules)
{
    Bytes bytes;
    for (const Rule &rule : rules) {
        Bytes record = RecordOf(rule);
        bytes.insert(bytes.end(), record.begin(), record.end());
    }
    return bytes;
}

inline Bytes ReadBytes(const char *path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

inline bool SameRule(const Rule &a, const Rule &b) { return RecordOf(a) == RecordOf(b); }

class EditorFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterClassesOnce();
        GetCurrentDirectoryA(sizeof previousDirectory_, previousDirectory_);
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        directory_ = std::string(temp) + "tarnwick-ui-" + std::to_string(GetCurrentProcessId()) + "-" +
                     ::testing::UnitTest::GetInstance()->current_test_info()->name();
        CreateDirectoryA(directory_.c_str(), nullptr);
        ASSERT_TRUE(SetCurrentDirectoryA(directory_.c_str()));
        DeleteFileA(ruleFileName);

        appInstance = GetModuleHandleA(nullptr);
        crossCursor = LoadCursorA(nullptr, IDC_CROSS);
        MainWindow = CreateWindowExA(0, "TarnwickTestMain", appCaption, WS_OVERLAPPEDWINDOW, 0, 0, 100,
                                     100, nullptr, nullptr, appInstance, nullptr);
        PickerWindow = CreateWindowExA(0, pickerClass, pickerTitle, WS_POPUP, 0, 0,
                                       GetSystemMetrics(SM_CXFULLSCREEN),
                                       GetSystemMetrics(SM_CYFULLSCREEN), nullptr, nullptr,
                                       appInstance, nullptr);
        MainDialog = CreateDialogParamA(appInstance, MAKEINTRESOURCEA(IDD_MAIN), nullptr,
                                        MainDialogProc, 0);
        ASSERT_TRUE(MainWindow && PickerWindow && MainDialog);
        hook_ = SetWindowsHookExA(WH_CALLWNDPROC, NoteRefreshes, nullptr, GetCurrentThreadId());
        ruleSet.Clear();
        editorPrefill.reset();
        editorIndex = -1;
        openEditor = nullptr;
        refreshes.clear();
    }

    void TearDown() override
    {
        UnhookWindowsHookEx(hook_);
        RestoreAllWindows();
        DestroyWindow(MainDialog);
        DestroyWindow(PickerWindow);
        DestroyWindow(MainWindow);
        MainDialog = PickerWindow = MainWindow = nullptr;
        ruleSet.Clear();
        DeleteFileA(ruleFileName);
        SetCurrentDirectoryA(previousDirectory_);
        RemoveDirectoryA(directory_.c_str());
    }

    // As the main dialog opens it: hand-over first, owner MainDialog,
    // parameter 0.
    INT_PTR OpenEditor(std::optional<Rule> prefill, int index, std::vector<Step> steps)
    {
        editorPrefill = prefill;
        editorIndex = index;
        ModalScript script(std::move(steps));
        INT_PTR result = DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_RULE_EDITOR), MainDialog,
                                         RuleEditorProc, 0);
        EXPECT_TRUE(script.Finished());
        return result;
    }

    static HWND Editor() { return ModalScript::FindDialog("Rule Editor", MainDialog); }

    // Waits for the editor and does something with it.
    static Step Act(std::function<void(HWND)> action)
    {
        return [action] {
            HWND editor = Editor();
            if (editor)
                action(editor);
            return editor != nullptr;
        };
    }

    static Step Click(int id)
    {
        return Act([id](HWND editor) { PostMessageA(GetDlgItem(editor, id), BM_CLICK, 0, 0); });
    }

    // Waits for the warning, checks it and closes it; then, once it is gone,
    // expects the editor still open with its controls untouched.
    static std::vector<Step> ExpectWarning(const std::string &text)
    {
        auto shown = std::make_shared<std::optional<EditorState>>();
        return {
            Act([shown](HWND editor) { *shown = ReadEditor(editor); }),
            Click(IDOK),
            [text] {
                HWND box = ModalScript::FindDialog(nullptr, Editor());
                if (!box)
                    return false;
                char caption[64] = "";
                GetWindowTextA(box, caption, sizeof caption);
                EXPECT_STREQ(caption, "Tarnwick II");
                EXPECT_EQ(ModalScript::Text(box, 0xFFFF), text);
                EXPECT_NE(GetDlgItem(box, 1088), nullptr) << "warning icon";
                EXPECT_EQ(GetDlgItem(box, IDCANCEL), nullptr) << "OK is the only button";
                PostMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
                return true;
            },
            [shown] {
                HWND editor = Editor();
                if (!editor || ModalScript::FindDialog(nullptr, editor))
                    return false;
                EXPECT_EQ(ReadEditor(editor), **shown);
                EXPECT_EQ(openEditor, editor);
                return true;
            },
        };
    }

    // The rule list as the main dialog shows it, from the rule set at start.
    static void ShowRules()
    {
        SendMessageA(MainDialog, WM_REFRESHRULES, static_cast<WPARAM>(-1), 0);
        refreshes.clear();
    }
    static std::vector<std::string> RuleRows()
    {
        std::vector<std::string> rows;
        HWND list = GetDlgItem(MainDialog, IDC_MAIN_RULES);
        LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            char text[RuleTextBufferSize] = "";
            SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
            rows.push_back(text);
        }
        return rows;
    }
    static std::vector<std::string> RowsOf(const std::vector<Rule> &rules)
    {
        std::vector<std::string> rows;
        for (const Rule &rule : rules) {
            char text[RuleTextBufferSize];
            rows.push_back(FormatRule(rule, text));
        }
        return rows;
    }
    static int SelectedRow()
    {
        return static_cast<int>(SendDlgItemMessageA(MainDialog, IDC_MAIN_RULES, LB_GETCURSEL, 0, 0));
    }

    static void Append(std::vector<Step> &steps, const std::vector<Step> &more)
    {
        steps.insert(steps.end(), more.begin(), more.end());
    }

private:
    static void RegisterClassesOnce()
    {
        static bool registered = false;
        if (registered)
            return;
        registered = true;
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
        InitCommonControlsEx(&controls);
        WNDCLASSEXA picker = {sizeof picker};
        picker.lpfnWndProc = PickerWindowProc;
        picker.hInstance = GetModuleHandleA(nullptr);
        picker.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        picker.lpszClassName = pickerClass;
        RegisterClassExA(&picker);
        WNDCLASSEXA main = {sizeof main};
        main.lpfnWndProc = DefWindowProcA;
        main.hInstance = GetModuleHandleA(nullptr);
        main.lpszClassName = "TarnwickTestMain";
        RegisterClassExA(&main);
    }

    HHOOK hook_ = nullptr;
    char previousDirectory_[MAX_PATH] = "";
    std::string directory_;
};

} // namespace editor_test
