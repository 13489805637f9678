#include "actions/window_actions.h"
// placeholder until implemented
WindowList HiddenList;
WindowList CloakedList;
ptrdiff_t WindowList::FindFirst(HWND) const { return -1; }
void WindowList::RemoveAt(size_t) {}
int PerformAction(HWND, int32_t) { return 0; }
void RestoreAllWindows() {}
