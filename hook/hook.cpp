// brask2.dll: a global WH_CBT hook that reports every created and activated
// top-level window to one window of the installing program by posted message.
// The hook procedure runs inside every hooked program, so it only filters and
// posts; the hook itself lives on a thread of this library with its own loop.
#include "hook/hook_api.h"

#include <type_traits>

namespace {

// Where every hook procedure of one log-on session posts. It lives in a
// mapping named in that session's own namespace, made with its creator's
// default security: another user's copy, switched to on the same computer,
// has its own, and a program that merely maps this library cannot write it.
// Every field is 32 bits wide, so that 32- and 64-bit copies agree on it
// (a window handle has 32 significant bits in both). Only the owner (the
// process that installed the hook) writes; notify is written last on install
// and cleared first on release: a null target means "not installed".
struct HookTarget {
    LONG notify;
    LONG messages[2];  // by SharedMessage
    LONG owner;        // process id, 0 = none
};
static_assert(sizeof(HookTarget) == 16, "the same in 32- and 64-bit copies");

// Which of the target's messages a report is posted with.
enum SharedMessage { sharedCreateMessage, sharedActivateMessage };

// Install and release of every process of the session are serialised on
// this mutex, because the target is one for the whole session.
constexpr char OwnerMutexName[] = "Local\\Brask2HookOwner";
constexpr char TargetMappingName[] = "Local\\Brask2HookTarget";
constexpr DWORD OwnerMutexTimeoutMs = 5000;
constexpr DWORD ThreadStartTimeoutMs = 10000;
constexpr DWORD ThreadStopTimeoutMs = 5000;

HMODULE thisModule;
// Per thread of every hooked program: the window whose creation or activation
// an outer call of the hook procedure is reporting (see ReportOnce).
DWORD createSlot = TLS_OUT_OF_INDEXES;
DWORD activateSlot = TLS_OUT_OF_INDEXES;

// This process's read-only view of the session's target, mapped by the first
// hook call that needs it, never in DllMain. Its handle is kept with it, so
// that the name lives while any program may still read through a view and
// a later owner finds the same target. A program that may not open it
// reports nothing; one that finds no target yet looks again next time.
HANDLE readMapping;
void *volatile readView;  // a HookTarget
bool volatile readRefused;
const HookTarget noTarget = {};

// The owner's writable view, opened under the owner lock by InstallHook.
HANDLE ownMapping;
HookTarget volatile *ownTarget;

HWND TargetWindow(HookTarget const volatile &target)
{
    return static_cast<HWND>(LongToHandle(target.notify));
}

// Runs inside the hook procedure of any program: never waits. Threads that
// race here each map a view; the first keeps its own, the others let go.
HookTarget const volatile &OpenTarget()
{
    HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, TargetMappingName);
    void *view = mapping ? MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, sizeof(HookTarget)) : nullptr;
    if (!view) {
        if (GetLastError() != ERROR_FILE_NOT_FOUND)
            readRefused = true;
        if (mapping)
            CloseHandle(mapping);
        return noTarget;
    }
    if (InterlockedCompareExchangePointer(&readView, view, nullptr) == nullptr) {
        readMapping = mapping;
    } else {
        UnmapViewOfFile(view);
        CloseHandle(mapping);
    }
    return *static_cast<HookTarget const volatile *>(readView);
}

HookTarget const volatile &Target()
{
    if (void *view = readView)
        return *static_cast<HookTarget const volatile *>(view);
    return readRefused ? noTarget : OpenTarget();
}

// What the hook thread and its starter share. Each holds a reference, and the
// last to let go frees it, so that a thread that outlives a bounded wait
// never writes into memory that is gone or reused.
struct HookRun {
    LONG volatile references;
    HANDLE ready;  // set once installed and error are known
    HANDLE stop;   // set to make the thread unhook and end
    bool installed;
    DWORD error;
};

// This process's hook, if any. Touched only by InstallHook and ReleaseHook;
// hookBusy makes a concurrent second call fail instead of racing.
LONG volatile hookBusy = 0;
HookRun *hookRun;
HANDLE hookThread;
DWORD volatile hookThreadId;  // of hookThread while it hooks; 0 in every other process

HookRun *NewHookRun()
{
    auto *run = static_cast<HookRun *>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(HookRun)));
    if (!run)
        return nullptr;
    run->references = 1;
    run->ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    run->stop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    return run;
}

