// The eight actions on another program's window, and the lists of the
// windows hidden or cloaked, kept so that every one of them can be given back.
#include "actions/window_actions.h"

#include "common/app_state.h"
#include "rules/rule.h"

#include <vector>

WindowList HiddenList;
WindowList CloakedList;

void WindowList::Append(HWND window, DWORD threadId)
{
    windows_.push_back({window, threadId});
    ++held_[Key(window, threadId)];
    if (appended)
        appended(window, threadId);
}

ptrdiff_t WindowList::FindFirst(HWND window) const
{
    for (size_t index = 0; index < windows_.size(); ++index) {
        if (windows_[index].window == window)
            return static_cast<ptrdiff_t>(index);
    }
    return -1;
}

bool WindowList::Holds(HWND window, DWORD threadId) const
{
    return held_.count(Key(window, threadId)) != 0;
}

void WindowList::RemoveAt(size_t index)
{
    if (index >= windows_.size())
        return;
    auto held = held_.find(Key(windows_[index].window, windows_[index].threadId));
    if (held != held_.end() && --held->second == 0)
        held_.erase(held);
    windows_.erase(windows_.begin() + static_cast<ptrdiff_t>(index));
    if (removed)
        removed();
}

void WindowList::Clear()
{
    windows_.clear();
    held_.clear();
    if (removed)
        removed();
}

