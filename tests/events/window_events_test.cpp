// The road of a report to its rows and rules: the event delay and the queue,
// the event list, and the rules over every open window, against the victim's
// windows. MainDialog is the real template with no procedure but its list.
#include "events/window_events.h"

#include "common/messages.h"
#include "common/resource.h"
#include "events/event_queue.h"
#include "events/win_event_reports.h"
#include "tests/support/modal_script.h"
#include "tests/support/test_rule.h"
#include "tests/support/window_test.h"

#include <cstdio>
#include <set>

namespace {

using Names = std::vector<std::string>;
using WindowEvents = WindowTest;

// One column of the event list, top row first.
Names Column(int column)
{
    HWND list = GetDlgItem(MainDialog, IDC_MAIN_EVENTS);
    Names texts(ListView_GetItemCount(list));
    for (size_t row = 0; row < texts.size(); ++row) {
        char text[256] = "";
        ListView_GetItemText(list, row, column, text, sizeof text);
        texts[row] = text;
    }
    return texts;
}

// As the HWND column shows it.
std::string Handle(HWND window)
{
    char text[16];
    unsigned handle = static_cast<unsigned>(reinterpret_cast<uintptr_t>(window));
    return std::string(text, std::snprintf(text, sizeof text, "0x%08x", handle));
}

// Rows from the top: the last rule fired, ..., the first, then the event; an
// action from a foreign rule file is shown as such. No window, MainDialog and
// the picker are ignored, and so is the hook library's third message. The
// list keeps the newest 100 rows.
TEST_F(WindowEvents, EventRowThenARowForEveryRuleFiredAboveIt)
{
    for (const Rule &rule : {MakeRule(Create, Hide), MakeRule(Activate, Close), MakeRule(Create, 8),
                             MakeRule(Create, Close, "Target"), MakeRule(Create, Smash, "Other")})
        ruleSet.Append(rule);
    for (HWND ignored : {HWND(nullptr), MainDialog, PickerWindow})
        HandleWindowEvent(WM_HOOKCREATE, ignored);
    HWND window = Target();
    HandleWindowEvent(WM_HOOKIGNORED, window);
    HandleWindowEvent(WM_HOOKCREATE, window);
    EXPECT_EQ(Column(0), (Names{"Close", UnknownName, "Hide", "Create"}));
    EXPECT_EQ(Column(1), Names(4, "Target"));
    EXPECT_EQ(Column(2), Names(4, "VictimTarget"));
    EXPECT_EQ(Column(3), Names(4, Handle(window)));
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(window); }));

    for (uintptr_t i = 1; i <= 105; ++i)
        LogEvent(HWND(i), Create, "title", "class");
    ASSERT_EQ(Column(3).size(), 100u);
    EXPECT_EQ(Column(3).front() + " ... " + Column(3).back(), "0x00000069 ... 0x00000006");
}

// The victim titles its window 60 ms after the report, with 100 characters:
// only a Create waits the delay, and reads the title after it, as its first 79.
TEST_F(WindowEvents, CreateWaitsTheDelayAndReadsTheTitleAfterIt)
{
    const std::string shown(79, 'a'), title = shown + std::string(21, 'b');
    ruleSet.Append(MakeRule(Create, Restore, shown.c_str()));
    ruleSet.Append(MakeRule(Create, Minimize, "b", EndsWith));
    HWND window = Target("Untitled");
    auto msToReport = [&](UINT message) {
        DWORD start = GetTickCount();
        size_t rows = Column(0).size();
        HandleWindowEvent(message, window);
        WaitFor([&] { return Column(0).size() > rows; });
        return GetTickCount() - start;
    };
    SetEventDelay(250);
    victim->Send("latetitle " + std::to_string(uintptr_t(window)) + "|60|" + title);
    EXPECT_GE(msToReport(WM_HOOKCREATE), 240u);
    ASSERT_EQ(Column(0), (Names{"Restore", "Create"}));
    EXPECT_EQ(Column(1)[1], shown);
    EXPECT_LT(msToReport(WM_HOOKACTIVATE), 150u);
    SetEventDelay(0);
    EXPECT_LT(msToReport(WM_HOOKCREATE), 150u);
}

INT_PTR CALLBACK RouteReports(HWND, UINT message, WPARAM wParam, LPARAM)
{
    HandleWindowEvent(message, reinterpret_cast<HWND>(wParam));
    return FALSE;
}

