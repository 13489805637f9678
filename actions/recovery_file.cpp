#include "actions/recovery_file.h"

#include "actions/window_actions.h"
#include "common/app_state.h"
#include "common/error_text.h"
#include "rules/recovery_lines.h"
#include "rules/safe_file.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace {

constexpr char recoveryFileName[] = "brask2.hid";

// Resolved once at start: the open-file dialog of Import moves the working
// directory while it is open, and the lists may change meanwhile.
char recoveryPath[MAX_PATH] = "brask2.hid";

RecoveryMark thisRun;

// The file is kept open for appending, shared with everyone, deleting and
// replacing it included, so that the compact rewrite can take its place.
HANDLE journal = INVALID_HANDLE_VALUE;

// What is on disk since the file was last written whole: one line for each
// window and thread, each line's process and class as written, for the next
// rewrite, which asks the window server nothing but whether it still lives.
struct Written {
    uint32_t processId;
    std::string className;
};
std::unordered_map<uint64_t, Written> onDisk;
size_t bytesOnDisk;
size_t linesAtRewrite;  // entries written by the last rewrite

bool warnedWrite, warnedRemoval, warnedLimit;

uint64_t Key(HWND window, DWORD threadId) { return WindowList::Key(window, threadId); }

HWND WindowOf(uint32_t value) { return reinterpret_cast<HWND>(static_cast<uintptr_t>(value)); }

uint32_t ValueOf(HWND window) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(window)); }

RecoveryMark CurrentRun()
{
    RecoveryMark mark;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    uint64_t since1601 = (static_cast<uint64_t>(now.dwHighDateTime) << 32 | now.dwLowDateTime) / 10000000;
    mark.bootSecond = since1601 - GetTickCount64() / 1000;
    DWORD session = 0;
    if (ProcessIdToSessionId(GetCurrentProcessId(), &session))
        mark.sessionId = session;
    HANDLE token = nullptr;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
        TOKEN_STATISTICS statistics = {};
        DWORD size = 0;
        if (GetTokenInformation(token, TokenStatistics, &statistics, sizeof statistics, &size))
            mark.logonId = static_cast<uint64_t>(statistics.AuthenticationId.HighPart) << 32 |
                           statistics.AuthenticationId.LowPart;
        CloseHandle(token);
    }
    return mark;
}

// A warning box must not hold up the hide or cloak that is under way, nor a
// report being handled: it comes up from the message loop a moment later,
// owned by the main dialog or the dialog open over it.
std::string pendingWarning;
UINT_PTR warningTimer;

void CALLBACK OnWarningTimer(HWND, UINT, UINT_PTR, DWORD)
{
    KillTimer(nullptr, warningTimer);
    warningTimer = 0;
    std::string text;
    text.swap(pendingWarning);
    HWND owner = MainDialog ? GetLastActivePopup(MainDialog) : nullptr;
    MessageBoxA(owner, text.c_str(), appCaption, MB_OK | MB_ICONWARNING);
}

void Warn(bool &warned, const std::string &text)
{
    if (warned)
        return;
    warned = true;
    if (!pendingWarning.empty())
        pendingWarning += "\n\n";
    pendingWarning += text;
    if (!warningTimer)
        warningTimer = SetTimer(nullptr, 0, 0, OnWarningTimer);
}

void WarnWriteFailed(DWORD error)
{
    Warn(warnedWrite, std::string("The list of hidden windows could not be saved to ") + recoveryFileName +
                          ".\n\n" + SystemErrorReason(error) +
                          "\n\nShould Tarnwick II end unexpectedly, it could not give those windows back "
                          "at its next start.");
}

std::string RemovalFailedText(DWORD error)
{
    return std::string("The list of hidden windows, ") + recoveryFileName + ", could not be removed.\n\n" +
           SystemErrorReason(error);
}

void CloseJournal()
{
    if (journal != INVALID_HANDLE_VALUE)
        CloseHandle(journal);
    journal = INVALID_HANDLE_VALUE;
}