void DropHookRun(HookRun *run)
{
    if (InterlockedDecrement(&run->references) != 0)
        return;
    if (run->ready)
        CloseHandle(run->ready);
    if (run->stop)
        CloseHandle(run->stop);
    HeapFree(GetProcessHeap(), 0, run);
}

bool IsTopLevel(HWND window)
{
    // Also rules out windows re-parented under another program's window (those
    // keep no WS_CHILD and GetParent says NULL) and message-only windows.
    return GetAncestor(window, GA_PARENT) == GetDesktopWindow();
}

void Report(SharedMessage sharedMessage, HWND window)
{
    HookTarget const volatile &target = Target();
    HWND notify = TargetWindow(target);
    if (!notify || !window || !IsTopLevel(window))
        return;
    // Zero when a release came in between: nothing to tell any more.
    UINT message = target.messages[sharedMessage];
    if (!message)
        return;
    // Posted, never sent: no program may ever wait for ours.
    PostMessageA(notify, message, reinterpret_cast<WPARAM>(window), 0);
}

// Wine removes a global hook only when it is unhooked, not when the thread or
// program that set it dies. A hook left behind that way sits further down the
// chain and runs this same procedure again, inside our CallNextHookEx, for
// the same event; the slot holds the window an outer call is reporting, so
// that each event is reported once however many such hooks there are.
LRESULT ReportOnce(DWORD slot, SharedMessage sharedMessage, int code, WPARAM wParam,
                   LPARAM lParam)
{
    // The host program's last error is its own: TlsGetValue alone resets it.
    DWORD hostError = GetLastError();
    HWND window = reinterpret_cast<HWND>(wParam);
    void *enclosing = slot == TLS_OUT_OF_INDEXES ? nullptr : TlsGetValue(slot);
    if (slot == TLS_OUT_OF_INDEXES || enclosing == window) {
        SetLastError(hostError);
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    Report(sharedMessage, window);
    TlsSetValue(slot, window);
    SetLastError(hostError);
    LRESULT result = CallNextHookEx(nullptr, code, wParam, lParam);
    DWORD chainError = GetLastError();
    TlsSetValue(slot, enclosing);
    SetLastError(chainError);
    return result;
}

bool InThisProcess(HWND window)
{
    DWORD processId = 0;
    return GetWindowThreadProcessId(window, &processId) && processId == GetCurrentProcessId();
}

// Only windows of this process, whose pointers point into it; on the hook
// thread the platform calls for programs this library cannot be loaded into
// (another bitness), which the program hears of by other means.
LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam)
{
    bool ours = false;
    if ((code == HCBT_CREATEWND || code == HCBT_ACTIVATE) && GetCurrentThreadId() != hookThreadId) {
        DWORD hostError = GetLastError();
        ours = InThisProcess(reinterpret_cast<HWND>(wParam));
        SetLastError(hostError);
    }
    if (ours && code == HCBT_CREATEWND) {
        // Most windows created are controls; their style settles them without
        // a call into the window manager.
        auto *create = reinterpret_cast<CBT_CREATEWNDA *>(lParam);
        if (create && create->lpcs && !(create->lpcs->style & WS_CHILD))
            return ReportOnce(createSlot, sharedCreateMessage, code, wParam, lParam);
    } else if (ours) {
        // Wine also announces a null activation to the program losing it.
        return ReportOnce(activateSlot, sharedActivateMessage, code, wParam, lParam);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Where Windows cannot run the hook inside a program (another bitness), it
// calls it on this thread through its queue, and that program waits for the
// answer: the thread keeps pumping.
void PumpUntilStopped(HANDLE stop)
{
    for (;;) {
        DWORD wait = MsgWaitForMultipleObjects(1, &stop, FALSE, INFINITE, QS_ALLINPUT);
        if (wait != WAIT_OBJECT_0 + 1)
            return;
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

// Holds its own reference on the library (taken by its starter), so that the
// code it runs stays mapped even if the program frees the library too early.
DWORD WINAPI HookThread(void *parameter)
{
    auto *run = static_cast<HookRun *>(parameter);
    hookThreadId = GetCurrentThreadId();
    HHOOK hook = SetWindowsHookExA(WH_CBT, CbtProc, thisModule, 0);
    run->error = hook ? ERROR_SUCCESS : GetLastError();
    run->installed = hook != nullptr;
    SetEvent(run->ready);
    if (hook) {
        PumpUntilStopped(run->stop);
        UnhookWindowsHookEx(hook);
    }
    hookThreadId = 0;
    DropHookRun(run);
    FreeLibraryAndExitThread(thisModule, 0);
}

class OwnerLock {
public:
    OwnerLock()
    {
        mutex_ = CreateMutexA(nullptr, FALSE, OwnerMutexName);
        if (!mutex_)
            return;
        DWORD wait = WaitForSingleObject(mutex_, OwnerMutexTimeoutMs);
        // Abandoned: its holder died mid-call; the state it guards is checked
        // for staleness anyway.
        held_ = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
        if (!held_)
            error_ = wait == WAIT_TIMEOUT ? ERROR_TIMEOUT : GetLastError();
    }
    ~OwnerLock()
    {
        if (held_)
            ReleaseMutex(mutex_);
        if (mutex_)
            CloseHandle(mutex_);
    }
    OwnerLock(const OwnerLock &) = delete;
    OwnerLock &operator=(const OwnerLock &) = delete;

    bool Held() const { return held_; }
    DWORD Error() const { return mutex_ ? error_ : GetLastError(); }

private:
    HANDLE mutex_ = nullptr;
    bool held_ = false;
    DWORD error_ = ERROR_SUCCESS;
};

bool ProcessAlive(DWORD processId)
{
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
    if (!process)
        return GetLastError() == ERROR_ACCESS_DENIED;
    bool alive = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    CloseHandle(process);
    return alive;
}

// A process killed without ReleaseHook leaves its claim behind for as long as
// any program keeps this library mapped; such a claim must not block the
// next program for good.
bool ClaimedByAnother(DWORD self)
{
    // Our own id here is a claim of a dead process whose id we inherited:
    // this process's own hook is ruled out by hookBusy before we get here.
    DWORD owner = ownTarget->owner;
    if (owner == 0 || owner == self)
        return false;
    HWND notify = TargetWindow(*ownTarget);
    return notify && IsWindow(notify) && ProcessAlive(owner);
}

// Under the owner lock. The view stays for the life of the library, so that
// an end without ReleaseHook can still withdraw the target.
DWORD OpenOwnTarget()
{
    if (ownTarget)
        return ERROR_SUCCESS;
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                        sizeof(HookTarget), TargetMappingName);
    void *view = mapping ? MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(HookTarget)) : nullptr;
    if (!view) {
        DWORD error = GetLastError();
        if (mapping)
            CloseHandle(mapping);
        return error;
    }
    ownMapping = mapping;
    ownTarget = static_cast<HookTarget volatile *>(view);
    return ERROR_SUCCESS;
}

void PublishTarget(HWND notify, UINT createMessage, UINT activateMessage)
{
    ownTarget->owner = GetCurrentProcessId();
    ownTarget->messages[sharedCreateMessage] = createMessage;
    ownTarget->messages[sharedActivateMessage] = activateMessage;
    InterlockedExchange(&ownTarget->notify, HandleToLong(notify));
}

// Clears the target only if this process set it; a hook taken over by another
// program stays theirs.
void WithdrawTarget()
{
    if (!ownTarget || DWORD(ownTarget->owner) != GetCurrentProcessId())
        return;
    InterlockedExchange(&ownTarget->notify, 0);
    ownTarget->messages[sharedCreateMessage] = 0;
    ownTarget->messages[sharedActivateMessage] = 0;
    ownTarget->owner = 0;
}

// Plain calls that never wait: fit for DllMain.
void CloseTargets()
{
    if (readView)
        UnmapViewOfFile(readView);
    if (readMapping)
        CloseHandle(readMapping);
    if (ownTarget)
        UnmapViewOfFile(const_cast<HookTarget *>(ownTarget));
    if (ownMapping)
        CloseHandle(ownMapping);
    readView = nullptr;
    ownTarget = nullptr;
    readMapping = ownMapping = nullptr;
}

HANDLE StartThread(HookRun *run)
{
    HMODULE reference = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                            reinterpret_cast<LPCSTR>(&HookThread), &reference))
        return nullptr;
    InterlockedIncrement(&run->references);
    HANDLE thread = CreateThread(nullptr, 0, HookThread, run, 0, nullptr);
    if (!thread) {
        DWORD error = GetLastError();
        InterlockedDecrement(&run->references);
        FreeLibrary(reference);
        SetLastError(error);
    }
    return thread;
}

