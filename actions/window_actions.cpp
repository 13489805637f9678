// The eight actions on another program's window, and the lists of the
// windows hidden or cloaked, kept so that every one of them can be given back.
#include "actions/window_actions.h"

#include "common/app_state.h"
#include "rules/rule.h"

WindowList HiddenList;
WindowList CloakedList;

ptrdiff_t WindowList::FindFirst(HWND window) const
{
    for (size_t index = 0; index < windows_.size(); ++index) {
        if (windows_[index].window == window)
            return static_cast<ptrdiff_t>(index);
    }
    return -1;
}

void WindowList::RemoveAt(size_t index)
{
    if (index < windows_.size())
        windows_.erase(windows_.begin() + static_cast<ptrdiff_t>(index));
}

namespace {

// Every window of this process is refused, not only MainDialog and what it
// owns: the rule editor's warning box or the About box, hidden by a rule,
// would stay modal and invisible and lock the user out. A cloaked window is
// another program's, but held under MainWindow; SetParent does not make
// GetParent report it, and every re-parenting activates the window again, so
// an Activate rule that cloaks would otherwise cloak it over and over: its
// real parent is checked as well.
bool Refused(HWND window)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId == GetCurrentProcessId())
        return true;
    return MainWindow && GetAncestor(window, GA_PARENT) == MainWindow;
}

// The window goes into its list before the call, and stays there whatever the
// call reports, so that nothing once acted on can be lost track of.
int HideWindow(HWND window)
{
    HiddenList.Append(window);
    return ShowWindowAsync(window, SW_HIDE);
}

int CloakWindow(HWND window)
{
    CloakedList.Append(window);
    return SetParent(window, MainWindow) != nullptr ? 1 : 0;
}

// The minimize waits for the target's thread so that the shrink lands on the
// minimized window rather than racing the minimize.
int SmashWindow(HWND window)
{
    ShowWindow(window, SW_MINIMIZE);
    return MoveWindow(window, -1, -1, 1, 1, TRUE);
}

} // namespace

int PerformAction(HWND window, int32_t action)
{
    if (Refused(window))
        return 0;
    // The asynchronous forms never wait for another program's thread, which
    // may be hung.
    switch (action) {
    case Close:
        return PostMessageA(window, WM_CLOSE, 0, 0);
    case Minimize:
        return ShowWindowAsync(window, SW_MINIMIZE);
    case ForceMinimize:
        return ShowWindowAsync(window, SW_FORCEMINIMIZE);
    case Maximize:
        return ShowWindowAsync(window, SW_MAXIMIZE);
    case Restore:
        return ShowWindowAsync(window, SW_RESTORE);
    case Hide:
        return HideWindow(window);
    case Cloak:
        return CloakWindow(window);
    case Smash:
        return SmashWindow(window);
    default:
        return 0;
    }
}

bool StillListed(const WindowList &list, size_t index)
{
    HWND window = list.At(index);
    DWORD thread = list.ThreadAt(index);
    if (thread == 0 || GetWindowThreadProcessId(window, nullptr) != thread)
        return false;
    return &list != &CloakedList || (MainWindow && GetAncestor(window, GA_PARENT) == MainWindow);
}

void RestoreListed(WindowList &list, size_t index)
{
    if (StillListed(list, index)) {
        if (&list == &CloakedList)
            SetParent(list.At(index), nullptr);
        else
            ShowWindow(list.At(index), SW_RESTORE);
    }
    list.RemoveAt(index);
}

// Shown before re-parented: a window both hidden and cloaked has its
// visibility back by the time it reappears on the desktop.
void RestoreAllWindows()
{
    for (size_t index = 0; index < HiddenList.Count(); ++index) {
        if (StillListed(HiddenList, index))
            ShowWindow(HiddenList.At(index), SW_RESTORE);
    }
    for (size_t index = 0; index < CloakedList.Count(); ++index) {
        if (StillListed(CloakedList, index))
            SetParent(CloakedList.At(index), nullptr);
    }
    HiddenList.Clear();
    CloakedList.Clear();
}