// Reported inside a message box's loop, an Activate behind a delayed Create
// waits its turn: the Create hides the window, then the Activate closes it.
// So too behind a backlog of Creates posted faster than they are handled:
// its rows are the last on top. One report past the bound sends the oldest
// on at once, and only that.
TEST_F(WindowEvents, ReportsKeepTheirOrderInAModalLoopWithinABound)
{
    ruleSet.Append(MakeRule(Create, Hide, "Target"));
    ruleSet.Append(MakeRule(Activate, Close, "Target"));
    HWND window = Target();
    SetEventDelay(100);
    auto report = [&] {
        HandleWindowEvent(WM_HOOKCREATE, window);
        HandleWindowEvent(WM_HOOKACTIVATE, window);
        return true;
    };
    auto hiddenThenClosed = [&] { return HiddenList.Count() == 1 && !IsWindow(window); };
    auto close = [] {
        return PostMessageA(ModalScript::FindDialog("queue test"), WM_COMMAND, IDOK, 0) != 0;
    };
    ModalScript script({report, hiddenThenClosed, close});
    MessageBoxA(MainDialog, "reports keep coming", "queue test", MB_OK);
    EXPECT_TRUE(script.Finished());

    window = Target();
    SetEventDelay(0);
    SetWindowLongPtrA(MainDialog, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(RouteReports));
    for (int i = 0; i < 500; ++i)
        PostMessageA(MainDialog, WM_HOOKCREATE, reinterpret_cast<WPARAM>(window), 0);
    PostMessageA(MainDialog, WM_HOOKACTIVATE, reinterpret_cast<WPARAM>(window), 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(window) && QueuedReports() == 0; }));
    EXPECT_EQ(Column(0)[0] + " " + Column(0)[1], "Close Activate");

    window = Target();
    SetEventDelay(60000);
    ClearEventLog();
    for (size_t i = 0; i <= ReportQueueLimit; ++i)
        HandleWindowEvent(WM_HOOKCREATE, window);
    EXPECT_EQ(Column(0), (Names{"Hide", "Create"}));
    EXPECT_EQ(QueuedReports(), ReportQueueLimit);
}

TEST_F(WindowEvents, TheEndDropsTheReportsStillQueued)
{
    ruleSet.Append(MakeRule(Create, Hide));
    HWND window = Target();
    SetEventDelay(50);
    HandleWindowEvent(WM_HOOKCREATE, window);
    DestroyWindow(MainDialog);
    EXPECT_FALSE(WaitFor([&] { return !IsWindowVisible(window); }, 300));
}

// The rules of every event, over the visible top-level windows: hidden and
// cloaked targets are skipped, and the main dialog is refused but logged.
TEST_F(WindowEvents, RulesForOpenWindowsSkipHiddenAndCloakedOnes)
{
    HWND shown1 = Target("Open"), shown2 = Target("Open");
    HWND hidden = Target("Open"), cloaked = Target("Open");
    ShowWindow(hidden, SW_HIDE);
    ASSERT_EQ(PerformAction(cloaked, Cloak), 1);
    ShowWindow(MainDialog, SW_SHOWNA);
    ruleSet.Append(MakeRule(Activate, Hide, "Open"));
    ruleSet.Append(MakeRule(Create, Hide, "Tarnwick II"));
    ApplyRulesToOpenWindows();
    EXPECT_EQ(Column(0), Names(3, "Hide"));
    const Names handles = Column(3);
    EXPECT_EQ(std::set<std::string>(handles.begin(), handles.end()),
              (std::set<std::string>{Handle(shown1), Handle(shown2), Handle(MainDialog)}));
    EXPECT_TRUE(IsWindowVisible(MainDialog));
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(shown1) && !IsWindowVisible(shown2); }));
}

// The first column of the rows of window, top row first.
Names RowsOf(HWND window)
{
    Names events = Column(0), handles = Column(3), rows;
    for (size_t row = 0; row < handles.size(); ++row)
        if (handles[row] == Handle(window))
            rows.push_back(events[row]);
    return rows;
}

bool NoneReached(HANDLE) { return false; }

// The platform's window events taken, every program counted unreached, for
// the length of a test.
struct UnreachedWinEvents {
    UnreachedWinEvents() { SetReachedByHookForTests(NoneReached), StartWinEventReports(); }
    ~UnreachedWinEvents() { StopWinEventReports(), SetReachedByHookForTests(nullptr); }
};

// A program the hook library does not reach (stood in for by the victim): its
// window's creation gives one Create row on which the rules act, and an
// activation it announces is handled like the hook's. Its button, an event of
// another object and one of a window's part give nothing.
TEST_F(WindowEvents, WindowsTheHookCannotReachAreReportedOnceFromTheirEvents)
{
    SetWindowLongPtrA(MainDialog, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(RouteReports));
    ruleSet.Append(MakeRule(Create, Hide, "Target"));
    ruleSet.Append(MakeRule(Activate, Close, "Target"));
    UnreachedWinEvents events;
    HWND window = Target();
    EXPECT_TRUE(WaitFor([&] { return RowsOf(window) == Names{"Hide", "Create"}; }));
    const std::string handle = std::to_string(uintptr_t(window));
    HWND button = GetWindow(window, GW_CHILD);
    for (const std::string &notice :
         {std::to_string(uintptr_t(button)) + "|3 0 0", handle + "|3 -8 0", handle + "|3 0 1",
          handle + "|32768 -4 0", handle + "|3 0 0"})
        victim->Send("notify " + notice);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(window); }));
    EXPECT_EQ(RowsOf(window), (Names{"Close", "Activate", "Hide", "Create"}));
    EXPECT_EQ(RowsOf(button), Names{});
}

} // namespace
