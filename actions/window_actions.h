// The eight actions on a (usually foreign) window, and the record of the
// windows the program has hidden or cloaked so that they can be given back.
#pragma once

#include "rules/rule_effects.h"

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

// An ordered list of window handles, oldest first. Duplicates are kept and
// entries are never dropped on their own when their window goes away. Each
// entry remembers the thread that owned its window when it was listed, since
// a handle may be reused for another program's window once its own is gone.
class WindowList {
public:
    size_t Count() const { return windows_.size(); }
    HWND At(size_t index) const { return windows_[index].window; }
    DWORD ThreadAt(size_t index) const { return windows_[index].threadId; }
    // The window's owning thread as it is now.
    void Append(HWND window) { Append(window, GetWindowThreadProcessId(window, nullptr)); }
    void Append(HWND window, DWORD threadId);
    // Index of the first entry holding window, or -1.
    ptrdiff_t FindFirst(HWND window) const;
    // Whether an entry holds window as owned by threadId; without a search,
    // however long the list has grown.
    bool Holds(HWND window, DWORD threadId) const;
    void RemoveAt(size_t index);
    void Clear();

    // Told of every change of any list, so that the record kept of them on
    // disk (actions/recovery_file.h) follows without a caller having to
    // remember it: appended before Append returns, and so before the call
    // that hides or cloaks the window; removed after an entry or all of a
    // list went. Null while no record is kept.
    static inline void (*appended)(HWND window, DWORD threadId) = nullptr;
    static inline void (*removed)() = nullptr;

    // A window as owned by a thread, as one number: the key of every table
    // kept of listed windows.
    static uint64_t Key(HWND window, DWORD threadId)
    {
        return static_cast<uint64_t>(reinterpret_cast<uintptr_t>(window)) << 32 ^ threadId;
    }

private:
    struct Entry {
        HWND window;
        DWORD threadId;
    };
    std::vector<Entry> windows_;
    std::unordered_map<uint64_t, size_t> held_;  // entries by window and thread
};

extern WindowList HiddenList;
extern WindowList CloakedList;

// PerformAction (rules/rule_effects.h) is defined here. Nonzero when the
// platform call reports success; 0 when the window belongs to this process
// or is already cloaked, when action is not a WindowAction, or when the call
// fails. No action waits without a bound for the window's program: a Cloak
// gives up after half a second, and on a program that does not answer.
//
// Minimize, Force Minimize, Maximize and Smash on a window that exists but
// is not shown yet return ActionDeferred: nothing is done yet, and the
// action is carried out when the window's program first shows it, or after
// 5 s, on this thread, from the message loop or any modal one. A Hide is
// carried out at once (the window listed first) and once more then. A
// window this program has hidden or cloaked is not one "not shown yet":
// every action on it is carried out at once. Actions still waiting when the
// run ends are dropped, and so are those on a window the user takes back.
constexpr int ActionDeferred = -1;

// Gives back the window of entry index of HiddenList (shown) or CloakedList
// (given back to the desktop) if it is still the one listed, and removes the
// entry; an action still waiting for that window's first show is dropped, as
// the user has taken the window back. Waits at most half a second for the
// window's program: a cloaked window whose program did not answer in time
// stays listed, to be given back by Restore All or at the end.
void RestoreListed(WindowList &list, size_t index);

// Shows every hidden window, gives every cloaked window back to the desktop,
// drops every action waiting for a show, and empties both lists. Entries
// that no longer name their window are dropped without a call; a cloak that
// has not landed yet is given back all the same, behind it. Waits at most a second for the programs of the
// cloaked windows; a hidden window of a hung program shows when that program
// runs again, a cloaked one goes back if it runs again while this process
// lives.
void RestoreAllWindows();
