// Stand-ins for brask2.dll for the failed starts. HOOK_VARIANT 1 exports
// nothing and leaves loaded.mark in the working directory when loaded; 2's
// InstallHook fails with a code the system has no text for.
#include <windows.h>

#if HOOK_VARIANT == 1
BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        CloseHandle(CreateFileA("loaded.mark", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, {}));
    return TRUE;
}
#else
extern "C" __declspec(dllexport) int __cdecl InstallHook(HWND, UINT, UINT, UINT)
{
    SetLastError(0x20000001);
    return 0;
}

extern "C" __declspec(dllexport) int __cdecl ReleaseHook() { return 1; }
#endif
