// brask2.dll as the program uses it: loaded by name, its two exports looked
// up and called cdecl, its reports received by a window of this test from
// this process, from the victim process and after another program's hook.
#include "app/messages.h"
#include "hook/hook_api.h"
#include "tests/support/test_support.h"

#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Report {
    UINT message;
    HWND window;
};

// A hidden top-level window of this test that keeps every report it gets.
class Receiver {
public:
    Receiver()
    {
        static const ATOM atom = RegisterReceiverClass();
        window_ = CreateWindowExA(0, reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(atom)),
                                  "hook receiver", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), this);
    }
    ~Receiver() { DestroyWindow(window_); }
    Receiver(const Receiver &) = delete;
    Receiver &operator=(const Receiver &) = delete;

    HWND Handle() const { return window_; }
    const std::vector<Report> &Reports() const { return reports_; }

    int Count(UINT message, HWND window) const
    {
        int count = 0;
        for (const Report &report : reports_)
            count += report.message == message && report.window == window;
        return count;
    }
    int CountFor(HWND window) const
    {
        return Count(WM_HOOKCREATE, window) + Count(WM_HOOKACTIVATE, window);
    }
    bool Await(UINT message, HWND window, DWORD timeoutMs = 5000) const
    {
        return WaitFor([&] { return Count(message, window) > 0; }, timeoutMs);
    }

