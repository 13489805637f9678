// The queue of reports against a victim's window: handled in the order they came, also in a modal
// loop, past the bound at once, and dropped with the dialog at the end.
#include "actions/window_actions.h"
#include "common/app_state.h"
#include "common/messages.h"
#include "common/resource.h"
#include "events/event_queue.h"
#include "events/window_events.h"
#include "rules/rule_set.h"
#include "tests/app/black_box.h"
#include "tests/support/modal_script.h"

#include <commctrl.h>
#include <gtest/gtest.h>

// The real main dialog with no procedure; rules that hide Target at Create and close it at
// Activate. Closed first, it is no longer there to hide.
class EventQueue : public testing::Test {
protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
        InitCommonControlsEx(&controls);
        MainDialog = CreateDialogA(nullptr, MAKEINTRESOURCEA(IDD_MAIN), nullptr, nullptr);
        InitEventControls(MainDialog);
        ruleSet.Append(black_box::TitleRule(Create, "Target", Hide));
        ruleSet.Append(black_box::TitleRule(Activate, "Target", Close));
    }
    void TearDown() override
    {
        DestroyWindow(MainDialog);
        ruleSet.Clear();
        HiddenList.Clear();
    }

    Victim victim;
    HWND window = victim.Create("VictimTarget", "Target");
};

// Reported inside a message box's loop, an Activate behind a delayed Create waits its turn.
TEST_F(EventQueue, ReportsKeepTheirOrderAndAreHandledInAModalLoop)
{
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
}

// One report too many sends the oldest on at once, without the rest of its delay, and only that.
TEST_F(EventQueue, PastItsBoundTheOldestGoesAtOnce)
{
    SetEventDelay(60000);
    for (size_t i = 0; i <= ReportQueueLimit; ++i)
        HandleWindowEvent(WM_HOOKCREATE, window);
    EXPECT_EQ(HiddenList.Count(), 1u);
    EXPECT_EQ(QueuedReports(), ReportQueueLimit);
}

// The end of the run destroys the dialog first: what is still queued then is dropped.
TEST_F(EventQueue, TheEndDropsTheReportsStillQueued)
{
    SetEventDelay(50);
    HandleWindowEvent(WM_HOOKCREATE, window);
    DestroyWindow(MainDialog);
    EXPECT_FALSE(WaitFor([&] { return !IsWindowVisible(window); }, 300));
}