namespace {

// How long this thread waits for another program at one call, and for all
// the cloaked windows together at a restore of every window.
constexpr DWORD AnswerWaitMs = 500;
constexpr DWORD GiveBackWaitMs = 1000;

// Every window of this process is refused, not only MainDialog and what it
// owns: the rule editor's warning box or the About box, hidden by a rule,
// would stay modal and invisible and lock the user out. A cloaked window is
// another program's, but held under MainWindow; SetParent does not make
// GetParent report it, and every re-parenting activates the window again, so
// an Activate rule that cloaks would otherwise cloak it over and over: its
// real parent is checked as well.
bool Refused(HWND window, DWORD processId)
{
    if (processId == GetCurrentProcessId())
        return true;
    return MainWindow && GetAncestor(window, GA_PARENT) == MainWindow;
}

// SetParent on another program's window is carried out by that window's
// thread: it waits for as long as that program takes no messages, and has no
// asynchronous form. It is made from a worker thread, which this thread
// waits for only so long. A worker left waiting on a hung program finishes
// when the program runs again, or dies with this process.
DWORD WINAPI CloakThread(void *window)
{
    return SetParent(static_cast<HWND>(window), MainWindow) != nullptr;
}

DWORD WINAPI UncloakThread(void *window)
{
    return SetParent(static_cast<HWND>(window), nullptr) != nullptr;
}

HANDLE StartReparenting(HWND window, bool cloak)
{
    return CreateThread(nullptr, 64 * 1024, cloak ? CloakThread : UncloakThread, window,
                        STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
}

// True when the worker ended within boundMs from start. The messages other
// threads send this one meanwhile are answered, as a SetParent made here
// would answer them: the re-parenting may activate windows, whose programs
// then send to ours.
bool Finished(HANDLE worker, DWORD start, DWORD boundMs)
{
    for (;;) {
        DWORD waited = GetTickCount() - start;
        DWORD left = waited < boundMs ? boundMs - waited : 0;
        DWORD woken = MsgWaitForMultipleObjects(1, &worker, FALSE, left, QS_SENDMESSAGE);
        if (woken == WAIT_OBJECT_0)
            return true;
        if (woken != WAIT_OBJECT_0 + 1)
            return false;
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

// Whether the window's program takes messages now: a hung program's window
// is not cloaked, since its SetParent would land some time later, maybe
// after its entry had been restored and dropped, and the window would die
// with MainWindow at the end.
bool Answers(HWND window)
{
    DWORD_PTR ignored;
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, AnswerWaitMs, &ignored) != 0;
}

// A child of another thread's window shares that thread's input: every
// change of focus or activation in this program would then be a message to
// the cloaked window's thread, and wait while its program hangs.
void DetachInput(DWORD threadId) { AttachThreadInput(GetCurrentThreadId(), threadId, FALSE); }

// Cloaks whose worker outlived its bound: their SetParent may still land,
// whenever the window's program takes messages again. Until it is known to
// have landed or failed, the window counts as cloaked, so that a give-back
// is queued behind it rather than skipped: a window that landed under
// MainWindow after its entry had gone would die with the program.
struct PendingCloak {
    HWND window;
    DWORD threadId;
    HANDLE worker;
};
std::vector<PendingCloak> pendingCloaks;

bool CloakPending(HWND window, DWORD threadId)
{
    bool pending = false;
    for (size_t index = 0; index < pendingCloaks.size();) {
        PendingCloak &cloak = pendingCloaks[index];
        if (WaitForSingleObject(cloak.worker, 0) == WAIT_OBJECT_0) {
            DWORD cloaked = 0;
            if (GetExitCodeThread(cloak.worker, &cloaked) && cloaked)
                DetachInput(cloak.threadId);
            CloseHandle(cloak.worker);
            pendingCloaks.erase(pendingCloaks.begin() + static_cast<ptrdiff_t>(index));
            continue;
        }
        pending = pending || (cloak.window == window && cloak.threadId == threadId);
        ++index;
    }
    return pending;
}

// Listed first, as a Hide is.
int CloakWindow(HWND window, DWORD threadId)
{
    CloakedList.Append(window, threadId);
    HANDLE worker = Answers(window) ? StartReparenting(window, true) : nullptr;
    if (!worker)
        return 0;
    if (!Finished(worker, GetTickCount(), AnswerWaitMs)) {
        pendingCloaks.push_back({window, threadId, worker});
        return 0;
    }
    DWORD cloaked = 0;
    GetExitCodeThread(worker, &cloaked);
    CloseHandle(worker);
    if (cloaked)
        DetachInput(threadId);
    return static_cast<int>(cloaked);
}

// Both calls are queued for the target's thread, which carries them out in
// order: the shrink lands on the minimized window.
int SmashWindow(HWND window)
{
    ShowWindowAsync(window, SW_MINIMIZE);
    return SetWindowPos(window, nullptr, -1, -1, 1, 1, SWP_NOZORDER | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
}

// The actions that a window's first show would undo.
int ActOnShownWindow(HWND window, int32_t action)
{
    switch (action) {
    case Minimize:
        return ShowWindowAsync(window, SW_MINIMIZE);
    case ForceMinimize:
        return ShowWindowAsync(window, SW_FORCEMINIMIZE);
    case Maximize:
        return ShowWindowAsync(window, SW_MAXIMIZE);
    case Hide:
        return ShowWindowAsync(window, SW_HIDE);
    case Smash:
        return SmashWindow(window);
    default:
        return 0;
    }
}

// Many programs create their main window hidden and show it once they are
// ready, later than a Create rule acts. Such an action waits, polled by a
// thread timer that modal loops dispatch too, until the window is first
// shown, at most ShowWaitMs; then it is carried out. When the run ends, the
// actions still waiting are dropped with the message loop.
constexpr DWORD ShowWaitMs = 5000;
constexpr UINT ShowPollMs = 20;

struct WaitingAction {
    HWND window;
    DWORD threadId;  // a handle freed with its window may name another
    int32_t action;
    DWORD since;
};
std::vector<WaitingAction> waitingActions;
UINT_PTR showTimer;

// A Hide whose window has been given back meanwhile is not carried out: the
// window would stay hidden with nothing left to bring it back.
void CALLBACK OnShowTimer(HWND, UINT, UINT_PTR, DWORD)
{
    for (size_t index = 0; index < waitingActions.size();) {
        WaitingAction waiting = waitingActions[index];
        bool same = GetWindowThreadProcessId(waiting.window, nullptr) == waiting.threadId;
        if (same && !IsWindowVisible(waiting.window) && GetTickCount() - waiting.since < ShowWaitMs) {
            ++index;
            continue;
        }
        waitingActions.erase(waitingActions.begin() + static_cast<ptrdiff_t>(index));
        if (same && (waiting.action != Hide || HiddenList.Holds(waiting.window, waiting.threadId)))
            ActOnShownWindow(waiting.window, waiting.action);
    }
    if (waitingActions.empty() && showTimer) {
        KillTimer(nullptr, showTimer);
        showTimer = 0;
    }
}

// The user took the window back: whatever waited for its first show would
// undo that.
void CancelWaits(HWND window, DWORD threadId)
{
    for (size_t index = 0; index < waitingActions.size();) {
        if (waitingActions[index].window == window && waitingActions[index].threadId == threadId)
            waitingActions.erase(waitingActions.begin() + static_cast<ptrdiff_t>(index));
        else
            ++index;
    }
}

bool Waiting(HWND window, DWORD threadId, int32_t action)
{
    for (const WaitingAction &waiting : waitingActions) {
        if (waiting.window == window && waiting.threadId == threadId && waiting.action == action)
            return true;
    }
    return false;
}

// False when no timer could be had: the action is then carried out at once.
// The same action waiting on the same window already is enough: a flood of
// reports for one hidden window would otherwise add a watch per report, and
// every poll would look at each of them.
bool WaitForShow(HWND window, DWORD threadId, int32_t action)
{
    if (Waiting(window, threadId, action))
        return true;
    if (!showTimer)
        showTimer = SetTimer(nullptr, 0, ShowPollMs, OnShowTimer);
    if (!showTimer)
        return false;
    waitingActions.push_back({window, threadId, action, GetTickCount()});
    return true;
}

} // namespace

// Each look at another program's window is a call to the window server, and
// a flood of reports makes thousands: the owner is asked once.
int PerformAction(HWND window, int32_t action)
{
    DWORD processId = 0;
    const DWORD threadId = GetWindowThreadProcessId(window, &processId);
    if (Refused(window, processId))
        return 0;
    // Hidden or cloaked by this program, it is not waiting to be shown by
    // its own: a wait would undo the user's restore of it at the show.
    const bool ours = HiddenList.Holds(window, threadId) || CloakedList.Holds(window, threadId);
    // None of these waits without a bound for another program's thread,
    // which may be hung.
    switch (action) {
    case Close:
        return PostMessageA(window, WM_CLOSE, 0, 0);
    case Restore:
        return ShowWindowAsync(window, SW_RESTORE);
    case Cloak:
        return CloakWindow(window, threadId);
    case Hide:
        // Listed before anything is done, and whatever the call reports, so
        // that nothing once acted on can be lost track of.
        HiddenList.Append(window, threadId);
        break;
    case Minimize:
    case ForceMinimize:
    case Maximize:
    case Smash:
        break;
    default:
        return 0;
    }
    if (threadId == 0 || ours || IsWindowVisible(window))  // no thread: no window
        return ActOnShownWindow(window, action);
    // A window reported while its program is still creating it is not shown
    // yet either, and is shown as its creation ends. Hiding it at once costs
    // nothing on a hidden window and is queued behind that show, so the Hide
    // lands without a poll's wait; it is repeated at the first show, for
    // programs that show their window later. A Hide that waits already was
    // carried out at once when it began to wait, and the wait hides whatever
    // show comes since: a flood of reports for a hidden window would
    // otherwise wake its program once each, for nothing, while this thread
    // and that program compete for the window server.
    if (action == Hide) {
        if (Waiting(window, threadId, action))
            return 1;
        int done = ActOnShownWindow(window, action);
        WaitForShow(window, threadId, action);
        return done;
    }
    return WaitForShow(window, threadId, action) ? ActionDeferred : ActOnShownWindow(window, action);
}

namespace {

// Whether entry index of list still names the window that was listed: the
// thread that owned it then owns it now (a handle freed with its window may
// come back naming another program's), and an entry of CloakedList still
// sits under MainWindow, or may yet land there. No restore touches a window
// that fails this.
bool StillListed(const WindowList &list, size_t index)
{
    HWND window = list.At(index);
    DWORD thread = list.ThreadAt(index);
    if (thread == 0 || GetWindowThreadProcessId(window, nullptr) != thread)
        return false;
    if (&list != &CloakedList)
        return true;
    return (MainWindow && GetAncestor(window, GA_PARENT) == MainWindow) || CloakPending(window, thread);
}

// True once the uncloak landed within the bound from start: a give-back
// that did not finish is not taken for one that did.
bool GaveBack(HANDLE worker, DWORD start, DWORD boundMs)
{
    DWORD given = 0;
    bool finished = Finished(worker, start, boundMs);
    if (finished)
        GetExitCodeThread(worker, &given);
    CloseHandle(worker);
    return finished && given != 0;
}

} // namespace

void RestoreListed(WindowList &list, size_t index)
{
    if (index >= list.Count())
        return;
    HWND window = list.At(index);
    CancelWaits(window, list.ThreadAt(index));
    if (StillListed(list, index)) {
        if (&list == &HiddenList) {
            ShowWindowAsync(window, SW_RESTORE);
        } else {
            HANDLE worker = StartReparenting(window, false);
            if (!worker || !GaveBack(worker, GetTickCount(), AnswerWaitMs))
                return;  // still listed: Restore All or the end tries again
        }
    }
    list.RemoveAt(index);
}

// No call waits without a bound for another program: the shows are queued,
// and the cloaked windows are given back all at once, each by a worker, so
// that those of programs that answer are back at once and the hung ones
// together cost at most GiveBackWaitMs. A window both hidden and cloaked is
// shown first: its program carries out the calls in the order queued. A
// cloaked window whose program did not answer in time stays listed.
void RestoreAllWindows()
{
    for (size_t index = 0; index < HiddenList.Count(); ++index) {
        CancelWaits(HiddenList.At(index), HiddenList.ThreadAt(index));
        if (StillListed(HiddenList, index))
            ShowWindowAsync(HiddenList.At(index), SW_RESTORE);
    }
    struct GiveBack {
        HWND window;
        DWORD threadId;
        HANDLE worker;
    };
    std::vector<GiveBack> givebacks;
    for (size_t index = 0; index < CloakedList.Count(); ++index) {
        CancelWaits(CloakedList.At(index), CloakedList.ThreadAt(index));
        if (!StillListed(CloakedList, index))
            continue;
        if (HANDLE worker = StartReparenting(CloakedList.At(index), false))
            givebacks.push_back({CloakedList.At(index), CloakedList.ThreadAt(index), worker});
    }
    DWORD start = GetTickCount();
    std::vector<GiveBack> unfinished;
    for (const GiveBack &giveback : givebacks) {
        if (!GaveBack(giveback.worker, start, GiveBackWaitMs))
            unfinished.push_back(giveback);
    }
    HiddenList.Clear();
    CloakedList.Clear();
    for (const GiveBack &giveback : unfinished)
        CloakedList.Append(giveback.window, giveback.threadId);
}