// Appends text whole; a file opened anew (the first change after the lists
// were empty) begins with the mark of this run.
bool Append(const std::string &text)
{
    std::string data = text;
    if (journal == INVALID_HANDLE_VALUE) {
        journal = CreateFileA(recoveryPath, FILE_APPEND_DATA | FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
        if (journal == INVALID_HANDLE_VALUE)
            return false;
        LARGE_INTEGER size = {};
        if (GetFileSizeEx(journal, &size) && size.QuadPart == 0) {
            data = FormatRecoveryMark(thisRun) + text;
            onDisk.clear();
            bytesOnDisk = linesAtRewrite = 0;
        }
    }
    DWORD written = 0;
    if (!WriteFile(journal, data.data(), static_cast<DWORD>(data.size()), &written, nullptr) ||
        written != data.size()) {
        DWORD error = GetLastError();
        CloseJournal();
        SetLastError(error);
        return false;
    }
    bytesOnDisk += data.size();
    return true;
}

struct ThreadWindows {
    DWORD threadId;
    std::unordered_set<uint64_t> *living;
};

BOOL CALLBACK AddLiving(HWND window, LPARAM lParam)
{
    auto *windows = reinterpret_cast<ThreadWindows *>(lParam);
    windows->living->insert(Key(window, windows->threadId));
    return TRUE;
}

// The live entries of both lists, each window and thread once, oldest first;
// linear in the lists. Whether a hidden window still lives, as the window of
// the same thread, is asked once for each thread: a call to the window server
// for each window would cost a day's worth of gone windows a call each. The
// cloaked, children of MainWindow, are few and asked for one by one.
std::vector<RecoveryEntry> LiveEntries(std::vector<uint64_t> &keys)
{
    std::unordered_set<uint64_t> living;
    std::unordered_set<DWORD> threads;
    for (size_t i = 0; i < HiddenList.Count(); ++i) {
        DWORD thread = HiddenList.ThreadAt(i);
        if (onDisk.count(Key(HiddenList.At(i), thread)) && threads.insert(thread).second) {
            ThreadWindows windows = {thread, &living};
            EnumThreadWindows(thread, AddLiving, reinterpret_cast<LPARAM>(&windows));
        }
    }
    for (size_t i = 0; i < CloakedList.Count(); ++i) {
        HWND window = CloakedList.At(i);
        DWORD thread = CloakedList.ThreadAt(i);
        if (GetWindowThreadProcessId(window, nullptr) == thread)
            living.insert(Key(window, thread));
    }
    std::vector<RecoveryEntry> entries;
    std::unordered_set<uint64_t> seen;
    for (const WindowList *list : {&HiddenList, &CloakedList}) {
        for (size_t i = 0; i < list->Count(); ++i) {
            uint64_t key = Key(list->At(i), list->ThreadAt(i));
            auto written = onDisk.find(key);
            if (!seen.insert(key).second || written == onDisk.end() || !living.count(key))
                continue;
            entries.push_back({ValueOf(list->At(i)), written->second.processId, list->ThreadAt(i),
                               written->second.className});
            keys.push_back(key);
        }
    }
    return entries;
}

// The whole file anew, through the safe replace: whole or not at all.
void Rewrite()
{
    std::vector<uint64_t> keys;
    std::vector<RecoveryEntry> entries = LiveEntries(keys);
    size_t dropped = 0;
    const std::string text = FormatRecoveryText(thisRun, entries, dropped);
    CloseJournal();
    bool saved = WriteFileSafely(
        recoveryPath,
        [&](FILE *file) { return std::fwrite(text.data(), 1, text.size(), file) == text.size(); },
        Lasting::WhileSystemRuns);
    if (!saved)
        WarnWriteFailed(GetLastError());
    std::unordered_map<uint64_t, Written> kept;
    for (size_t i = dropped; i < keys.size(); ++i)
        kept.emplace(keys[i], std::move(onDisk[keys[i]]));
    onDisk.swap(kept);
    bytesOnDisk = text.size();
    linesAtRewrite = entries.size() - dropped;
    if (dropped > 0)
        Warn(warnedLimit, "More windows are hidden than " + std::string(recoveryFileName) +
                              " can hold: should Tarnwick II end unexpectedly, the windows hidden first "
                              "would not come back at its next start.");
}

// The rewrite waits for a calm moment: a flood of reports may hide windows
// a thousand times a second.
constexpr UINT RewriteDelayMs = 100;
UINT_PTR rewriteTimer;

void CALLBACK OnRewriteTimer(HWND, UINT, UINT_PTR, DWORD)
{
    KillTimer(nullptr, rewriteTimer);
    rewriteTimer = 0;
    if (HiddenList.Count() + CloakedList.Count() > 0)
        Rewrite();
}

void RewriteSoon()
{
    if (!rewriteTimer)
        rewriteTimer = SetTimer(nullptr, 0, RewriteDelayMs, OnRewriteTimer);
    if (!rewriteTimer)
        Rewrite();
}

// Before the call that hides or cloaks the window: one line, unless the
// window is on disk already. Past what a reader takes back, the file is
// written anew with the newest windows.
void OnAppended(HWND window, DWORD threadId) noexcept
{
    try {
        uint64_t key = Key(window, threadId);
        if (onDisk.count(key))
            return;
        DWORD processId = 0;
        char className[257];
        if (GetWindowThreadProcessId(window, &processId) != threadId ||
            GetClassNameA(window, className, sizeof className) <= 0)
            return;
        Written &written = onDisk[key];
        written = {processId, RecoveryClassName(className)};
        const std::string line = FormatRecoveryLine({ValueOf(window), processId, threadId, written.className});
        if (onDisk.size() > MaxRecoveryEntries || bytesOnDisk + line.size() > MaxRecoveryBytes) {
            Rewrite();
            return;
        }
        if (!Append(line))
            WarnWriteFailed(GetLastError());
        // Dead windows' lines pile up over a long run.
        if (onDisk.size() > 2 * linesAtRewrite + 64)
            RewriteSoon();
    } catch (...) {
    }
}

// Emptied lists remove the file at once: nothing is left to take back.
void OnRemoved() noexcept
{
    if (HiddenList.Count() + CloakedList.Count() > 0) {
        RewriteSoon();
        return;
    }
    CloseJournal();
    onDisk.clear();
    bytesOnDisk = linesAtRewrite = 0;
    if (!DeleteFileA(recoveryPath) && GetLastError() != ERROR_FILE_NOT_FOUND) {
        try {
            Warn(warnedRemoval, RemovalFailedText(GetLastError()));
        } catch (...) {
        }
    }
}

// Another program's window as a killed run of this log-on left it, or not at
// all: a handle reused by a stranger, a window shown since or no longer
// top-level, or one of our own is refused.
bool StillHiddenAsRecorded(const RecoveryEntry &entry)
{
    HWND window = WindowOf(entry.window);
    DWORD processId = 0;
    if (!IsWindow(window) || GetWindowThreadProcessId(window, &processId) != entry.threadId ||
        processId != entry.processId || processId == GetCurrentProcessId() || IsWindowVisible(window) ||
        GetAncestor(window, GA_PARENT) != GetDesktopWindow())
        return false;
    char className[257];
    return GetClassNameA(window, className, sizeof className) > 0 &&
           entry.className == RecoveryClassName(className);
}

} // namespace

