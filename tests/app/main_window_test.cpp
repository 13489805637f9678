// MainWindow, the About box and the start-up failure box in this process:
// windows of the real classes and procedures, a victim's windows hidden and
// cloaked under them, and the modal boxes driven by a thread timer.
#include "actions/window_actions.h"
#include "rules/rule.h"
#include "app/app_state.h"
#include "app/main_window.h"
#include "app/resource.h"
#include "app/startup.h"
#include "tests/support/modal_script.h"
#include "tests/support/test_support.h"
#include "ui/main_dialog.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

class MainWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
        InitCommonControlsEx(&controls);
        appInstance = GetModuleHandleA(nullptr);
        RegisterWindowClasses(appInstance);
        // Not the caption a second start looks for: the black-box tests of
        // this program run real instances beside it.
        MainWindow = CreateWindowExA(0, mainWindowClass, "main window under test", WS_OVERLAPPEDWINDOW,
                                     CW_USEDEFAULT, 0, CW_USEDEFAULT, 0, nullptr, nullptr, appInstance,
                                     nullptr);
        MainDialog = CreateDialogParamA(appInstance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainDialogProc, 0);
        ASSERT_NE(MainWindow, nullptr);
        ASSERT_NE(MainDialog, nullptr);
    }
    void TearDown() override
    {
        RestoreAllWindows();
        if (IsWindow(MainWindow))
            DestroyWindow(MainWindow);
        DestroyWindow(MainDialog);
        MainWindow = MainDialog = nullptr;
        MSG quit;
        while (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }

    // A victim's window hidden and another cloaked under MainWindow.
    void HideAndCloak()
    {
        hidden = victim.Create("VictimHidden", "hidden");
        cloaked = victim.Create("VictimCloaked", "cloaked");
        ASSERT_TRUE(hidden && cloaked);
        PerformAction(hidden, Hide);
        PerformAction(cloaked, Cloak);
        ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(hidden); }));
        ASSERT_EQ(GetAncestor(cloaked, GA_PARENT), MainWindow);
    }

    bool BothBack()
    {
        return WaitFor([&] {
            return IsWindowVisible(hidden) && IsWindow(cloaked) &&
                   GetAncestor(cloaked, GA_PARENT) == GetDesktopWindow() && IsWindowVisible(cloaked);
        });
    }

    // The exit code of a quit message waiting in this thread's queue, or -1.
    static int QuitCode()
    {
        MSG quit;
        return PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) ? static_cast<int>(quit.wParam) : -1;
    }

    Victim victim;
    HWND hidden = nullptr, cloaked = nullptr;
};

TEST_F(MainWindowTest, EndOfSessionGivesWindowsBackWithoutEndingTheRun)
{
    HideAndCloak();
    EXPECT_EQ(SendMessageA(MainWindow, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
    EXPECT_TRUE(BothBack());

    // Cloaked again between the question and the end itself.
    PerformAction(cloaked, Cloak);
    ASSERT_EQ(GetAncestor(cloaked, GA_PARENT), MainWindow);
    SendMessageA(MainWindow, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_TRUE(BothBack());
    EXPECT_TRUE(IsWindow(MainWindow));
    EXPECT_EQ(QuitCode(), -1);
}

TEST_F(MainWindowTest, CancelledEndOfSessionKeepsNewlyCloakedWindows)
{
    HideAndCloak();
    SendMessageA(MainWindow, WM_ENDSESSION, FALSE, 0);
    EXPECT_EQ(GetAncestor(cloaked, GA_PARENT), MainWindow);
    EXPECT_EQ(CloakedList.Count(), 1u);
}

struct AboutOpening {
    const char *name;
    HWND *target;
    UINT message;
    int closeWith;
};

class AboutBox : public MainWindowTest, public testing::WithParamInterface<AboutOpening> {};

TEST_P(AboutBox, OpensOwnedByMainWindowAndCloses)
{
    const AboutOpening &opening = GetParam();
    HWND about = nullptr;
    std::string version;
    HICON icon = nullptr;
    ModalScript script({[&] {
                            about = ModalScript::FindDialog("About", MainWindow);
                            if (!about)
                                return false;
                            version = ModalScript::Text(about, 0xFFFF);
                            icon = reinterpret_cast<HICON>(SendDlgItemMessageA(about, 2, STM_GETICON, 0, 0));
                            PostMessageA(about, WM_COMMAND, opening.closeWith, 0);
                            return true;
                        }});
    SendMessageA(*opening.target, opening.message, IDM_ABOUT, 0);
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(version, "Tarnwick II v1.0");
    EXPECT_NE(icon, nullptr);
    EXPECT_TRUE(IsWindow(MainWindow));
}

INSTANTIATE_TEST_SUITE_P(
    EachWay, AboutBox,
    testing::Values(AboutOpening{"MainWindowCommandOk", &MainWindow, WM_COMMAND, IDOK},
                    AboutOpening{"MainWindowCommandEscape", &MainWindow, WM_COMMAND, IDCANCEL},
                    AboutOpening{"DialogSystemMenuOk", &MainDialog, WM_SYSCOMMAND, IDOK}),
    [](const testing::TestParamInfo<AboutOpening> &info) { return std::string(info.param.name); });

struct LastError {
    const char *name;
    DWORD code;
    std::string text;
};

std::string SystemText(DWORD code)
{
    char text[256] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                   MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), text, sizeof text, nullptr);
    return text;
}

class ShowLastErrorBox : public testing::TestWithParam<LastError> {};

TEST_P(ShowLastErrorBox, ShowsTheTextUnderTheGivenCaptionWithoutOwner)
{
    HWND box = nullptr;
    std::string text;
    HWND owner = reinterpret_cast<HWND>(1);
    HICON icon = nullptr;
    ModalScript script({[&] {
        box = ModalScript::FindDialog("InstallHook");
        if (!box)
            return false;
        text = ModalScript::Text(box, 0xFFFF);
        owner = GetWindow(box, GW_OWNER);
        icon = reinterpret_cast<HICON>(SendDlgItemMessageA(box, 1088, STM_GETICON, 0, 0));
        PostMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
        return true;
    }});
    SetLastError(GetParam().code);
    ShowLastError("InstallHook");
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(text, GetParam().text);
    EXPECT_EQ(owner, nullptr);
    EXPECT_EQ(icon, LoadIconA(nullptr, IDI_INFORMATION));
}

INSTANTIATE_TEST_SUITE_P(
    Codes, ShowLastErrorBox,
    testing::Values(LastError{"WithSystemText", ERROR_ACCESS_DENIED, SystemText(ERROR_ACCESS_DENIED)},
                    // Codes the system has no text for show as themselves.
                    LastError{"ApplicationCode", 0x20000001, "Error 536870913 (0x20000001)"},
                    LastError{"UnknownCode", 0xDEAD, "Error 57005 (0x0000DEAD)"},
                    // Not "The operation completed successfully" under a failure.
                    LastError{"NoCodeLeft", 0, "Error 0 (0x00000000)"}),
    [](const testing::TestParamInfo<LastError> &info) { return std::string(info.param.name); });

} // namespace
