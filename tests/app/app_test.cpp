// The application shell: the real brask2.exe under Wine, driven from this
// process, for its start, hiding, hand-over, end and failed starts; and in
// this process, where no second one is needed, the main dialog from resource
// 130 and MainWindow of the real class, with a victim's windows under them.
#include "actions/window_actions.h"
#include "app/startup.h"
#include "common/app_state.h"
#include "common/messages.h"
#include "common/resource.h"
#include "rules/rule_file.h"
#include "rules/rule_text.h"
#include "tests/app/black_box.h"
#include "tests/support/modal_script.h"
#include "ui/main_dialog.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <shellapi.h>

using namespace black_box;

namespace {

std::vector<std::string> Texts(const std::vector<Rule> &rules)
{
    std::vector<std::string> texts;
    char text[RuleTextBufferSize];
    for (const Rule &rule : rules)
        texts.push_back(FormatRule(rule, text));
    return texts;
}

// Across processes a list box answers LB_GETTEXT in UTF-16 only.
std::vector<std::string> Rows(HWND dialog)
{
    std::vector<std::string> rows;
    for (int i = 0; i < SendDlgItemMessageA(dialog, IDC_MAIN_RULES, LB_GETCOUNT, 0, 0); ++i) {
        wchar_t wide[RuleTextBufferSize] = L"";
        char text[RuleTextBufferSize] = "";
        SendDlgItemMessageW(dialog, IDC_MAIN_RULES, LB_GETTEXT, i, reinterpret_cast<LPARAM>(wide));
        WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
        rows.push_back(text);
    }
    return rows;
}

bool TopLevelAndVisible(HWND window)
{
    return GetAncestor(window, GA_PARENT) == GetDesktopWindow() && IsWindowVisible(window);
}

bool TrayIconExists(HWND owner)
{
    // Changing nothing succeeds only for an icon that is there.
    NOTIFYICONDATAA probe = {NOTIFYICONDATAA_V1_SIZE, owner, 0, 0};
    return Shell_NotifyIconA(NIM_MODIFY, &probe) != FALSE;
}

// The program and brask2.dll of the build's folder on rules that hide one
// victim window, cloak another and close a third when it is created.
struct Session {
    Folder working;
    Victim victim;
    HWND hidden = victim.Create("VictimHidden", "hide me");
    HWND cloaked = victim.Create("VictimCloaked", "cloak me");
    std::vector<Rule> rules = {TitleRule(Create, "hide me", Hide), TitleRule(Activate, "cloak me", Cloak),
                               TitleRule(Create, "Tip of the Day", Close)};
    Program program;
    HWND dialog = nullptr, mainWindow = nullptr;

