// placeholder until implemented
#include "hook/hook_api.h"
extern "C" __declspec(dllexport) int __cdecl InstallHook(HWND, UINT, UINT, UINT) { SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return 0; }
extern "C" __declspec(dllexport) int __cdecl ReleaseHook() { return 1; }
