// The benchmarks' victim: as the tests' victim, a program whose windows the
// program under test acts on, with the commands only the benchmarks use.
//   create CLASS|TITLE        a visible 400x300 window at 200,150; its handle
//   timed CLASS|TITLE         as create, and notes the performance counter
//                             around CreateWindowExA
//   timedcall / timedreturn   the low 32 bits of those two counter readings
//   churn N                   fetches one message (so that a hook installed
//                             just before is in force), then creates and
//                             destroys N top-level windows; the milliseconds
//   destroy HWND, quit        as the tests' victim
#include "tests/support/test_support.h"

#include <cstdlib>
#include <string>

namespace {

HINSTANCE instance;
LARGE_INTEGER timedCall, timedReturn;
constexpr UINT WM_VICTIM_FETCH = WM_APP + 1;

HWND NewWindow(const std::string &className, const std::string &title, DWORD style)
{
    const char *registered = TestWindowClass(className.c_str());
    QueryPerformanceCounter(&timedCall);
    HWND window = CreateWindowExA(0, registered, title.c_str(), style, 200, 150, 400, 300, nullptr,
                                  nullptr, instance, nullptr);
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

LRESULT Command(HWND control, const VictimCommand &command)
{
    const std::string &verb = command.verb;
    if (verb == "create" || verb == "timed")
        return reinterpret_cast<LRESULT>(
            NewWindow(command.first, command.rest, WS_OVERLAPPEDWINDOW | WS_VISIBLE));
    if (verb == "destroy")
        return DestroyWindow(command.window);
    if (verb == "churn")
        return Churn(control, std::atoi(command.first.c_str()));
    if (verb == "timedcall" || verb == "timedreturn")
        return (verb == "timedcall" ? timedCall : timedReturn).LowPart;
    return 1;
}

} // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    instance = hInstance;
    return ServeVictim(instance, Command);
}
