// Window events from the platform for programs of the other bitness, and
// which programs the hook library reaches, known per process.
#include "events/win_event_reports.h"

#include "common/app_state.h"
#include "common/messages.h"

#include <unordered_map>

namespace {

// Past this many processes known, the ended ones are forgotten.
constexpr size_t FewestToSweep = 64;

HWINEVENTHOOK createHook, foregroundHook;
ReachedByHookTest reachedForTests;

// A process is known by an open handle to it: while one is open, Windows
// gives its id to no other process, so an entry never speaks for a stranger
// that inherited the id.
struct KnownProcess {
    HANDLE process;
    bool reached;
};
std::unordered_map<DWORD, KnownProcess> knownProcesses;
size_t sweepAt = FewestToSweep;

bool WindowsIs64Bit()
{
    if (sizeof(void *) == 8)
        return true;
    BOOL wow = FALSE;
    return IsWow64Process(GetCurrentProcess(), &wow) && wow;
}

// A library is loaded only into programs of its own bitness.
bool SameBitness(HANDLE process)
{
    BOOL ownWow = FALSE, wow = FALSE;
    return IsWow64Process(GetCurrentProcess(), &ownWow) && IsWow64Process(process, &wow) &&
           (ownWow != FALSE) == (wow != FALSE);
}

void SweepEndedProcesses()
{
    for (auto entry = knownProcesses.begin(); entry != knownProcesses.end();) {
        if (WaitForSingleObject(entry->second.process, 0) == WAIT_OBJECT_0) {
            CloseHandle(entry->second.process);
            entry = knownProcesses.erase(entry);
        } else {
            ++entry;
        }
    }
    sweepAt = knownProcesses.size() * 2 > FewestToSweep ? knownProcesses.size() * 2 : FewestToSweep;
}

// A process that cannot be opened (one running as administrator) is not
// known and counts as unreached: the hook is not let into it either.
bool ReachedByHook(DWORD processId)
{
    auto known = knownProcesses.find(processId);
    if (known != knownProcesses.end())
        return known->second.reached;
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (!process)
        return false;
    if (knownProcesses.size() >= sweepAt)
        SweepEndedProcesses();
    bool reached = reachedForTests ? reachedForTests(process) : SameBitness(process);
    knownProcesses.emplace(processId, KnownProcess{process, reached});
    return reached;
}

// Most events are of controls and other objects: the cheapest tests go
// first. Posted, as the hook posts, rather than handled here: these calls
// also come while the thread waits inside a call to another program, in the
// middle of an action, where a report must not run the rules.
void CALLBACK OnWinEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD,
                         DWORD)
{
    if (object != OBJID_WINDOW || child != CHILDID_SELF || !window)
        return;
    if (GetAncestor(window, GA_PARENT) != GetDesktopWindow())
        return;
    DWORD processId = 0;
    if (!GetWindowThreadProcessId(window, &processId) || ReachedByHook(processId))
        return;
    UINT message = event == EVENT_OBJECT_CREATE ? WM_HOOKCREATE : WM_HOOKACTIVATE;
    if (MainDialog)
        PostMessageA(MainDialog, message, reinterpret_cast<WPARAM>(window), 0);
}

HWINEVENTHOOK HookOneEvent(DWORD event)
{
    return SetWinEventHook(event, event, nullptr, OnWinEvent, 0, 0,
                           WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
}

} // namespace

void StartWinEventReports()
{
    if (createHook || (!reachedForTests && !WindowsIs64Bit()))
        return;
    createHook = HookOneEvent(EVENT_OBJECT_CREATE);
    foregroundHook = HookOneEvent(EVENT_SYSTEM_FOREGROUND);
}

void StopWinEventReports()
{
    for (HWINEVENTHOOK *hook : {&createHook, &foregroundHook}) {
        if (*hook)
            UnhookWinEvent(*hook);
        *hook = nullptr;
    }
    for (auto &entry : knownProcesses)
        CloseHandle(entry.second.process);
    knownProcesses.clear();
    sweepAt = FewestToSweep;
}

void SetReachedByHookForTests(ReachedByHookTest reached) { reachedForTests = reached; }
