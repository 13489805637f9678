// A receiver of window reports that is nothing more: it holds the hook of
// the library named on its command line (brask2.dll, or the floor library)
// and, given a class, hides every window of that class reported created.
// The event benchmark runs it in place of the program, to show what the
// hook alone allows.
//   bench_receiver.exe LIBRARY [CLASS]
// Its hidden window of class ReceiverClass is titled ReceiverReady once the
// hook is in. WM_BENCH_MARK hides the window it names; WM_CLOSE releases
// the hook and ends the program.
#include "bench/bench_support.h"
#include "common/messages.h"

#include <cstdlib>

using namespace bench;

namespace {

const char *hideClass;

LRESULT CALLBACK ReceiverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_HOOKCREATE:
        if (hideClass)
            HideIfClass(reinterpret_cast<HWND>(wParam), hideClass);
        return 0;
    case WM_BENCH_MARK:
        ShowWindowAsync(reinterpret_cast<HWND>(wParam), SW_HIDE);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND CreateReceiverWindow(HINSTANCE instance)
{
    return CreateWindowExA(0, TestWindowClass(ReceiverClass, ReceiverProc), "", WS_POPUP, 0, 0, 1,
                           1, nullptr, nullptr, instance, nullptr);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    if (__argc < 2)
        return 64;
    hideClass = __argc > 2 ? __argv[2] : nullptr;
    HWND window = CreateReceiverWindow(instance);
    HookLibrary hook(__argv[1]);
    if (!window || !hook.Loaded() || !hook.Install(window))
        return 1;
    SetWindowTextA(window, ReceiverReady);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
    hook.Release();
    return 0;
}