private:
    static ATOM RegisterReceiverClass()
    {
        WNDCLASSEXA wc = {sizeof wc};
        wc.lpfnWndProc = ReceiverProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "TarnwickHookReceiver";
        return RegisterClassExA(&wc);
    }

    static LRESULT CALLBACK ReceiverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE) {
            auto *create = reinterpret_cast<CREATESTRUCTA *>(lParam);
            SetWindowLongPtrA(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto *self = reinterpret_cast<Receiver *>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (self && message >= WM_HOOKCREATE && message <= WM_HOOKACTIVATE) {
            self->reports_.push_back({message, reinterpret_cast<HWND>(wParam)});
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }

    HWND window_ = nullptr;
    std::vector<Report> reports_;
};

// GetProcAddress's type says nothing of the real one; the contract does.
template <typename Function> Function Export(HMODULE library, const char *name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

// The library exactly as the program binds it.
class HookTest : public testing::Test {
protected:
    void SetUp() override
    {
        library_ = LoadLibraryA("brask2.dll");
        ASSERT_NE(nullptr, library_) << "error " << GetLastError();
        installHook_ = Export<InstallHookFunction>(library_, INSTALL_HOOK_EXPORT);
        releaseHook_ = Export<ReleaseHookFunction>(library_, RELEASE_HOOK_EXPORT);
        ASSERT_NE(nullptr, installHook_);
        ASSERT_NE(nullptr, releaseHook_);
    }

    void TearDown() override
    {
        // A failed test must not leave its hook to the next one.
        if (releaseHook_)
            releaseHook_();
        if (library_)
            FreeLibrary(library_);
        PumpMessages();
    }

    // Wine tells a thread of a hook set by another thread only when the
    // thread next takes a message from its queue. The program's loop does so
    // at once; this thread must be handed one.
    int Install(HWND notify)
    {
        int installed = installHook_(notify, WM_HOOKCREATE, WM_HOOKIGNORED, WM_HOOKACTIVATE);
        DWORD error = GetLastError();
        PostThreadMessageA(GetCurrentThreadId(), WM_NULL, 0, 0);
        PumpMessages();
        SetLastError(error);
        return installed;
    }
    int Release() { return releaseHook_(); }

    HMODULE library_ = nullptr;
    InstallHookFunction installHook_ = nullptr;
    ReleaseHookFunction releaseHook_ = nullptr;
};

int ThreadsOfThisProcess()
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return -1;
    THREADENTRY32 entry = {sizeof entry};
    int count = 0;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        count += entry.th32OwnerProcessID == GetCurrentProcessId();
    CloseHandle(snapshot);
    return count;
}

HWND CreateTopLevel(const char *title, DWORD style = WS_POPUP, HWND parent = nullptr)
{
    return CreateWindowExA(0, "STATIC", title, style, 0, 0, 50, 50, parent, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

// --- The contract -------------------------------------------------------

TEST_F(HookTest, InstallRefusesWhatIsNotAWindowAndInstallsNothing)
{
    HWND destroyed = CreateTopLevel("gone");
    DestroyWindow(destroyed);
    const HWND notWindows[] = {nullptr, destroyed, reinterpret_cast<HWND>(0x7ffe0000)};
    for (HWND notWindow : notWindows) {
        SetLastError(ERROR_SUCCESS);
        EXPECT_EQ(0, Install(notWindow)) << notWindow;
        EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE), GetLastError()) << notWindow;
    }
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(0, Release());
    EXPECT_EQ(static_cast<DWORD>(ERROR_HOOK_NOT_INSTALLED), GetLastError());

    Receiver receiver;
    EXPECT_NE(0, Install(receiver.Handle()));
}

TEST_F(HookTest, SecondInstallFailsAndTheFirstTargetKeepsItsReports)
{
    Receiver first, second;
    ASSERT_NE(0, Install(first.Handle()));
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(0, Install(second.Handle()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ALREADY_INITIALIZED), GetLastError());

    HWND window = CreateTopLevel("after the second install");
    PumpMessages();
    EXPECT_EQ(1, first.Count(WM_HOOKCREATE, window));
    EXPECT_TRUE(second.Reports().empty());
    DestroyWindow(window);
}

TEST_F(HookTest, ReleaseWithoutAHookFails)
{
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(0, Release());
    EXPECT_EQ(static_cast<DWORD>(ERROR_HOOK_NOT_INSTALLED), GetLastError());

    Receiver receiver;
    ASSERT_NE(0, Install(receiver.Handle()));
    EXPECT_NE(0, Release());
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(0, Release());
    EXPECT_EQ(static_cast<DWORD>(ERROR_HOOK_NOT_INSTALLED), GetLastError());
}

// --- Lifecycle ----------------------------------------------------------

TEST_F(HookTest, ReleaseEndsTheHookThreadBeforeItReturns)
{
    Receiver receiver;
    int before = ThreadsOfThisProcess();
    ASSERT_NE(0, Install(receiver.Handle()));
    EXPECT_EQ(before + 1, ThreadsOfThisProcess());
    ASSERT_NE(0, Release());
    EXPECT_EQ(before, ThreadsOfThisProcess());
}

// The second target doubles as proof that the victim's events were hooked
// at all while the first, released one heard nothing.
TEST_F(HookTest, AfterReleaseNothingIsReportedAndTheHookInstallsAgain)
{
    Victim victim;
    ASSERT_TRUE(victim.Running());
    Receiver released, current;
    for (int round = 0; round < 3; ++round) {
        ASSERT_NE(0, Install(released.Handle())) << round;
        ASSERT_NE(0, Release()) << round;
    }
    ASSERT_NE(0, Install(current.Handle()));

    HWND window = victim.Create("HookAgain", "install again");
    ASSERT_NE(nullptr, window);
    EXPECT_TRUE(current.Await(WM_HOOKCREATE, window));
    EXPECT_TRUE(current.Await(WM_HOOKACTIVATE, window));
    EXPECT_TRUE(released.Reports().empty());
}

// --- What is reported ---------------------------------------------------

TEST_F(HookTest, ReportsCreationThenActivationOfAnotherProgramsWindow)
{
    Victim victim;
    ASSERT_TRUE(victim.Running());
    Receiver receiver;
    ASSERT_NE(0, Install(receiver.Handle()));

    HWND window = victim.Create("HookVictim", "reported");
    ASSERT_NE(nullptr, window);
    ASSERT_TRUE(receiver.Await(WM_HOOKACTIVATE, window));
    EXPECT_EQ(1, receiver.Count(WM_HOOKCREATE, window));
    const std::vector<Report> &reports = receiver.Reports();
    size_t created = 0, activated = 0;
    for (size_t i = 0; i < reports.size(); ++i) {
        if (reports[i].window != window)
            continue;
        if (reports[i].message == WM_HOOKCREATE)
            created = i;
        else if (!activated)
            activated = i;
    }
    EXPECT_LT(created, activated);
}

TEST_F(HookTest, ChildWindowsAreNotReported)
{
    Victim victim;
    ASSERT_TRUE(victim.Running());
    Receiver receiver;
    ASSERT_NE(0, Install(receiver.Handle()));

    HWND window = victim.Create("HookVictim", "with a button");
    ASSERT_NE(nullptr, window);
    HWND button = FindWindowExA(window, nullptr, "BUTTON", nullptr);
    ASSERT_NE(nullptr, button);
    // The button was made inside the create command, so its report would have
    // been posted before the window's activation.
    ASSERT_TRUE(receiver.Await(WM_HOOKACTIVATE, window));
    EXPECT_EQ(0, receiver.CountFor(button));

    HWND own = CreateTopLevel("own parent", WS_OVERLAPPED);
    HWND child = CreateTopLevel("own child", WS_CHILD, own);
    PumpMessages();
    EXPECT_EQ(1, receiver.Count(WM_HOOKCREATE, own));
    EXPECT_EQ(0, receiver.CountFor(child));
    DestroyWindow(own);
}

// Owned pop-ups are top-level windows; message-only windows can never be
// seen and are no top-level window of the desktop. All made in this process,
// where the hook runs inside CreateWindowEx, so the posts are queued on return.
TEST_F(HookTest, ReportsOwnAndOwnedWindowsButNoMessageOnlyWindow)
{
    Receiver receiver;
    ASSERT_NE(0, Install(receiver.Handle()));

    HWND plain = CreateTopLevel("plain");
    HWND owned = CreateTopLevel("owned", WS_POPUP, plain);
    HWND messageOnly = CreateTopLevel("message only", 0, HWND_MESSAGE);
    ASSERT_NE(nullptr, messageOnly);
    PumpMessages();
    EXPECT_EQ(1, receiver.Count(WM_HOOKCREATE, plain));
    EXPECT_EQ(1, receiver.Count(WM_HOOKCREATE, owned));
    EXPECT_EQ(0, receiver.CountFor(messageOnly));
    DestroyWindow(messageOnly);
    DestroyWindow(plain);
}

int nullActivations;

LRESULT CALLBACK CountNullActivations(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE && wParam == 0)
        ++nullActivations;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Wine announces HCBT_ACTIVATE with no window to the program that loses the
// activation; a thread hook of this test confirms that this happened here.
TEST_F(HookTest, TheLosingSideOfAnActivationIsNotReportedAsANullWindow)
{
    Victim victim;
    ASSERT_TRUE(victim.Running());
    Receiver receiver;
    HWND own = CreateTopLevel("active here", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    SetForegroundWindow(own);
    ASSERT_TRUE(WaitFor([&] { return GetActiveWindow() == own; }));
    nullActivations = 0;
    HHOOK witness = SetWindowsHookExA(WH_CBT, CountNullActivations, nullptr, GetCurrentThreadId());
    ASSERT_NE(0, Install(receiver.Handle()));

    HWND window = victim.Create("HookVictim", "takes the activation");
    ASSERT_NE(nullptr, window);
    EXPECT_TRUE(receiver.Await(WM_HOOKACTIVATE, window));
    EXPECT_TRUE(WaitFor([] { return nullActivations > 0; }, 2000));
    EXPECT_EQ(0, receiver.CountFor(nullptr));
    UnhookWindowsHookEx(witness);
    DestroyWindow(own);
}

// Every re-parenting activates the window; while it sits under another
// program's window (cloaked) it is not a top-level window and must not be
// reported, or an Activate rule that cloaks would fire on it without end.
TEST_F(HookTest, AWindowReparentedUnderAnotherIsNotReportedWhenActivated)
{
    Victim victim;
    ASSERT_TRUE(victim.Running());
    Receiver receiver;
    HWND hiding = CreateTopLevel("hiding place");
    ASSERT_NE(0, Install(receiver.Handle()));
    HWND window = victim.Create("HookVictim", "to be cloaked");
    ASSERT_NE(nullptr, window);
    ASSERT_TRUE(receiver.Await(WM_HOOKACTIVATE, window));

    int before = receiver.Count(WM_HOOKACTIVATE, window);
    SetParent(window, hiding);
    SetParent(window, hiding);
    SetParent(window, nullptr);
    ASSERT_TRUE(WaitFor([&] { return receiver.Count(WM_HOOKACTIVATE, window) > before; }));
    EXPECT_EQ(before + 1, receiver.Count(WM_HOOKACTIVATE, window));
    DestroyWindow(hiding);
}

// --- Another program's hook ---------------------------------------------

class Holder {
public:
    Holder()
    {
        std::string command = "\"" + ExeDirectory() + "hook_holder.exe\"";
        STARTUPINFOA startup = {sizeof startup};
        PROCESS_INFORMATION info = {};
        if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &info))
            return;
        CloseHandle(info.hThread);
        process_ = info.hProcess;
        char title[48];
        std::snprintf(title, sizeof title, "holder %lu 1", info.dwProcessId);
        WaitFor([&] { return (window_ = FindWindowA("TarnwickHookHolder", title)) != nullptr; },
                10000);
    }
    ~Holder()
    {
        if (process_) {
            TerminateProcess(process_, 1);
            CloseHandle(process_);
        }
    }
    Holder(const Holder &) = delete;
    Holder &operator=(const Holder &) = delete;

    // True once the holder has installed its hook.
    bool Holding() const { return window_ != nullptr; }

    bool Close()
    {
        PostMessageA(window_, WM_CLOSE, 0, 0);
        return WaitForSingleObject(process_, 5000) == WAIT_OBJECT_0;
    }
    bool Kill()
    {
        TerminateProcess(process_, 1);
        return WaitForSingleObject(process_, 5000) == WAIT_OBJECT_0;
    }

private:
    HANDLE process_ = nullptr;
    HWND window_ = nullptr;
};

