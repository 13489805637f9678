// The victim: a small program whose windows tests act on from another
// process, as the real program acts on other programs' windows.
#include "tests/victim/victim_protocol.h"

#include "hook/hook_api.h"

#include <windows.h>

#include <cstdlib>
#include <map>
#include <string>
#include <utility>

namespace {

HINSTANCE instance;
LARGE_INTEGER timedCall, timedReturn;
constexpr UINT WM_VICTIM_FETCH = WM_APP + 1;

// A later change of a window, by window, whose handle is also the timer's id.
struct Late {
    std::string title;
    bool show;  // shown first, as its program shows it once ready
};
std::map<HWND, Late> lateChanges;

// Milliseconds the next move of any window takes, as a program busy in its
// window procedure would make it: a re-parenting waits for it too.
DWORD slowMoveMs;

LRESULT CALLBACK TargetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_WINDOWPOSCHANGING && slowMoveMs)
        Sleep(std::exchange(slowMoveMs, 0));
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND NewWindow(const std::string &className, const std::string &title, DWORD style)
{
    WNDCLASSA wc = {0, TargetProc, 0, 0, instance, nullptr, LoadCursorA(nullptr, IDC_ARROW),
                    reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), nullptr, className.c_str()};
    RegisterClassA(&wc);  // fails, harmlessly, once the class is there
    QueryPerformanceCounter(&timedCall);
    HWND window = CreateWindowExA(0, className.c_str(), title.c_str(), style, 200, 150, 400, 300,
                                  nullptr, nullptr, instance, nullptr);
    QueryPerformanceCounter(&timedReturn);
    return window;
}

// Under Wine a thread learns of a hook installed since it last fetched a
// message only when it fetches one again: without this a whole churn could
// run past a hook put in just before it.
LRESULT Churn(HWND control, int count)
{
    PostMessageA(control, WM_VICTIM_FETCH, 0, 0);
    MSG message;
    GetMessageA(&message, control, WM_VICTIM_FETCH, WM_VICTIM_FETCH);
    DWORD start = GetTickCount();
    for (int i = 0; i < count; ++i)
        DestroyWindow(NewWindow("VictimChurn", "churn", WS_OVERLAPPEDWINDOW));
    return static_cast<LRESULT>(GetTickCount() - start);
}

LRESULT Command(HWND control, const std::string &line)
{
    size_t space = line.find(' '), bar = line.find('|');
    std::string verb = line.substr(0, space), first = line.substr(space + 1, bar - space - 1);
    std::string rest = bar == std::string::npos ? std::string() : line.substr(bar + 1);
    HWND window = reinterpret_cast<HWND>(std::strtoul(first.c_str(), nullptr, 0));
    if (verb == "create" || verb == "timed") {
        window = NewWindow(first, rest, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
        RECT client;
        if (verb == "create" && GetClientRect(window, &client))
            CreateWindowExA(0, "BUTTON", "Push", WS_CHILD | WS_VISIBLE, 0, 0, client.right,
                            client.bottom, window, reinterpret_cast<HMENU>(1), instance, nullptr);
        return reinterpret_cast<LRESULT>(window);
    }
    if (verb == "latetitle") {
        lateChanges[window] = {rest.substr(rest.find('|') + 1), false};
        return SetTimer(control, reinterpret_cast<UINT_PTR>(window), std::atoi(rest.c_str()), nullptr);
    }
    if (verb == "showlate") {
        window = NewWindow(rest, "not shown yet", WS_OVERLAPPEDWINDOW);
        lateChanges[window] = {"shown", true};
        SetTimer(control, reinterpret_cast<UINT_PTR>(window), std::atoi(first.c_str()), nullptr);
        return reinterpret_cast<LRESULT>(window);
    }
    if (verb == "hang") {
        ReplyMessage(1);  // first, so that the test is not held too
        Sleep(std::strtoul(first.c_str(), nullptr, 10));
    }
    if (verb == "slowmove")
        slowMoveMs = std::strtoul(first.c_str(), nullptr, 10);
    if (verb == "destroy")
        return DestroyWindow(window);
    if (verb == "notify") {
        char *next = &rest[0];
        DWORD event = std::strtoul(next, &next, 0);
        LONG object = std::strtol(next, &next, 0);
        NotifyWinEvent(event, window, object, std::strtol(next, nullptr, 0));
        return 1;
    }
    if (verb == "churn")
        return Churn(control, std::atoi(first.c_str()));
    if (verb == "timedcall" || verb == "timedreturn")
        return (verb == "timedcall" ? timedCall : timedReturn).LowPart;
    if (verb == "hold") {
        HMODULE library = LoadLibraryA("brask2.dll");
        auto install = reinterpret_cast<InstallHookFunction>(reinterpret_cast<void (*)()>(
            library ? GetProcAddress(library, INSTALL_HOOK_EXPORT) : nullptr));
        return install && install(control, WM_APP + 102, WM_APP + 103, WM_APP + 104);
    }
    if (verb == "crash")
        TerminateProcess(GetCurrentProcess(), 1);
    if (verb == "quit")
        PostQuitMessage(0);
    return 1;
}

LRESULT CALLBACK ControlWindowProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COPYDATA) {
        auto *data = reinterpret_cast<const COPYDATASTRUCT *>(lParam);
        return Command(control, std::string(static_cast<const char *>(data->lpData), data->cbData));
    }
    if (message == WM_TIMER) {
        KillTimer(control, wParam);
        HWND window = reinterpret_cast<HWND>(wParam);
        if (lateChanges[window].show)
            ShowWindow(window, SW_SHOWNORMAL);
        SetWindowTextA(window, lateChanges[window].title.c_str());
        return 0;
    }
    return DefWindowProcA(control, message, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    instance = hInstance;
    WNDCLASSA wc = {0, ControlWindowProc, 0, 0, instance, {}, {}, {}, {}, VICTIM_CONTROL_CLASS};
    RegisterClassA(&wc);
    // A message-only window would not be found by FindWindow from another
    // process; a hidden top-level one is.
    std::string title = "victim " + std::to_string(GetCurrentProcessId());
    CreateWindowExA(0, VICTIM_CONTROL_CLASS, title.c_str(), WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                    instance, nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
