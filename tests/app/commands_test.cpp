// The main dialog's commands on the real program, driven from outside as a
// user's clicks would drive them, and a rule acting on a reported window.
#include "tests/app/black_box.h"

#include "rules/rule_text.h"
#include "tests/support/test_support.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>

using namespace black_box;

namespace {

constexpr int RuleList = 1021;
constexpr int EventList = 1024;

struct Session {
    ProgramFolder programFolder;
    TempFolder workingFolder;
    std::unique_ptr<Program> program;
    HWND dialog = nullptr;

    explicit Session(const std::vector<Rule> &rules)
    {
        WriteRules(RuleFile(), rules);
        program = std::make_unique<Program>(programFolder.Path(), workingFolder.Path());
        dialog = program->WaitForDialog(rules.size());
    }
    ~Session()
    {
        if (dialog && IsWindow(dialog)) {
            PostMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
            program->WaitForExit();
        }
    }

    std::string RuleFile() const { return workingFolder.File("brask2.rul"); }
    HWND Item(int id) const { return GetDlgItem(dialog, id); }
    void Click(int id) const { PostMessageA(Item(id), BM_CLICK, 0, 0); }
    std::vector<std::string> Rows() const { return ListBoxTexts(Item(RuleList)); }
    int Selection() const { return static_cast<int>(SendMessageA(Item(RuleList), LB_GETCURSEL, 0, 0)); }
    std::string EventRow(int row) const
    {
        HWND view = Item(EventList);
        return ListViewText(view, row, 0) + "|" + ListViewText(view, row, 1) + "|" +
               ListViewText(view, row, 2);
    }
};

std::string Text(const Rule &rule)
{
    char text[RuleTextBufferSize];
    return FormatRule(rule, text);
}

std::vector<Rule> ThreeRules()
{
    return {TitleRule(Create, "first", Close), TitleRule(Create, "second", Hide),
            TitleRule(Activate, "third", Cloak)};
}

void DeleteSelected(Session &run, int row)
{
    SendMessageA(run.Item(RuleList), LB_SETCURSEL, row, 0);
    // Sent, not posted: the click has been handled when the call returns.
    SendMessageA(run.Item(1014), BM_CLICK, 0, 0);
}

TEST(Delete, SelectsTheFollowingRuleAndSavesOneRecordLess)
{
    std::vector<Rule> rules = ThreeRules();
    Session run(rules);
    ASSERT_NE(run.dialog, nullptr);
    std::vector<unsigned char> saved = ReadFile(run.RuleFile());

    // Without a selection: nothing deleted, nothing saved.
    DeleteSelected(run, -1);
    EXPECT_EQ(run.Rows().size(), 3u);
    EXPECT_EQ(ReadFile(run.RuleFile()), saved);

    DeleteSelected(run, 0);
    EXPECT_EQ(run.Rows(), (std::vector<std::string>{Text(rules[1]), Text(rules[2])}));
    EXPECT_EQ(run.Selection(), 0);
    EXPECT_EQ(ReadFile(run.RuleFile()).size(), 2 * RuleRecordSize);

    // The last row has no follower: nothing stays selected.
    DeleteSelected(run, 1);
    EXPECT_EQ(run.Rows(), std::vector<std::string>{Text(rules[1])});
    EXPECT_EQ(run.Selection(), LB_ERR);

    DeleteSelected(run, 0);
    EXPECT_TRUE(run.Rows().empty());
    EXPECT_TRUE(FileExists(run.RuleFile()));
    EXPECT_EQ(ReadFile(run.RuleFile()).size(), 0u);
}

HWND WaitForOpenDialog(const Session &run)
{
    HWND open = nullptr;
    WaitFor([&] {
        open = run.program->Find("#32770", "Open", true);
        return open && GetWindow(open, GW_OWNER) == run.dialog;
    });
    return open;
}

TEST(Import, AppendsTheChosenFileWithoutSavingAndCancelChangesNothing)
{
    std::vector<Rule> rules = ThreeRules();
    Session run(rules);
    ASSERT_NE(run.dialog, nullptr);
    std::vector<unsigned char> saved = ReadFile(run.RuleFile());
    TempFolder elsewhere;
    std::vector<Rule> imported = {TitleRule(Create, "imported", Smash), rules[0]};
    WriteRules(elsewhere.File("more.rul"), imported);

    run.Click(1015);
    HWND open = WaitForOpenDialog(run);
    ASSERT_NE(open, nullptr);
    PostMessageA(GetDlgItem(open, IDCANCEL), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(open); }));
    EXPECT_EQ(run.Rows().size(), 3u);

    run.Click(1015);
    open = WaitForOpenDialog(run);
    ASSERT_NE(open, nullptr);
    std::string path = elsewhere.File("more.rul");
    SendMessageA(GetDlgItem(open, 1148), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    PostMessageA(GetDlgItem(open, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return run.Rows().size() == 5; }));
    // Duplicates included, after the rules already there.
    EXPECT_EQ(run.Rows(), (std::vector<std::string>{Text(rules[0]), Text(rules[1]), Text(rules[2]),
                                                    Text(imported[0]), Text(imported[1])}));
    EXPECT_EQ(ReadFile(run.RuleFile()), saved);

    // The next save still goes to the working directory, not to the folder
    // the import was browsed from.
    DeleteSelected(run, 4);
    EXPECT_EQ(ReadFile(run.RuleFile()).size(), 4 * RuleRecordSize);
    EXPECT_FALSE(FileExists(elsewhere.File("brask2.rul")));
}

TEST(ApplyRules, ActsOnOpenWindowsAndClearListEmptiesTheEventList)
{
    Victim victim;
    HWND target = victim.Create("VictimApply", "minimize me");
    ASSERT_NE(target, nullptr);
    Session run({TitleRule(Create, "minimize me", Minimize)});
    ASSERT_NE(run.dialog, nullptr);
    HWND events = run.Item(EventList);
    int before = ListViewCount(events);

    run.Click(1020);
    ASSERT_TRUE(WaitFor([&] { return IsIconic(target) != FALSE; }));
    ASSERT_TRUE(WaitFor([&] { return ListViewCount(events) == before + 1; }));
    EXPECT_EQ(run.EventRow(0), "Minimize|minimize me|VictimApply");

    run.Click(1018);
    EXPECT_TRUE(WaitFor([&] { return ListViewCount(events) == 0; }));
    EXPECT_TRUE(IsIconic(target));
}

TEST(HookEvents, ARuleFromTheFileClosesANewWindowOfAnotherProgram)
{
    Victim victim;
    ASSERT_TRUE(victim.Running());
    Session run({TitleRule(Create, "Tip of the Day", Close)});
    ASSERT_NE(run.dialog, nullptr);
    HWND tip = victim.Create("VictimTip", "Tip of the Day");
    ASSERT_NE(tip, nullptr);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(tip); }));

    // Newest on top: the action above the event that fired it.
    HWND events = run.Item(EventList);
    int closeRow = -1;
    WaitFor([&] {
        for (int row = 0; row + 1 < ListViewCount(events); ++row)
            if (run.EventRow(row) == "Close|Tip of the Day|VictimTip" &&
                run.EventRow(row + 1) == "Create|Tip of the Day|VictimTip")
                closeRow = row;
        return closeRow >= 0;
    });
    EXPECT_GE(closeRow, 0);
}

} // namespace
