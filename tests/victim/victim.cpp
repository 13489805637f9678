// The victim: a small program whose windows tests act on from another
// process, as the real program acts on other programs' windows.
#include "common/export.h"
#include "common/messages.h"
#include "hook/hook_api.h"
#include "tests/support/test_support.h"

#include <cstdlib>
#include <map>
#include <string>
#include <utility>

namespace {

HINSTANCE instance;

// A later change of a window, by window, whose handle is also the timer's id.
struct Late {
    std::string title;
    bool show;  // shown first, as its program shows it once ready
};
std::map<HWND, Late> lateChanges;

void CALLBACK ChangeLate(HWND control, UINT, UINT_PTR id, DWORD)
{
    KillTimer(control, id);
    HWND window = reinterpret_cast<HWND>(id);
    if (lateChanges[window].show)
        ShowWindow(window, SW_SHOWNORMAL);
    SetWindowTextA(window, lateChanges[window].title.c_str());
}

// Milliseconds the next move of any window takes, as a program busy in its
// window procedure would make it: a re-parenting waits for it too.
DWORD slowMoveMs;

LRESULT CALLBACK TargetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_WINDOWPOSCHANGING && slowMoveMs)
        Sleep(std::exchange(slowMoveMs, 0));
    return DefWindowProcA(window, message, wParam, lParam);
}

// Retitles itself "After" once it is no top-level window: its row shows
// whether its texts were read before or after a cloak.
LRESULT CALLBACK RenamingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SHOWWINDOW && GetAncestor(window, GA_PARENT) != GetDesktopWindow())
        SetWindowTextA(window, "After");
    return TargetProc(window, message, wParam, lParam);
}

HWND NewWindow(const std::string &className, const std::string &title, DWORD style)
{
    WNDPROC procedure = className == "VictimRenaming" ? RenamingProc : TargetProc;
    return CreateWindowExA(0, TestWindowClass(className.c_str(), procedure), title.c_str(), style,
                           200, 150, 400, 300, nullptr, nullptr, instance, nullptr);
}

LRESULT Command(HWND control, const VictimCommand &command)
{
    auto [verb, first, rest, window] = command;  // a copy: window may be replaced
    if (verb == "create") {
        window = NewWindow(first, rest, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
        RECT client;
        if (GetClientRect(window, &client))
            CreateWindowExA(0, "BUTTON", "Push", WS_CHILD | WS_VISIBLE, 0, 0, client.right,
                            client.bottom, window, reinterpret_cast<HMENU>(1), instance, nullptr);
        return reinterpret_cast<LRESULT>(window);
    }
    if (verb == "latetitle") {
        lateChanges[window] = {rest.substr(rest.find('|') + 1), false};
        return SetTimer(control, reinterpret_cast<UINT_PTR>(window), std::atoi(rest.c_str()),
                        ChangeLate);
    }
    if (verb == "showlate") {
        window = NewWindow(rest, "not shown yet", WS_OVERLAPPEDWINDOW);
        lateChanges[window] = {"shown", true};
        SetTimer(control, reinterpret_cast<UINT_PTR>(window), std::atoi(first.c_str()), ChangeLate);
        return reinterpret_cast<LRESULT>(window);
    }
    if (verb == "hang") {
        ReplyMessage(1);  // first, so that the test is not held too
        Sleep(std::strtoul(first.c_str(), nullptr, 10));
    }
    if (verb == "destroy")
        return DestroyWindow(window);
    if (verb == "slowmove")
        slowMoveMs = std::strtoul(first.c_str(), nullptr, 10);
    if (verb == "notify") {
        char *next = &rest[0];
        DWORD event = std::strtoul(next, &next, 0);
        LONG object = std::strtol(next, &next, 0);
        NotifyWinEvent(event, window, object, std::strtol(next, nullptr, 0));
    }
    if (verb == "hold") {
        HMODULE library = LoadLibraryA("brask2.dll");
        auto install = LookUpExport<InstallHookFunction>(library, INSTALL_HOOK_EXPORT);
        return install && install(control, WM_HOOKCREATE, WM_HOOKIGNORED, WM_HOOKACTIVATE);
    }
    if (verb == "crash")
        TerminateProcess(GetCurrentProcess(), 1);
    return 1;
}

} // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    return ServeVictim(instance = hInstance, Command);
}
