// A stand-in for brask2.dll whose InstallHook fails with a code the system
// has no text for.
#include <windows.h>

extern "C" __declspec(dllexport) int __cdecl InstallHook(HWND, UINT, UINT, UINT)
{
    SetLastError(0x20000001);
    return 0;
}

extern "C" __declspec(dllexport) int __cdecl ReleaseHook() { return 1; }
