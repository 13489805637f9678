// brask2.dll as the program binds it: loaded by name, its two exports looked
// up and called cdecl, its reports received by windows of this test.
#include "common/export.h"
#include "common/messages.h"
#include "hook/hook_api.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The reports that reached windows of this test, in the order they came.
std::vector<std::pair<HWND, UINT>> reports;
using Messages = std::vector<UINT>;

LRESULT CALLBACK Record(HWND to, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_HOOKCREATE || message == WM_HOOKACTIVATE)
        reports.emplace_back(reinterpret_cast<HWND>(wParam), message);
    return DefWindowProcA(to, message, wParam, lParam);
}

const char *const receiverClass = TestWindowClass("HookReceiver", Record);

HWND NewWindow(const char *className = "STATIC", DWORD style = WS_POPUP)
{
    return CreateWindowExA(0, className, "", style, 0, 0, 9, 9, nullptr, nullptr, nullptr, nullptr);
}

// What was heard of window once `expected` reports came and the victim's
// hook calls have all returned, so that no extra one is missed.
Messages Heard(Victim &victim, HWND window, size_t expected = 0)
{
    Messages heard;
    auto collect = [&] {
        heard.clear();
        for (auto [about, message] : reports)
            if (about == window)
                heard.push_back(message);
        return heard.size() >= expected;
    };
    WaitFor(collect);
    victim.Send("ping");
    PumpMessages();
    collect();
    return heard;
}

class HookTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(install_ && release_) << GetLastError(); }
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
    InstallHookFunction install_ = LookUpExport<InstallHookFunction>(library_, INSTALL_HOOK_EXPORT);
    ReleaseHookFunction release_ = LookUpExport<ReleaseHookFunction>(library_, RELEASE_HOOK_EXPORT);
};

// Wine also calls the hook with no window in the program that loses the
// activation: here this one, whose window is active when the victim's opens.
// Each re-parenting activates a window; under another window (cloaked) it is
// no top-level window, or an Activate rule that cloaks would fire without end.
TEST_F(HookTest, ReportsAnotherProgramsWindowButNotItsButtonNorANullActivation)
{
    Victim victim;
    HWND receiver = NewWindow(receiverClass);
    HWND own = NewWindow("STATIC", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    SetForegroundWindow(own);
    ASSERT_TRUE(WaitFor([&] { return GetActiveWindow() == own; }));
    ASSERT_EQ(DWORD(ERROR_SUCCESS), Install(receiver));

    HWND window = victim.Create("HookVictim", "reported");
    EXPECT_EQ((Messages{WM_HOOKCREATE, WM_HOOKACTIVATE}), Heard(victim, window, 2));
    EXPECT_EQ(Messages{}, Heard(victim, GetWindow(window, GW_CHILD)));
    HWND hidingPlace = NewWindow();
    SetParent(window, hidingPlace);
    SetParent(window, hidingPlace);
    SetParent(window, nullptr);
    EXPECT_EQ((Messages{WM_HOOKCREATE, WM_HOOKACTIVATE, WM_HOOKACTIVATE}),
              Heard(victim, window, 3));
    EXPECT_EQ(Messages{}, Heard(victim, nullptr));
}

// One hook at a time, and a holder killed without releasing neither blocks
// the next nor doubles its reports, though Wine keeps its hook in the chain
// for good and its claim stays in the session's target: last of all. After a
// release, nothing more is reported.
TEST_F(HookTest, OneHookAtATimeAndAKilledHoldersNeitherBlocksNorDoubles)
{
    Victim holder, victim;
    HWND receiver = NewWindow(receiverClass);
    EXPECT_EQ(DWORD(ERROR_INVALID_WINDOW_HANDLE), Install(nullptr));
    ASSERT_EQ(holder.Send("hold"), 1);
    EXPECT_EQ(DWORD(ERROR_ALREADY_INITIALIZED), Install(receiver));
    holder.Send("crash");
    ASSERT_TRUE(WaitFor([&] { return Install(receiver) == ERROR_SUCCESS; }));
    HWND window = victim.Create("HookVictim", "after a crash");
    EXPECT_EQ((Messages{WM_HOOKCREATE, WM_HOOKACTIVATE}), Heard(victim, window, 2));
    ASSERT_NE(0, release_());
    window = victim.Create("HookVictim", "released");
    EXPECT_EQ(Messages{}, Heard(victim, window));
}

// Nothing of the library is shared by every program that maps it, so none
// can silence or redirect the reports by writing there; the target is named
// in this log-on session's namespace, so that another user's copy in
// another session has its own.
TEST_F(HookTest, TargetIsThisSessionsAndNoProgramThatMapsTheLibraryCanWriteIt)
{
    ASSERT_EQ(DWORD(ERROR_SUCCESS), Install(NewWindow("HookReceiver")));
    auto *image = reinterpret_cast<const char *>(library_);
    auto *headers = reinterpret_cast<const IMAGE_NT_HEADERS *>(
        image + reinterpret_cast<const IMAGE_DOS_HEADER *>(image)->e_lfanew);
    const IMAGE_SECTION_HEADER *section = IMAGE_FIRST_SECTION(headers);
    for (WORD i = 0; i < headers->FileHeader.NumberOfSections; ++i, ++section)
        EXPECT_FALSE(section->Characteristics & IMAGE_SCN_MEM_SHARED)
            << std::string(reinterpret_cast<const char *>(section->Name), 8).c_str();
    for (auto [name, found] : {std::pair{"Local\\Brask2HookTarget", true},
                               std::pair{"Global\\Brask2HookTarget", false}}) {
        HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, name);
        EXPECT_EQ(found, mapping != nullptr) << name;
        if (mapping)
            CloseHandle(mapping);
    }
}

} // namespace
