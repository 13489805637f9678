// floor_hook.dll: the least a window hook can cost the programs it runs in.
// Every window creation and activation is posted to one window, with no
// filter and no state but that window; the event benchmark holds brask2.dll
// up against it. The same two exports as brask2.dll, so that one receiver
// program holds either. The hook lives on the installing thread, which must
// keep fetching messages.
#include "common/messages.h"
#include "hook/hook_api.h"

// One copy for every program that maps this library: where to post.
__attribute__((section(".shr"), shared)) HWND volatile floorTarget = nullptr;

namespace {

HMODULE thisModule;
HHOOK hook;  // the installing program's only

LRESULT CALLBACK FloorProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND)
        PostMessageA(floorTarget, WM_HOOKCREATE, wParam, 0);
    else if (code == HCBT_ACTIVATE)
        PostMessageA(floorTarget, WM_HOOKACTIVATE, wParam, 0);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

// The report messages are the program's fixed ones: keeping those given
// would be state.
extern "C" __declspec(dllexport) int __cdecl InstallHook(HWND notify, UINT, UINT, UINT)
{
    if (hook)
        return 0;
    floorTarget = notify;
    hook = SetWindowsHookExA(WH_CBT, FloorProc, thisModule, 0);
    return hook != nullptr;
}

// The target outlives the hook, so that no hooked program posts to nothing.
extern "C" __declspec(dllexport) int __cdecl ReleaseHook()
{
    if (!hook)
        return 0;
    UnhookWindowsHookEx(hook);
    hook = nullptr;
    floorTarget = nullptr;
    return 1;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void *)
{
    if (reason == DLL_PROCESS_ATTACH) {
        thisModule = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}
