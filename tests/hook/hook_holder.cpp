// A second running copy holding the hook: its window is titled "holder 1" once
// installed. WM_CLOSE ends it as a crash would: no release, no library told.
#include "hook/hook_api.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr,
                                  nullptr);
    HMODULE library = LoadLibraryA("brask2.dll");
    auto install = reinterpret_cast<InstallHookFunction>(reinterpret_cast<void (*)()>(
        library ? GetProcAddress(library, INSTALL_HOOK_EXPORT) : nullptr));
    bool installed = install && install(window, WM_APP + 102, WM_APP + 103, WM_APP + 104);
    SetWindowTextA(window, installed ? "holder 1" : "holder 0");
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0 && message.message != WM_CLOSE)
        DispatchMessageA(&message);
    return TerminateProcess(GetCurrentProcess(), 1);
}
