// The contract of the hook library brask2.dll: two cdecl exports, looked up
// by these undecorated names.
#pragma once

#include <windows.h>

// Reports each created top-level window with createMessage and each
// activated one with activateMessage to notify, wParam = the window.
// Nonzero on success; 0 with the reason in the thread's last-error value.
typedef int(__cdecl *InstallHookFunction)(HWND notify, UINT createMessage, UINT ignoredMessage,
                                          UINT activateMessage);
typedef int(__cdecl *ReleaseHookFunction)();

#define INSTALL_HOOK_EXPORT "InstallHook"
#define RELEASE_HOOK_EXPORT "ReleaseHook"
