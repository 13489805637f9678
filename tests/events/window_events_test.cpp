// The road of an event through the main dialog: filter, delay, texts, the
// event row, the rules; the event list itself; and the rules applied to every
// open window.
#include "tests/events/event_log_fixture.h"

#include "rules/apply_rules.h"

#include <algorithm>
#include <functional>

namespace {

class WindowEvents : public EventLogTest {};
class EventLog : public EventLogTest {};
class OpenWindows : public EventLogTest {};

double ElapsedMs(const std::function<void()> &call)
{
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    call();
    QueryPerformanceCounter(&end);
    return double(end.QuadPart - start.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

void Report(UINT message, HWND window)
{
    SendMessageA(MainDialog, message, reinterpret_cast<WPARAM>(window), 0);
}

std::string Text(HWND window)
{
    char text[32] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

TEST_F(WindowEvents, NullOwnDialogAndPickerAreIgnored)
{
    Rule everyWindow;
    everyWindow.action = Hide;
    ruleSet.Append(everyWindow);
    everyWindow.event = Activate;
    ruleSet.Append(everyWindow);
    for (UINT message : {WM_HOOKCREATE, WM_HOOKACTIVATE}) {
        for (HWND window : {HWND(nullptr), MainDialog, PickerWindow})
            Report(message, window);
    }
    HandleWindowEvent(WM_HOOKIGNORED, Target());
    EXPECT_EQ(RowCount(), 0);
    EXPECT_EQ(HiddenList.Count(), 0u);
}

// Rows from the top: the last rule fired, ..., the first, then the event.
TEST_F(WindowEvents, EventRowThenEveryMatchingRuleAboveIt)
{
    ruleSet.Append(ClassRule(Create, "EventTarget", Minimize));
    ruleSet.Append(ClassRule(Create, "Other", Close));
    ruleSet.Append(ClassRule(Activate, "EventTarget", Close));
    ruleSet.Append(TitleRule(Create, Equals, "Target", Restore));
    Rule everyWindow;
    everyWindow.action = Maximize;
    ruleSet.Append(everyWindow);

    HWND window = Target();
    Report(WM_HOOKCREATE, window);
    EXPECT_EQ(Column(0), (Names{"Maximize", "Restore", "Minimize", "Create"}));
    EXPECT_EQ(Column(1), Names(4, "Target"));
    EXPECT_EQ(Column(2), Names(4, "EventTarget"));
    EXPECT_EQ(Column(3), Names(4, Handle(window)));
    EXPECT_TRUE(WaitFor([&] { return IsZoomed(window); }));

    ClearEventLog();
    Report(WM_HOOKACTIVATE, window);
    EXPECT_EQ(Column(0), (Names{"Close", "Activate"}));
}

TEST_F(WindowEvents, CreateWaitsTheDelayAndReadsTheTextsAfterIt)
{
    HWND trackbar = GetDlgItem(MainDialog, IDC_MAIN_DELAY);
    auto dragTo = [&](int position) {
        SendMessageA(trackbar, TBM_SETPOS, TRUE, position);
        SendMessageA(MainDialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, position),
                     reinterpret_cast<LPARAM>(trackbar));
    };
    HWND label = GetDlgItem(MainDialog, IDC_MAIN_DELAY_LABEL);
    ruleSet.Append(TitleRule(Create, Equals, "Titled late", Restore));
    HWND window = Target("EventTarget", "Untitled");

    dragTo(250);
    EXPECT_EQ(eventDelayMs, 250);
    EXPECT_EQ(Text(label), "250 ms");
    victim->Send("latetitle " + std::to_string(reinterpret_cast<uintptr_t>(window)) + "|60|Titled late");
    EXPECT_GE(ElapsedMs([&] { Report(WM_HOOKCREATE, window); }), 240.0);
    EXPECT_EQ(Column(0), (Names{"Restore", "Create"}));
    EXPECT_EQ(Cell(1, 1), "Titled late");
    // Activations are never held up, and nothing is with the delay at 0.
    EXPECT_LT(ElapsedMs([&] { Report(WM_HOOKACTIVATE, window); }), 150.0);
    dragTo(0);
    EXPECT_EQ(Text(label), "0 ms");
    EXPECT_LT(ElapsedMs([&] { Report(WM_HOOKCREATE, window); }), 150.0);
    EXPECT_EQ(RowCount(), 5);
}

TEST_F(WindowEvents, LongTitleIsShownAndMatchedAsItsFirst79Characters)
{
    std::string title;
    for (int i = 0; i < 100; ++i)
        title += static_cast<char>('a' + i % 26);
    const std::string shown = title.substr(0, 79);
    ruleSet.Append(TitleRule(Activate, EndsWith, shown.substr(73).c_str(), Restore));
    ruleSet.Append(TitleRule(Activate, EndsWith, title.substr(94).c_str(), Minimize));
    ruleSet.Append(TitleRule(Activate, Equals, shown.c_str(), Restore));

    Report(WM_HOOKACTIVATE, Target("EventTarget", title));
    EXPECT_EQ(Column(0), (Names{"Restore", "Restore", "Activate"}));
    EXPECT_EQ(Cell(2, 1), shown);
}

TEST_F(WindowEvents, WindowGoneBeforeTheTextsAreReadIsLoggedWithEmptyTexts)
{
    Rule everyWindow;
    everyWindow.action = Minimize;
    ruleSet.Append(everyWindow);
    HWND window = Target();
    Destroy(window);
    Report(WM_HOOKCREATE, window);
    EXPECT_EQ(Column(0), (Names{"Minimize", "Create"}));
    EXPECT_EQ(Column(1), Names(2, ""));
    EXPECT_EQ(Column(2), Names(2, ""));
    EXPECT_EQ(Cell(1, 3), Handle(window));
}

// Every re-parenting activates the window again, and a cloaked window has no
// parent in GetParent's sense: an Activate rule that cloaks must still act
// only once. A hook of this thread reports activations as the hook library
// does, so the window is one of this thread. The reports are capped, so that
// an endless re-cloaking fails the test instead of hanging it.
HHOOK activationHook;
int reportsLeft;

LRESULT CALLBACK ReportActivation(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE && wParam && MainDialog && reportsLeft > 0) {
        --reportsLeft;
        PostMessageA(MainDialog, WM_HOOKACTIVATE, wParam, 0);
    }
    return CallNextHookEx(activationHook, code, wParam, lParam);
}

TEST_F(WindowEvents, ActivateRuleThatCloaksActsOnlyOnce)
{
    WNDCLASSEXA wc = {sizeof wc};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "CloakTarget";
    RegisterClassExA(&wc);
    ruleSet.Append(ClassRule(Activate, "CloakTarget", Cloak));
    HWND window = CreateWindowExA(0, "CloakTarget", "cloak me", WS_OVERLAPPEDWINDOW, 50, 50, 200, 100,
                                  nullptr, nullptr, wc.hInstance, nullptr);
    reportsLeft = 20;
    activationHook = SetWindowsHookExA(WH_CBT, ReportActivation, nullptr, GetCurrentThreadId());
    ASSERT_NE(activationHook, nullptr);

    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    auto rowsOf = [&](const char *name) {
        int count = 0;
        for (int row = 0; row < RowCount(); ++row)
            count += Cell(row, 0) == name && Cell(row, 3) == Handle(window);
        return count;
    };
    // The second activation is the one the re-parenting caused.
    bool reactivated = WaitFor([&] { return rowsOf("Activate") >= 2; }, 3000);
    UnhookWindowsHookEx(activationHook);
    PumpMessages();
    ASSERT_TRUE(reactivated);
    EXPECT_EQ(CloakedList.Count(), 1u);
    EXPECT_EQ(GetAncestor(window, GA_PARENT), MainWindow);
    EXPECT_EQ(rowsOf("Cloak"), rowsOf("Activate"));
    DestroyWindow(window);
}

TEST_F(EventLog, DelayAndColumnsAreSetUpWithTheDialog)
{
    eventDelayMs = 7;
    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_MAIN), nullptr,
                                     EventTestDialogProc, 0);
    ASSERT_NE(dialog, nullptr);
    HWND trackbar = GetDlgItem(dialog, IDC_MAIN_DELAY);
    EXPECT_EQ(SendMessageA(trackbar, TBM_GETRANGEMIN, 0, 0), 0);
    EXPECT_EQ(SendMessageA(trackbar, TBM_GETRANGEMAX, 0, 0), 250);
    EXPECT_EQ(SendMessageA(trackbar, TBM_GETPOS, 0, 0), 50);
    EXPECT_EQ(SendMessageA(trackbar, TBM_GETNUMTICS, 0, 0), 11);  // every 25, both ends
    EXPECT_EQ(eventDelayMs, 50);
    EXPECT_EQ(Text(GetDlgItem(dialog, IDC_MAIN_DELAY_LABEL)), "50 ms");

