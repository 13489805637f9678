// A second program that holds the hook, as another running copy would: it
// loads brask2.dll by name, installs the hook for a hidden window of its own
// and shows the result in that window's title, "holder PID RESULT". WM_CLOSE
// releases the hook and ends it; a test may also kill it to leave the claim
// behind.
#include "hook/hook_api.h"

#include <cstdio>

namespace {

constexpr char HolderClass[] = "TarnwickHookHolder";

ReleaseHookFunction releaseHook;

template <typename Function> Function Export(HMODULE library, const char *name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

LRESULT CALLBACK HolderWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CLOSE:
        if (releaseHook)
            releaseHook();
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    WNDCLASSEXA wc = {sizeof wc};
    wc.lpfnWndProc = HolderWindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = HolderClass;
    RegisterClassExA(&wc);
    HWND window = CreateWindowExA(0, HolderClass, "holder", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                  instance, nullptr);
    HMODULE library = LoadLibraryA("brask2.dll");
    auto installHook = library ? Export<InstallHookFunction>(library, INSTALL_HOOK_EXPORT) : nullptr;
    int installed = installHook && installHook(window, WM_APP + 102, WM_APP + 103, WM_APP + 104);
    if (installed)
        releaseHook = Export<ReleaseHookFunction>(library, RELEASE_HOOK_EXPORT);
    char title[48];
    std::snprintf(title, sizeof title, "holder %lu %d", GetCurrentProcessId(), installed);
    SetWindowTextA(window, title);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
    if (library)
        FreeLibrary(library);
    return 0;
}
