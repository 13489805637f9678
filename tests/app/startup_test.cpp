// brask2.exe started for real under Wine: the normal start, the hand-over
// to a running instance, and every way the start can fail, each with its
// box, exit code 0 and no notification icon left behind.
#include "tests/app/black_box.h"

#include "rules/rule_text.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>

using namespace black_box;

namespace {

constexpr DWORD NoSystemText = 0x20000001;

// The program, with the given library as its brask2.dll, and a working
// directory of its own.
struct Installation {
    ProgramFolder programFolder;
    TempFolder workingFolder;

    explicit Installation(const std::string &library = "brask2.dll") : programFolder(library) {}
};

std::vector<std::string> FormattedTexts(const std::vector<Rule> &rules)
{
    std::vector<std::string> texts;
    for (const Rule &rule : rules) {
        char text[RuleTextBufferSize];
        texts.push_back(FormatRule(rule, text));
    }
    return texts;
}

void ClickExit(HWND dialog)
{
    PostMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
}

} // namespace

TEST(Startup, ShowsTheDialogInFrontWithTheRulesOfTheWorkingDirectory)
{
    Installation install;
    std::vector<Rule> rules = {TitleRule(Create, "Tip of the Day", Close),
                               TitleRule(Activate, "Untitled - Notepad", Maximize)};
    rules[1].matchClass = true;
    lstrcpyA(rules[1].className, "Notepad");
    rules[1].classMatch = BeginsWith;
    rules[1].classCase = false;
    WriteRules(install.workingFolder.File("brask2.rul"), rules);

    Program program(install.programFolder.Path(), install.workingFolder.Path());
    ASSERT_TRUE(program.Started());
    HWND dialog = program.WaitForDialog(rules.size());
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == dialog; }));
    EXPECT_FALSE(IsIconic(dialog));
    EXPECT_EQ(ListBoxTexts(GetDlgItem(dialog, 1021)), FormattedTexts(rules));
    EXPECT_EQ(SendMessageA(GetDlgItem(dialog, 1021), LB_GETCURSEL, 0, 0), LB_ERR);

    HWND mainWindow = program.MainWindow();
    ASSERT_NE(mainWindow, nullptr);
    EXPECT_FALSE(IsWindowVisible(mainWindow));
    EXPECT_TRUE(TrayIconExists(mainWindow));

    ClickExit(dialog);
    ASSERT_TRUE(program.WaitForExit());
    EXPECT_EQ(program.ExitCode(), 0u);
    EXPECT_FALSE(TrayIconExists(mainWindow));
    // The rule file is read, never written, by a run without changes.
    EXPECT_EQ(ReadFile(install.workingFolder.File("brask2.rul")).size(), rules.size() * RuleRecordSize);
}

TEST(Startup, HandsInstallHookTheDialogAndTheThreeMessageNumbers)
{
    Installation install("test_hook_probe.dll");
    Program program(install.programFolder.Path(), install.workingFolder.Path());
    HWND dialog = program.WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    std::ifstream noted(install.workingFolder.File("install.txt"));
    unsigned long notify = 0;
    unsigned create = 0, ignored = 0, activate = 0;
    noted >> notify >> create >> ignored >> activate;
    EXPECT_EQ(reinterpret_cast<HWND>(static_cast<UINT_PTR>(notify)), dialog);
    EXPECT_EQ(create, 32870u);
    EXPECT_EQ(ignored, 32871u);
    EXPECT_EQ(activate, 32872u);
    ClickExit(dialog);
    ASSERT_TRUE(program.WaitForExit());
    EXPECT_EQ(program.ExitCode(), 0u);
}

TEST(Startup, SecondStartBringsTheRunningDialogBackAndEnds)
{
    Installation install;
    Program first(install.programFolder.Path(), install.workingFolder.Path());
    HWND dialog = first.WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(dialog); }));

    Program second(install.programFolder.Path(), install.workingFolder.Path());
    ASSERT_TRUE(second.WaitForExit());
    EXPECT_EQ(second.ExitCode(), 0u);
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(dialog) && GetForegroundWindow() == dialog; }));
    // The second start created nothing that outlived it.
    EXPECT_EQ(FindWindowExA(nullptr, first.MainWindow(), "BRASK2", "Tarnwick II"), nullptr);

    ClickExit(dialog);
    ASSERT_TRUE(first.WaitForExit());
    EXPECT_EQ(first.ExitCode(), 0u);
}

struct FailedStart {
    const char *name;
    const char *library;       // beside the program; empty: none
    const char *caption;       // of the one box
    std::string text;          // of the box
};

class StartupFailure : public testing::TestWithParam<FailedStart> {};

