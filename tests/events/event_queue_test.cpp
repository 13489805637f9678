// The queue of reports against windows of the victim: handled in the order
// they came, while a modal loop runs, past the bound at once, and dropped
// with the dialog at the end. The main dialog is the real one with a
// procedure that only passes the two reports on.
#include "actions/window_actions.h"
#include "common/app_state.h"
#include "common/messages.h"
#include "common/resource.h"
#include "events/event_queue.h"
#include "events/window_events.h"
#include "rules/rule_set.h"
#include "tests/support/modal_script.h"
#include "tests/support/test_support.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>

namespace {

using Names = std::vector<std::string>;

INT_PTR CALLBACK PassReportsOn(HWND, UINT message, WPARAM wParam, LPARAM)
{
    if (message != WM_HOOKCREATE && message != WM_HOOKACTIVATE)
        return FALSE;
    HandleWindowEvent(message, reinterpret_cast<HWND>(wParam));
    return TRUE;
}

class EventQueue : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
        InitCommonControlsEx(&controls);
        victim = new Victim;
    }
    static void TearDownTestSuite() { delete victim; }

    void SetUp() override
    {
        ASSERT_TRUE(victim->Running());
        MainDialog = CreateDialogA(nullptr, MAKEINTRESOURCEA(IDD_MAIN), nullptr, PassReportsOn);
        ASSERT_NE(list = GetDlgItem(MainDialog, IDC_MAIN_EVENTS), nullptr);
        InitEventControls(MainDialog);
        window = victim->Create("VictimTarget", "Target");
        for (int32_t event : {Create, Activate}) {
            Rule rule;
            rule.event = event;
            rule.action = event == Create ? Hide : Minimize;
            rule.matchClass = true;
            std::strcpy(rule.className, "VictimTarget");
            ruleSet.Append(rule);
        }
    }
    void TearDown() override
    {
        victim->Send("destroy " + std::to_string(uintptr_t(window)));
        DestroyWindow(MainDialog);
        ruleSet.Clear();
        HiddenList.Clear();
    }

    Names Events() const
    {
        Names texts(ListView_GetItemCount(list));
        for (size_t row = 0; row < texts.size(); ++row) {
            char text[64] = "";
            ListView_GetItemText(list, row, 0, text, sizeof text);
            texts[row] = text;
        }
        return texts;
    }

    inline static Victim *victim = nullptr;
    HWND list = nullptr, window = nullptr;
};

// The rows an Activate report at once behind a Create report gives: the
// order the delay gave when it stopped the thread.
TEST_F(EventQueue, AnActivateBehindADelayedCreateWaitsItsTurn)
{
    SetEventDelay(100);
    PostMessageA(MainDialog, WM_HOOKCREATE, reinterpret_cast<WPARAM>(window), 0);
    PostMessageA(MainDialog, WM_HOOKACTIVATE, reinterpret_cast<WPARAM>(window), 0);
    PumpMessages();
    EXPECT_EQ(Events(), Names{});
    ASSERT_TRUE(WaitFor([&] { return Events().size() == 4; }));
    EXPECT_EQ(Events(), (Names{"Minimize", "Activate", "Hide", "Create"}));
}

TEST_F(EventQueue, AReportIsHandledWhileAModalDialogIsOpen)
{
    SetEventDelay(50);
    ModalScript script({
        [&] { return PostMessageA(MainDialog, WM_HOOKCREATE, reinterpret_cast<WPARAM>(window), 0) != 0; },
        [&] { return !IsWindowVisible(window) && Events() == Names{"Hide", "Create"}; },
        [&] { return PostMessageA(ModalScript::FindDialog("queue test", MainDialog), WM_COMMAND, IDOK, 0) != 0; },
    });
    MessageBoxA(MainDialog, "reports keep coming", "queue test", MB_OK);
    EXPECT_TRUE(script.Finished());
}

// One report too many sends the oldest on at once, without the rest of its
// delay, and only that one.
TEST_F(EventQueue, PastItsBoundTheOldestGoesAtOnce)
{
    SetEventDelay(60000);
    for (size_t i = 0; i <= ReportQueueLimit; ++i)
        HandleWindowEvent(WM_HOOKCREATE, window);
    EXPECT_EQ(Events(), (Names{"Hide", "Create"}));
    EXPECT_EQ(QueuedReports(), ReportQueueLimit);
}

// The end of the run destroys the dialog before it gives the windows back:
// what is still queued then is dropped.
TEST_F(EventQueue, TheEndDropsTheReportsStillQueued)
{
    SetEventDelay(50);
    HandleWindowEvent(WM_HOOKCREATE, window);
    DestroyWindow(MainDialog);
    EXPECT_FALSE(WaitFor([&] { return !IsWindowVisible(window); }, 300));
}

} // namespace