// Starts the hook thread and waits until it reports whether the hook is in.
// On failure the thread has ended, or been told to, and the error is returned.
DWORD StartHookThread()
{
    HookRun *run = NewHookRun();
    if (!run)
        return ERROR_NOT_ENOUGH_MEMORY;
    HANDLE thread = run->ready && run->stop ? StartThread(run) : nullptr;
    if (!thread) {
        DWORD error = GetLastError();
        DropHookRun(run);
        return error;
    }
    HANDLE waits[2] = {run->ready, thread};
    DWORD wait = WaitForMultipleObjects(2, waits, FALSE, ThreadStartTimeoutMs);
    if (wait == WAIT_OBJECT_0 && run->installed) {
        hookRun = run;
        hookThread = thread;
        return ERROR_SUCCESS;
    }
    DWORD error = wait == WAIT_OBJECT_0 ? run->error
                  : wait == WAIT_TIMEOUT ? ERROR_TIMEOUT
                                         : ERROR_GEN_FAILURE;
    // A thread that is late rather than failed unhooks as soon as it sees stop.
    SetEvent(run->stop);
    WaitForSingleObject(thread, ThreadStopTimeoutMs);
    CloseHandle(thread);
    DropHookRun(run);
    return error == ERROR_SUCCESS ? ERROR_GEN_FAILURE : error;
}