    Session()
    {
        WriteRules(working / "brask2.rul", rules);
        program.Start(ExeDirectory(), working);
        dialog = WaitForDialog("Tarnwick II", rules.size());
        mainWindow = FindWindowA("BRASK2", "Tarnwick II");
    }
    // Ended in order even after a failure: a killed program's hook would
    // stay in Wine's chain and spoil every later start.
    ~Session()
    {
        PostMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
        program.ExitCode();
    }
    bool Shown() const
    {
        return WaitFor([&] { return IsWindowVisible(dialog) && GetForegroundWindow() == dialog; });
    }
    bool Hidden() const { return WaitFor([&] { return !IsWindowVisible(dialog); }); }
};

TEST(Program, StartsInFrontActsOnNewWindowsHidesToItsIconAndHandsOver)
{
    Session run;
    ASSERT_NE(run.dialog, nullptr);
    EXPECT_TRUE(run.Shown());
    EXPECT_EQ(Rows(run.dialog), Texts(run.rules));
    EXPECT_TRUE(TrayIconExists(run.mainWindow));
    HWND tip = run.victim.Create("VictimTip", "Tip of the Day");
    EXPECT_TRUE(tip && WaitFor([&] { return !IsWindow(tip); }));

    PostMessageA(GetDlgItem(run.dialog, IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(run.Hidden());
    PostMessageA(run.mainWindow, WM_TRAYICON, 0, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(run.Shown());
    PostMessageA(run.dialog, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(run.Hidden());
    Program second;
    second.Start(ExeDirectory(), run.working);
    EXPECT_EQ(second.ExitCode(), 0u);
    EXPECT_TRUE(run.Shown());
}

TEST(Program, EveryWayOfEndingItEndsWithZeroAndGivesEveryWindowBack)
{
    const struct { const char *way; HWND Session::*to; UINT message; WPARAM wParam; } endings[] = {
        {"Exit button", &Session::dialog, WM_COMMAND, IDCANCEL},
        // Through the program's own loop, as a key press would come.
        {"Escape", &Session::dialog, WM_KEYDOWN, VK_ESCAPE},
        {"close box", &Session::dialog, WM_SYSCOMMAND, SC_CLOSE},
        // From other programs: the cloaked windows are MainWindow's children
        // and must not go down with it.
        {"close request", &Session::mainWindow, WM_CLOSE, 0},
        {"End Program command", &Session::mainWindow, WM_COMMAND, IDM_END_PROGRAM},
    };
    for (const auto &ending : endings) {
        SCOPED_TRACE(ending.way);
        Session run;
        PostMessageA(GetDlgItem(run.dialog, IDC_MAIN_APPLY_RULES), BM_CLICK, 0, 0);
        ASSERT_TRUE(WaitFor([&] {
            return !IsWindowVisible(run.hidden) && GetAncestor(run.cloaked, GA_PARENT) == run.mainWindow;
        }));
        PostMessageA(run.*ending.to, ending.message, ending.wParam, 0);
        EXPECT_EQ(run.program.ExitCode(), 0u);
        EXPECT_TRUE(WaitFor([&] { return TopLevelAndVisible(run.hidden) && TopLevelAndVisible(run.cloaked); }));
        EXPECT_FALSE(TrayIconExists(run.mainWindow));
    }
}

std::string SystemText(DWORD code)
{
    char text[256] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                   MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), text, sizeof text, nullptr);
    return text;
}

TEST(Program, EachFailedStartShowsItsBoxEndsWithZeroAndLeavesNoIcon)
{
    // A stand-in library beside the program, or planted in its working directory.
    const std::string notFound = SystemText(ERROR_MOD_NOT_FOUND);
    const struct { const char *name, *dll; bool planted; const char *caption; std::string text; bool loaded; }
        failures[] = {
            {"no library", nullptr, false, "brask2.dll", notFound, false},
            {"no InstallHook", "marking", false, "InstallHook", SystemText(ERROR_PROC_NOT_FOUND), true},
            // A code without a system text shows as itself, not as an empty box.
            {"InstallHook fails", "refusing", false, "InstallHook", "Error 536870913 (0x20000001)", false},
            {"planted", "marking", true, "brask2.dll", notFound, false},
        };
    for (const auto &failure : failures) {
        SCOPED_TRACE(failure.name);
        Folder folder, working;
        fs::copy_file(ExeDirectory() + "brask2.exe", folder / "brask2.exe");
        if (failure.dll)
            fs::copy_file(ExeDirectory() + "test_hook_" + failure.dll + ".dll",
                          (failure.planted ? working : folder) / "brask2.dll");
        Program program;
        program.Start(folder / "", working);
        HWND box = WaitForDialog(failure.caption), mainWindow = FindWindowA("BRASK2", "Tarnwick II");
        char text[256] = "";
        SendDlgItemMessageA(box, 0xFFFF, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
        EXPECT_EQ(text, failure.text);
        PostMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
        EXPECT_EQ(program.ExitCode(), 0u);
        EXPECT_FALSE(TrayIconExists(mainWindow));
        EXPECT_EQ(fs::exists(working.path / "loaded.mark"), failure.loaded);
    }
}

class Shell : public testing::Test {
protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
        InitCommonControlsEx(&controls);
        appInstance = GetModuleHandleA(nullptr);
        RegisterWindowClasses(appInstance);
        fs::current_path(working.path);  // for the bare name of the rule file
        ruleSet.Clear();
        // Not the caption a second start of the real program looks for.
        MainWindow = CreateWindowExA(0, mainWindowClass, "main window under test", WS_POPUP, 0, 0, 1, 1,
                                     nullptr, nullptr, appInstance, nullptr);
        MainDialog = CreateMainDialog();
        ASSERT_TRUE(MainWindow && MainDialog);
    }
    void TearDown() override
    {
        RestoreAllWindows();
        DestroyWindow(MainDialog);
        DestroyWindow(MainWindow);
        MSG quit;  // from MainWindow's end; it would end the next test's modal loops
        PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
        fs::current_path(previous);
    }
    static LRESULT Send(UINT message, WPARAM wParam) { return SendMessageA(MainDialog, message, wParam, 0); }
    static LRESULT Item(int id, UINT message, WPARAM wParam = 0)
    {
        return SendDlgItemMessageA(MainDialog, id, message, wParam, 0);
    }

    fs::path previous = fs::current_path();
    Folder working;
};

LONG WINAPI FilterBefore(EXCEPTION_POINTERS *) { return EXCEPTION_EXECUTE_HANDLER; }

TEST_F(Shell, ApplyRulesActsAndEndOfSessionOrACrashGivesTheWindowsBack)
{
    Victim victim;
    HWND hidden = victim.Create("VictimHidden", "hide me");
    HWND cloaked = victim.Create("VictimCloaked", "cloak me");
    ruleSet.Append(TitleRule(Create, "hide me", Hide));
    ruleSet.Append(TitleRule(Activate, "cloak me", Cloak));
    LPTOP_LEVEL_EXCEPTION_FILTER original = SetUnhandledExceptionFilter(FilterBefore);
    RestoreWindowsOnCrash();
    LPTOP_LEVEL_EXCEPTION_FILTER crashFilter = SetUnhandledExceptionFilter(original);
    EXCEPTION_POINTERS fault = {};
    const std::pair<const char *, std::function<void()>> emergencies[] = {
        {"query", [] { EXPECT_EQ(SendMessageA(MainWindow, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE); }},
        {"end", [] { SendMessageA(MainWindow, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF); }},
        // The fault goes on to the filter that was there before.
        {"crash", [&] { EXPECT_EQ(crashFilter(&fault), EXCEPTION_EXECUTE_HANDLER); }},
    };
    for (const auto &[name, emergency] : emergencies) {
        SCOPED_TRACE(name);
        Send(WM_COMMAND, IDC_MAIN_APPLY_RULES);
        ASSERT_TRUE(
            WaitFor([&] { return !IsWindowVisible(hidden) && GetAncestor(cloaked, GA_PARENT) == MainWindow; }));
        EXPECT_EQ(Item(IDC_MAIN_EVENTS, LVM_GETITEMCOUNT), 2);  // a row for each action
        Send(WM_COMMAND, IDC_MAIN_CLEAR_LIST);
        EXPECT_EQ(Item(IDC_MAIN_EVENTS, LVM_GETITEMCOUNT), 0);
        emergency();
        EXPECT_TRUE(WaitFor([&] { return TopLevelAndVisible(hidden) && TopLevelAndVisible(cloaked); }));
    }
}

} // namespace
