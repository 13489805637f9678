// The queue of reports and the timer of MainDialog that hands them over in
// the order they arrived, each once it is due. Handling goes in slices, so
// that a flood of reports never keeps the thread from answering anyone else.
#include "events/event_queue.h"

#include "common/app_state.h"
#include "common/messages.h"

#include <deque>

namespace {

// A slice of handling lasts at least this long, and longer only while
// nothing is posted to the thread, which it looks for every LookAroundMs:
// each look is a call to the window server, as costly as a read of a title.
constexpr DWORD SliceMs = 10;
constexpr DWORD LookAroundMs = 4;
// While a backlog keeps the thread handling slice after slice, the rows are
// painted at least this often, so that the user sees the list move. Under
// Wine's default theme a paint costs ten to forty milliseconds, most of it
// drawing the scroll bar twice: it is the longest thing done here.
constexpr DWORD FloodPaintMs = 100;
// Past this many reports queued behind a head that was due when its timer
// was set, a report that joins them is only queued, without a look at the
// message queue: the timer comes once every posted message has been fetched,
// and a look per report of a flood costs a call to the window server each.
constexpr size_t UnlookedBacklog = 64;

struct Report {
    HWND window;
    int32_t event;
    DWORD due;  // GetTickCount
};

std::deque<Report> reports;
HWND reportsFor;  // the MainDialog whose timer hands them over
bool handling;    // reports that arrive meanwhile wait their turn
bool timerSet;    // for the head due at timerDue, every timerElapse ms
DWORD timerDue;
UINT timerElapse;

// Signed, so that the tick count may wrap between arrival and due.
bool HeadDue(DWORD now)
{
    return !reports.empty() &&
           (reports.size() > ReportQueueLimit || static_cast<LONG>(now - reports.front().due) >= 0);
}

bool ReportsPosted()
{
    MSG message;
    return PeekMessageA(&message, MainDialog, WM_HOOKCREATE, WM_HOOKACTIVATE, PM_NOREMOVE | PM_NOYIELD) !=
           FALSE;
}

// The reports belong to one MainDialog: once it is gone, at the end of the
// run, they are dropped unhandled.
bool QueueUsable()
{
    if (reportsFor != MainDialog) {
        reports.clear();
        reportsFor = MainDialog;
        timerSet = false;
    }
    return MainDialog && IsWindow(MainDialog);
}

void CALLBACK OnQueueTimer(HWND, UINT, UINT_PTR, DWORD);

// Known by the address of its procedure, no id of MainDialog can clash with it.
UINT_PTR QueueTimerId() { return reinterpret_cast<UINT_PTR>(&OnQueueTimer); }

// The timer repeats until killed: as long as it is set for the head, or
// soon for a head already due, a flood of reports behind it costs no call
// to the window server.
void ScheduleHead()
{
    if (reports.empty()) {
        if (timerSet)
            KillTimer(MainDialog, QueueTimerId());
        timerSet = false;
        return;
    }
    const DWORD due = reports.front().due;
    const LONG wait = static_cast<LONG>(due - GetTickCount());
    const UINT elapse = wait > 0 ? static_cast<UINT>(wait) : USER_TIMER_MINIMUM;
    if (timerSet && (wait > 0 ? timerDue == due : timerElapse == USER_TIMER_MINIMUM))
        return;
    timerSet = SetTimer(MainDialog, QueueTimerId(), elapse, OnQueueTimer) != 0;
    timerDue = due;
    timerElapse = elapse;
}

// The due reports from the head, in order, for one slice; past it, on only
// while nothing is posted to the thread. A paint, the longest thing done
// here, answers what was sent before its steps. A call into another
// program, or a message answered meanwhile, may have ended the dialog: the
// queue is looked at again before every report.
void HandleDueReports()
{
    if (handling)
        return;
    handling = true;
    const DWORD start = GetTickCount();
    DWORD now, lookedAt = start;
    while (QueueUsable() && HeadDue(now = GetTickCount())) {
        if (now - start >= SliceMs && now - lookedAt >= LookAroundMs) {
            lookedAt = now;
            if (UnpaintedRowsAge() >= FloodPaintMs)
                PaintEventList();
            if (!AnswerSentMessages() || !QueueUsable())
                break;
        }
        const Report report = reports.front();
        reports.pop_front();
        HandleReport(report.window, report.event);
    }
    handling = false;
    if (QueueUsable())
        ScheduleHead();
}

void CALLBACK OnQueueTimer(HWND, UINT, UINT_PTR, DWORD) { HandleDueReports(); }

} // namespace

// Reports posted behind this one are fetched first (each a cheap append), so
// that a posted command such as E&xit is not kept behind a backlog.
void QueueReport(HWND window, int32_t event, int delayMs)
{
    if (!QueueUsable())
        return;
    const DWORD now = GetTickCount();
    reports.push_back({window, event, now + static_cast<DWORD>(delayMs > 0 ? delayMs : 0)});
    if (handling)
        return;
    const bool backlog =
        timerSet && timerElapse == USER_TIMER_MINIMUM && reports.size() > UnlookedBacklog;
    if (!HeadDue(now) || (reports.size() <= ReportQueueLimit && (backlog || ReportsPosted())))
        ScheduleHead();
    else
        HandleDueReports();
}

size_t QueuedReports() { return reportsFor == MainDialog ? reports.size() : 0; }

bool AnswerSentMessages()
{
    DWORD waiting = HIWORD(GetQueueStatus(QS_SENDMESSAGE | QS_ALLPOSTMESSAGE | QS_INPUT));
    if (waiting & (QS_ALLPOSTMESSAGE | QS_INPUT))
        return false;
    MSG message;
    if (waiting & QS_SENDMESSAGE)
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    return true;
}