TEST_F(HookTest, AnotherProgramsHookBlocksInstallUntilItReleases)
{
    Receiver receiver;
    Holder holder;
    ASSERT_TRUE(holder.Holding());
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(0, Install(receiver.Handle()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ALREADY_INITIALIZED), GetLastError());

    ASSERT_TRUE(holder.Close());
    EXPECT_NE(0, Install(receiver.Handle()));
}

// The target's owner and window stay alive here: only a release that really
// gives up the claim lets the other program in.
TEST_F(HookTest, AReleasedHookCanBeTakenByAnotherProgram)
{
    Receiver receiver;
    ASSERT_NE(0, Install(receiver.Handle()));
    ASSERT_NE(0, Release());
    Holder holder;
    EXPECT_TRUE(holder.Holding());
}

TEST_F(HookTest, AHookLeftByAKilledProgramIsTakenOver)
{
    Victim victim;
    ASSERT_TRUE(victim.Running());
    Receiver receiver;
    Holder holder;
    ASSERT_TRUE(holder.Holding());
    ASSERT_TRUE(holder.Kill());

    ASSERT_NE(0, Install(receiver.Handle()));
    HWND window = victim.Create("HookVictim", "after a crash");
    ASSERT_NE(nullptr, window);
    ASSERT_TRUE(receiver.Await(WM_HOOKACTIVATE, window));
    // Wine keeps the dead program's hook in the chain: it must not report too.
    EXPECT_EQ(1, receiver.Count(WM_HOOKCREATE, window));
    EXPECT_EQ(1, receiver.Count(WM_HOOKACTIVATE, window));
}

} // namespace
