// The second source of window reports: the platform's out-of-context window
// events, for the programs the hook library cannot be loaded into (those of
// the other bitness on 64-bit Windows). Each window is reported by exactly
// one source: the hook for the programs it reaches, these events for the rest.
#pragma once

#include <windows.h>

// From a successful InstallHook until StopWinEventReports, Create and
// Activate reports of top-level windows of unreached programs go to
// MainDialog as the hook's do. On 32-bit Windows the hook reaches every
// program and nothing is installed.
void StartWinEventReports();

// Unhooks and closes every process handle held.
void StopWinEventReports();

// For tests only: decides in place of the bitness whether the hook library
// reaches a process; null restores the real test. While one is set, the
// events are taken on any Windows. Set it before StartWinEventReports.
using ReachedByHookTest = bool (*)(HANDLE process);
void SetReachedByHookForTests(ReachedByHookTest reached);