    HWND events = GetDlgItem(dialog, IDC_MAIN_EVENTS);
    RECT client;
    GetClientRect(events, &client);
    const int q = client.right / 4, v = GetSystemMetrics(SM_CXVSCROLL);
    const struct {
        const char *header;
        int width;
    } columns[] = {{"Event", q - v - 20}, {"Window Title", q + 20}, {"Window Class", q + 20},
                   {"HWND", q - 20}};
    for (int i = 0; i < 4; ++i) {
        char header[32] = "";
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM | LVCF_FMT;
        column.pszText = header;
        column.cchTextMax = sizeof header;
        ASSERT_TRUE(SendMessageA(events, LVM_GETCOLUMNA, i, reinterpret_cast<LPARAM>(&column)));
        EXPECT_STREQ(header, columns[i].header);
        EXPECT_EQ(column.cx, columns[i].width) << header;
        EXPECT_EQ(column.iSubItem, i) << header;
        EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT) << header;
    }
    DestroyWindow(dialog);
}

TEST_F(EventLog, KeepsTheNewest100Rows)
{
    for (uintptr_t i = 1; i <= 105; ++i)
        LogEvent(reinterpret_cast<HWND>(i), Create, "title", "class");
    EXPECT_EQ(RowCount(), 100);
    EXPECT_EQ(Cell(0, 3), "0x00000069");
    EXPECT_EQ(Cell(99, 3), "0x00000006");
}