std::string SystemText(DWORD code)
{
    char text[256] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                   MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), text, sizeof text, nullptr);
    return text;
}

TEST_P(StartupFailure, ShowsOneBoxEndsWithZeroAndLeavesNoIcon)
{
    const FailedStart &failure = GetParam();
    Installation install(failure.library);
    Program program(install.programFolder.Path(), install.workingFolder.Path());
    HWND box = program.WaitForBox(failure.caption);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(ControlText(GetDlgItem(box, 0xFFFF)), failure.text);
    HWND dialog = program.Dialog();
    EXPECT_TRUE(dialog == nullptr || !IsWindowVisible(dialog));
    HWND mainWindow = program.MainWindow();

    PostMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(program.WaitForExit());
    EXPECT_EQ(program.ExitCode(), 0u);
    EXPECT_FALSE(TrayIconExists(mainWindow));
}

INSTANTIATE_TEST_SUITE_P(
    EachWay, StartupFailure,
    testing::Values(FailedStart{"NoLibrary", "", "brask2.dll", SystemText(ERROR_MOD_NOT_FOUND)},
                    FailedStart{"NoInstallHook", "test_hook_no_install.dll", "InstallHook",
                                SystemText(ERROR_PROC_NOT_FOUND)},
                    FailedStart{"NoReleaseHook", "test_hook_no_release.dll", "ReleaseHook",
                                SystemText(ERROR_PROC_NOT_FOUND)},
                    FailedStart{"InstallHookRefuses", "test_hook_refuse.dll", "InstallHook",
                                SystemText(ERROR_ACCESS_DENIED)},
                    // No system text: the code itself, not an empty box.
                    FailedStart{"RefusalWithoutSystemText", "test_hook_refuse_unknown.dll", "InstallHook",
                                "Error 536870913 (0x20000001)"}),
    [](const testing::TestParamInfo<FailedStart> &info) { return std::string(info.param.name); });

TEST(Startup, NeverLoadsALibraryPlantedInTheWorkingDirectory)
{
    Installation install("");
    ASSERT_TRUE(CopyBuilt("test_hook_planted.dll", install.workingFolder.Path(), "brask2.dll"));
    Program program(install.programFolder.Path(), install.workingFolder.Path());
    HWND box = program.WaitForBox("brask2.dll");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(ControlText(GetDlgItem(box, 0xFFFF)), SystemText(ERROR_MOD_NOT_FOUND));
    PostMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(program.WaitForExit());
    EXPECT_EQ(program.ExitCode(), 0u);
    EXPECT_FALSE(FileExists(install.workingFolder.File("planted.mark")));
}

TEST(Startup, LoadsTheLibraryBesideTheProgramFromAnyWorkingDirectory)
{
    // The counterpart of the planting test: the planted mark is what this
    // library leaves, so the test above proves the search, not the library.
    Installation install("test_hook_planted.dll");
    Program program(install.programFolder.Path(), install.workingFolder.Path());
    HWND dialog = program.WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(FileExists(install.workingFolder.File("planted.mark")));
    ClickExit(dialog);
    ASSERT_TRUE(program.WaitForExit());
}

// Start-up with a long rule file against an empty one: the rule list must
// not make the start noticeably slower.
double StartMilliseconds(size_t rules)
{
    Installation install;
    std::vector<Rule> many(rules, TitleRule(Create, "A window title of moderate length", Hide));
    WriteRules(install.workingFolder.File("brask2.rul"), many);
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    Program program(install.programFolder.Path(), install.workingFolder.Path());
    HWND dialog = program.WaitForDialog(rules, 30000);
    QueryPerformanceCounter(&end);
    EXPECT_NE(dialog, nullptr);
    if (dialog) {
        ClickExit(dialog);
        EXPECT_TRUE(program.WaitForExit());
    }
    return 1000.0 * (end.QuadPart - start.QuadPart) / frequency.QuadPart;
}

TEST(Startup, TenThousandRulesStartAboutAsFastAsNone)
{
    // The fastest of five starts each, after one that warms the caches:
    // other work on the machine only ever adds to a start.
    StartMilliseconds(0);
    double empty = 1e9, full = 1e9;
    for (int i = 0; i < 5; ++i) {
        empty = std::min(empty, StartMilliseconds(0));
        full = std::min(full, StartMilliseconds(10000));
    }
    double ratio = full / empty;
    std::printf("start-up: empty %.0f ms, 10000 rules %.0f ms, ratio %.2f\n", empty, full, ratio);
    RecordProperty("empty_ms", static_cast<int>(empty));
    RecordProperty("full_ms", static_cast<int>(full));
    EXPECT_LE(ratio, 1.5);
}