int Fail(DWORD error)
{
    SetLastError(error);
    return 0;
}

} // namespace

extern "C" __declspec(dllexport) int __cdecl InstallHook(HWND notify, UINT createMessage, UINT,
                                                        UINT activateMessage)
{
    if (!IsWindow(notify))
        return Fail(ERROR_INVALID_WINDOW_HANDLE);
    if (InterlockedCompareExchange(&hookBusy, 1, 0) != 0)
        return Fail(ERROR_ALREADY_INITIALIZED);
    DWORD error;
    {
        OwnerLock lock;
        error = lock.Held() ? OpenOwnTarget() : lock.Error();
        if (error == ERROR_SUCCESS && ClaimedByAnother(GetCurrentProcessId()))
            error = ERROR_ALREADY_INITIALIZED;
        if (error == ERROR_SUCCESS) {
            // Published before the hook goes in, so that no early event is lost.
            PublishTarget(notify, createMessage, activateMessage);
            error = StartHookThread();
            if (error != ERROR_SUCCESS)
                WithdrawTarget();
        }
    }
    if (error == ERROR_SUCCESS)
        return 1;
    hookBusy = 0;
    // Last, so that no call on the way out overwrites the reason.
    return Fail(error);
}

extern "C" __declspec(dllexport) int __cdecl ReleaseHook()
{
    if (!hookThread)
        return Fail(ERROR_HOOK_NOT_INSTALLED);
    {
        // Cleared before the unhook, so that no copy of this library in another
        // program posts once this returns.
        OwnerLock lock;
        WithdrawTarget();
    }
    SetEvent(hookRun->stop);
    bool ended = WaitForSingleObject(hookThread, ThreadStopTimeoutMs) == WAIT_OBJECT_0;
    CloseHandle(hookThread);
    DropHookRun(hookRun);
    hookThread = nullptr;
    hookRun = nullptr;
    hookBusy = 0;
    return ended ? 1 : Fail(ERROR_TIMEOUT);
}

static_assert(std::is_same<decltype(&InstallHook), InstallHookFunction>::value,
              "InstallHook must keep the contract's calling convention");
static_assert(std::is_same<decltype(&ReleaseHook), ReleaseHookFunction>::value,
              "ReleaseHook must keep the contract's calling convention");

// Under the loader lock: nothing here waits or loads.
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void *reserved)
{
    if (reason == DLL_PROCESS_ATTACH) {
        thisModule = instance;
        DisableThreadLibraryCalls(instance);
        createSlot = TlsAlloc();
        activateSlot = TlsAlloc();
    } else if (reason == DLL_PROCESS_DETACH) {
        // A program ending without ReleaseHook: its target must not outlive it
        // in other programs' copies.
        WithdrawTarget();
        // Unloaded from a program that goes on: its views go too. At the
        // program's end the system takes them.
        if (!reserved)
            CloseTargets();
        if (createSlot != TLS_OUT_OF_INDEXES)
            TlsFree(createSlot);
        if (activateSlot != TLS_OUT_OF_INDEXES)
            TlsFree(activateSlot);
    }
    return TRUE;
}
