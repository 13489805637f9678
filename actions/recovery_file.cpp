#include "actions/recovery_file.h"

#include "actions/window_actions.h"
#include "rules/recovery_lines.h"
#include "rules/safe_file.h"

#include <cstdint>
#include <string>

namespace {

constexpr char recoveryFileName[] = "brask2.hid";

// Resolved once at start: the open-file dialog of Import moves the working
// directory while it is open, and the lists may change meanwhile.
char recoveryPath[MAX_PATH] = "brask2.hid";

HWND WindowOf(uint32_t value) { return reinterpret_cast<HWND>(static_cast<uintptr_t>(value)); }

// Another program's window as a killed run left it, or not at all: a
// handle reused by a stranger, a window shown since, or one of our own is
// refused.
bool StillHiddenAsRecorded(const RecoveryEntry &entry)
{
    HWND window = WindowOf(entry.window);
    DWORD processId = 0;
    if (!IsWindow(window) || GetWindowThreadProcessId(window, &processId) != entry.threadId ||
        processId != entry.processId || processId == GetCurrentProcessId() || IsWindowVisible(window))
        return false;
    char className[257];
    return GetClassNameA(window, className, sizeof className) > 0 && entry.className == className;
}

// A window gone since it was listed, or a handle that now names another
// thread's window, is of no use to the next run; one hidden twice needs one
// line.
void AddLines(std::string &text, const WindowList &windows)
{
    for (size_t i = 0; i < windows.Count(); ++i) {
        HWND window = windows.At(i);
        if (windows.FindFirst(window) < static_cast<ptrdiff_t>(i))
            continue;
        DWORD processId = 0;
        char className[257];
        if (GetWindowThreadProcessId(window, &processId) != windows.ThreadAt(i) ||
            GetClassNameA(window, className, sizeof className) == 0)
            continue;
        auto handle = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(window));
        text += FormatRecoveryLine({handle, processId, windows.ThreadAt(i), className});
    }
}

// Runs from a timer or inside whatever changed a list, a window or dialog
// procedure among them, so nothing may escape. A file that could not be
// rewritten keeps the windows of before, which the next start checks one by
// one anyway.
void WriteRecoveryFile() noexcept
{
    try {
        std::string text;
        AddLines(text, HiddenList);
        AddLines(text, CloakedList);
        // The windows it names do not outlive the system, so neither need
        // the lines: no flush to the disk, which would hold up this thread.
        WriteFileSafely(
            recoveryPath,
            [&](FILE *file) { return std::fwrite(text.data(), 1, text.size(), file) == text.size(); },
            Lasting::WhileSystemRuns);
    } catch (...) {
    }
}

// A flood of reports can hide a window a thousand times a second; each
// change rewriting and flushing the whole file would cost more than the
// actions. Changes within WriteDelayMs go to disk in one write, and a timer
// waits while reports still queue, so the file trails the lists by a moment.
// Emptied lists remove the file at once: the orderly end relies on it.
constexpr UINT WriteDelayMs = 100;
UINT_PTR writeTimer;

void CALLBACK OnWriteTimer(HWND, UINT, UINT_PTR, DWORD)
{
    KillTimer(nullptr, writeTimer);
    writeTimer = 0;
    if (HiddenList.Count() + CloakedList.Count() > 0)
        WriteRecoveryFile();
}

void OnListsChanged() noexcept
{
    if (HiddenList.Count() == 0 && CloakedList.Count() == 0) {
        DeleteFileA(recoveryPath);
        return;
    }
    if (!writeTimer)
        writeTimer = SetTimer(nullptr, 0, WriteDelayMs, OnWriteTimer);
    if (!writeTimer)
        WriteRecoveryFile();
}

} // namespace

void RecoverHiddenWindows()
{
    DWORD length = GetFullPathNameA(recoveryFileName, sizeof recoveryPath, recoveryPath, nullptr);
    if (length == 0 || length >= sizeof recoveryPath)
        lstrcpynA(recoveryPath, recoveryFileName, sizeof recoveryPath);
    for (const RecoveryEntry &entry : ReadRecoveryFile(recoveryPath)) {
        HWND window = WindowOf(entry.window);
        if (StillHiddenAsRecorded(entry) && HiddenList.FindFirst(window) < 0)
            HiddenList.Append(window, entry.threadId);
    }
    WindowList::changed = OnListsChanged;
    OnListsChanged();
}