// A rule file from elsewhere may hold any value; the row shows a placeholder
// instead of reading past the name tables.
TEST_F(EventLog, ValuesOutsideTheNameTablesShowAPlaceholder)
{
    LogEvent(MainWindow, 2, "t", "c");
    LogAction(MainWindow, 8, "t", "c");
    LogAction(MainWindow, -1, "t", "c");
    EXPECT_EQ(Column(0), Names(3, UnknownName));
}

TEST_F(EventLog, ClearEmptiesTheListAndNothingElse)
{
    ruleSet.Append(ClassRule(Create, "EventTarget", Hide));
    Report(WM_HOOKCREATE, Target());
    ASSERT_EQ(RowCount(), 2);
    ClearEventLog();
    EXPECT_EQ(RowCount(), 0);
    EXPECT_EQ(ruleSet.Count(), 1u);
    EXPECT_EQ(HiddenList.Count(), 1u);
}

// Hidden windows are not visible and cloaked ones no longer top-level: only
// the two shown windows are acted on, by a rule of either event.
TEST_F(OpenWindows, RulesRunOverVisibleTopLevelWindowsWithoutEventRows)
{
    HWND shown1 = Target("OpenTarget"), shown2 = Target("OpenTarget");
    HWND hidden = Target("OpenTarget"), cloaked = Target("OpenTarget");
    ShowWindow(hidden, SW_HIDE);
    ASSERT_EQ(PerformAction(cloaked, Cloak), 1);

    ApplyRulesToOpenWindows();
    EXPECT_EQ(RowCount(), 0);

    ruleSet.Append(ClassRule(Activate, "OpenTarget", Hide));
    ApplyRulesToOpenWindows();
    EXPECT_EQ(Column(0), Names(2, "Hide"));
    Names handles = Column(3);
    std::sort(handles.begin(), handles.end());
    Names expected{Handle(shown1), Handle(shown2)};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(handles, expected);
    EXPECT_EQ(HiddenList.Count(), 2u);
    EXPECT_EQ(HiddenList.FindFirst(hidden), -1);
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(shown1) && !IsWindowVisible(shown2); }));
}

// The action is refused, but the row is written all the same.
TEST_F(OpenWindows, MainDialogIsReachedButNotActedOn)
{
    ShowWindow(MainDialog, SW_SHOWNA);
    Rule own = TitleRule(Create, Equals, "Tarnwick II", Hide);
    own.matchClass = true;
    std::strcpy(own.className, "#32770");
    ruleSet.Append(own);
    ApplyRulesToOpenWindows();
    EXPECT_EQ(Column(0), Names{"Hide"});
    EXPECT_EQ(Cell(0, 3), Handle(MainDialog));
    EXPECT_TRUE(IsWindowVisible(MainDialog));
    EXPECT_EQ(HiddenList.Count(), 0u);
}

} // namespace
