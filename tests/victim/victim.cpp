// The victim: a small program whose windows tests act on from another
// process, as the real program acts on other programs' windows.
#include "tests/victim/victim_protocol.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr UINT_PTR LateTitleTimerBase = 0x1000;
constexpr UINT WM_VICTIM_FETCH = WM_APP + 1;
HINSTANCE instance;
LARGE_INTEGER timedCall, timedReturn;

struct LateTitle {
    HWND window;
    std::string title;
    bool show;  // shown, as its program would show it at last, before the title is set
};

LRESULT CALLBACK VictimWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SIZE) {
        HWND button = GetDlgItem(window, 1);
        if (button)
            MoveWindow(button, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void EnsureClass(const char *className)
{
    WNDCLASSEXA existing = {sizeof existing};
    if (GetClassInfoExA(instance, className, &existing))
        return;
    WNDCLASSEXA wc = {sizeof wc};
    wc.lpfnWndProc = VictimWindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = className;
    RegisterClassExA(&wc);
}

HWND CreateVictimWindow(const std::string &className, const std::string &title)
{
    EnsureClass(className.c_str());
    HWND window = CreateWindowExA(0, className.c_str(), title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                  200, 150, 400, 300, nullptr, nullptr, instance, nullptr);
    if (window) {
        RECT client;
        GetClientRect(window, &client);
        CreateWindowExA(0, "BUTTON", "Push", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0, 0, client.right,
                        client.bottom, window, reinterpret_cast<HMENU>(1), instance, nullptr);
    }
    return window;
}

// "A|B|C" split at the first two bars.
void Split(const std::string &args, std::string &a, std::string &b)
{
    size_t bar = args.find('|');
    a = args.substr(0, bar);
    b = bar == std::string::npos ? std::string() : args.substr(bar + 1);
}

HWND ParseHandle(const std::string &text)
{
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(std::strtoul(text.c_str(), nullptr, 0)));
}

// Under Wine a thread learns of a hook installed since it last fetched a
// message only when it fetches one again: without this fetch a whole churn
// could run past a hook that was put in just before it.
void FetchOneMessage(HWND control)
{
    PostMessageA(control, WM_VICTIM_FETCH, 0, 0);
    MSG message;
    GetMessageA(&message, control, WM_VICTIM_FETCH, WM_VICTIM_FETCH);
}

LRESULT Churn(HWND control, int count)
{
    EnsureClass("VictimChurn");
    FetchOneMessage(control);
    DWORD start = GetTickCount();
    for (int i = 0; i < count; ++i) {
        HWND window = CreateWindowExA(0, "VictimChurn", "churn", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                      nullptr, nullptr, instance, nullptr);
        DestroyWindow(window);
    }
    return static_cast<LRESULT>(GetTickCount() - start);
}

LRESULT Command(HWND control, const std::string &line)
{
    size_t space = line.find(' ');
    std::string verb = line.substr(0, space);
    std::string args = space == std::string::npos ? std::string() : line.substr(space + 1);
    std::string a, b;
    if (verb == "create") {
        Split(args, a, b);
        return reinterpret_cast<LRESULT>(CreateVictimWindow(a, b));
    }
    if (verb == "timed") {
        Split(args, a, b);
        EnsureClass(a.c_str());
        QueryPerformanceCounter(&timedCall);
        HWND window = CreateWindowExA(0, a.c_str(), b.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 200, 150,
                                      400, 300, nullptr, nullptr, instance, nullptr);
        QueryPerformanceCounter(&timedReturn);
        return reinterpret_cast<LRESULT>(window);
    }
    if (verb == "timedcall")
        return static_cast<LRESULT>(timedCall.LowPart);
    if (verb == "timedreturn")
        return static_cast<LRESULT>(timedReturn.LowPart);
    if (verb == "latetitle") {
        std::string rest, ms, title;
        Split(args, a, rest);
        Split(rest, ms, title);
        auto *late = new LateTitle{ParseHandle(a), title, false};
        SetTimer(control, reinterpret_cast<UINT_PTR>(late), std::atoi(ms.c_str()), nullptr);
        return 1;
    }
    if (verb == "showlate") {
        Split(args, a, b);
        EnsureClass(b.c_str());
        HWND window = CreateWindowExA(0, b.c_str(), "not shown yet", WS_OVERLAPPEDWINDOW, 200, 150, 400, 300,
                                      nullptr, nullptr, instance, nullptr);
        auto *late = new LateTitle{window, "shown", true};
        SetTimer(control, reinterpret_cast<UINT_PTR>(late), std::atoi(a.c_str()), nullptr);
        return reinterpret_cast<LRESULT>(window);
    }
    if (verb == "destroy")
        return DestroyWindow(ParseHandle(args));
    if (verb == "churn")
        return Churn(control, std::atoi(args.c_str()));
    if (verb == "hang") {
        // The reply first, so that the test is not held too.
        ReplyMessage(1);
        Sleep(std::strtoul(args.c_str(), nullptr, 10));
        return 1;
    }
    if (verb == "quit") {
        PostQuitMessage(0);
        return 1;
    }
    return 0;
}

LRESULT CALLBACK ControlWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COPYDATA: {
        auto *data = reinterpret_cast<const COPYDATASTRUCT *>(lParam);
        std::string line(static_cast<const char *>(data->lpData), data->cbData);
        return Command(window, line);
    }
    case WM_TIMER: {
        // The timer id is the pending title change.
        KillTimer(window, wParam);
        auto *late = reinterpret_cast<LateTitle *>(wParam);
        if (late->show)
            ShowWindow(late->window, SW_SHOWNORMAL);
        SetWindowTextA(late->window, late->title.c_str());
        delete late;
        return 0;
    }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    instance = hInstance;
    WNDCLASSEXA wc = {sizeof wc};
    wc.lpfnWndProc = ControlWindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = VICTIM_CONTROL_CLASS;
    RegisterClassExA(&wc);
    // A message-only window would not be found by FindWindow from another
    // process; a hidden top-level one is.
    char title[32];
    std::snprintf(title, sizeof title, "victim %lu", GetCurrentProcessId());
    CreateWindowExA(0, VICTIM_CONTROL_CLASS, title, WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, instance,
                    nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