void RecoverHiddenWindows()
{
    DWORD length = GetFullPathNameA(recoveryFileName, sizeof recoveryPath, recoveryPath, nullptr);
    if (length == 0 || length >= sizeof recoveryPath)
        lstrcpynA(recoveryPath, recoveryFileName, sizeof recoveryPath);
    thisRun = CurrentRun();
    RecoveryRecord record = ReadRecoveryFile(recoveryPath);
    if (record.marked && SameRun(record.mark, thisRun)) {
        for (const RecoveryEntry &entry : record.entries) {
            HWND window = WindowOf(entry.window);
            if (StillHiddenAsRecorded(entry) && !HiddenList.Holds(window, entry.threadId)) {
                HiddenList.Append(window, entry.threadId);
                onDisk[Key(window, entry.threadId)] = {entry.processId, entry.className};
            }
        }
    }
    WindowList::appended = OnAppended;
    WindowList::removed = OnRemoved;
    if (HiddenList.Count() + CloakedList.Count() > 0)
        Rewrite();
    else
        DeleteFileA(recoveryPath);  // of no use, whatever it held; nothing to say if it stays
}

void RewriteRecoveryFile()
{
    Rewrite();
}

void EndRecoveryFile()
{
    WindowList::appended = nullptr;
    WindowList::removed = nullptr;
    for (UINT_PTR *timer : {&rewriteTimer, &warningTimer}) {
        if (*timer)
            KillTimer(nullptr, *timer);
        *timer = 0;
    }
    CloseJournal();
    // The loop has ended: what is still to be said is said now.
    if (!DeleteFileA(recoveryPath) && GetLastError() != ERROR_FILE_NOT_FOUND)
        Warn(warnedRemoval, RemovalFailedText(GetLastError()));
    if (warningTimer)
        KillTimer(nullptr, warningTimer);
    warningTimer = 0;
    if (!pendingWarning.empty())
        MessageBoxA(nullptr, pendingWarning.c_str(), appCaption, MB_OK | MB_ICONWARNING);
    pendingWarning.clear();
}
