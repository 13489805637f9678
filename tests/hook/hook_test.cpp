// brask2.dll as the program binds it: loaded by name, its two exports looked
// up and called cdecl, its reports received by windows of this test.
#include "common/messages.h"
#include "hook/hook_api.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Report { HWND to, window; UINT message; };
std::vector<Report> reports;
using Messages = std::vector<UINT>;

LRESULT CALLBACK Record(HWND to, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_HOOKCREATE || message == WM_HOOKACTIVATE)
        reports.push_back({to, reinterpret_cast<HWND>(wParam), message});
    return DefWindowProcA(to, message, wParam, lParam);
}

WNDCLASSA receiverClass = {0, Record, 0, 0, {}, {}, {}, {}, {}, "HookReceiver"};
const ATOM receiverAtom = RegisterClassA(&receiverClass);

HWND NewWindow(const char *className = "STATIC", DWORD style = WS_POPUP)
{
    return CreateWindowExA(0, className, "", style, 0, 0, 9, 9, nullptr, nullptr, nullptr, nullptr);
}

// What reached `to` about window, in the order it came.
Messages ReportsFor(HWND to, HWND window)
{
    Messages messages;
    for (const Report &report : reports)
        if (report.to == to && report.window == window)
            messages.push_back(report.message);
    return messages;
}

// What receiver heard of the victim's window once `expected` reports came and
// the victim's hook calls have all returned, so that no extra one is missed.
Messages Heard(Victim &victim, HWND receiver, HWND window, size_t expected)
{
    WaitFor([&] { return ReportsFor(receiver, window).size() >= expected; });
    victim.Send("timedcall");
    PumpMessages();
    return ReportsFor(receiver, window);
}

template <typename Function> Function Export(HMODULE library, const char *name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

class HookTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(receiverAtom && install_ && release_) << GetLastError(); }
    void TearDown() override
    {
        if (release_)
            release_();  // a failed test must not leave its hook to the next one
        FreeLibrary(library_);
        reports.clear();
    }

    // ERROR_SUCCESS or InstallHook's reason. Wine tells this thread of a hook
    // set on another thread once it next takes a message, as the program does.
    DWORD Install(HWND notify)
    {
        SetLastError(ERROR_SUCCESS);
        int installed = install_(notify, WM_HOOKCREATE, WM_HOOKIGNORED, WM_HOOKACTIVATE);
        DWORD error = installed ? ERROR_SUCCESS : GetLastError();
        PostThreadMessageA(GetCurrentThreadId(), WM_NULL, 0, 0);
        PumpMessages();
        return error;
    }

    HMODULE library_ = LoadLibraryA("brask2.dll");
    InstallHookFunction install_ = Export<InstallHookFunction>(library_, INSTALL_HOOK_EXPORT);
    ReleaseHookFunction release_ = Export<ReleaseHookFunction>(library_, RELEASE_HOOK_EXPORT);
};

// Windows of this process: their reports are posted before CreateWindowEx returns.
TEST_F(HookTest, OneHookAtATimeUntilReleased)
{
    HWND gone = NewWindow();
    DestroyWindow(gone);
    for (HWND notWindow : {HWND(nullptr), gone})
        EXPECT_EQ(DWORD(ERROR_INVALID_WINDOW_HANDLE), Install(notWindow)) << notWindow;
    HWND first = NewWindow("HookReceiver"), second = NewWindow("HookReceiver");
    ASSERT_EQ(DWORD(ERROR_SUCCESS), Install(first));
    EXPECT_EQ(DWORD(ERROR_ALREADY_INITIALIZED), Install(second));
    HWND whileFirst = NewWindow();
    ASSERT_NE(0, release_());
    HWND afterRelease = NewWindow();
    ASSERT_EQ(DWORD(ERROR_SUCCESS), Install(second));
    HWND again = NewWindow();
    PumpMessages();
    EXPECT_EQ(Messages{WM_HOOKCREATE}, ReportsFor(first, whileFirst));
    EXPECT_EQ(Messages{}, ReportsFor(first, afterRelease));
    EXPECT_EQ(Messages{WM_HOOKCREATE}, ReportsFor(second, again));
}

// Wine also calls the hook with no window in the program that loses the
// activation: here this one, whose window is active when the victim's opens.
// Each re-parenting activates a window; under another window (cloaked) it is
// no top-level window, or an Activate rule that cloaks would fire without end.
TEST_F(HookTest, ReportsAnotherProgramsWindowButNotItsButtonNorANullActivation)
{
    Victim victim;
    HWND receiver = NewWindow("HookReceiver");
    HWND own = NewWindow("STATIC", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    SetForegroundWindow(own);
    ASSERT_TRUE(WaitFor([&] { return GetActiveWindow() == own; }));
    ASSERT_EQ(DWORD(ERROR_SUCCESS), Install(receiver));

    HWND window = victim.Create("HookVictim", "reported");
    EXPECT_EQ((Messages{WM_HOOKCREATE, WM_HOOKACTIVATE}), Heard(victim, receiver, window, 2));
    EXPECT_EQ(Messages{}, ReportsFor(receiver, GetWindow(window, GW_CHILD)));
    HWND hidingPlace = NewWindow();
    SetParent(window, hidingPlace);
    SetParent(window, hidingPlace);
    SetParent(window, nullptr);
    EXPECT_EQ((Messages{WM_HOOKCREATE, WM_HOOKACTIVATE, WM_HOOKACTIVATE}),
              Heard(victim, receiver, window, 3));
    EXPECT_EQ(Messages{}, ReportsFor(receiver, nullptr));
}

// Last of all: Wine keeps a hook of a program that died without releasing it
// in the chain for good, and its claim stays in the shared section.
TEST_F(HookTest, AKilledHoldersHookNeitherBlocksNorDoublesReports)
{
    Victim victim;
    HWND receiver = NewWindow("HookReceiver"), holder = nullptr;
    ASSERT_LT(31u, WinExec(("\"" + ExeDirectory() + "hook_holder.exe\"").c_str(), SW_HIDE));
    ASSERT_TRUE(WaitFor([&] { return (holder = FindWindowA(nullptr, "holder 1")); }, 10000));
    EXPECT_EQ(DWORD(ERROR_ALREADY_INITIALIZED), Install(receiver));
    PostMessageA(holder, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(holder); }));

    ASSERT_EQ(DWORD(ERROR_SUCCESS), Install(receiver));
    HWND window = victim.Create("HookVictim", "after a crash");
    EXPECT_EQ((Messages{WM_HOOKCREATE, WM_HOOKACTIVATE}), Heard(victim, receiver, window, 2));
}

} // namespace
