// The text of the recovery file brask2.hid: one line for each window that a
// run has hidden or cloaked, so that the next run can give back what a run
// ended from outside left hidden. Only text and numbers here: whether a line
// names a window that may be taken back is for its reader to check against
// the windows as they are.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Window handles are 32-bit values on every Windows, 64-bit ones included.
struct RecoveryEntry {
    uint32_t window = 0;
    uint32_t processId = 0;
    uint32_t threadId = 0;
    std::string className;
};

// Which run of the system wrote a file: process, thread and window ids are
// used again after a restart or by another log-on, so a file of another run
// names strangers' windows.
struct RecoveryMark {
    uint64_t bootSecond = 0;  // when the system started, in seconds
    uint32_t sessionId = 0;
    uint64_t logonId = 0;  // the log-on session, unique until the next start
};

// Whether two marks name one log-on of one start of the system. The boot
// time is worked out from the time since the start, which may come out a
// second apart from one reading to the next.
bool SameRun(const RecoveryMark &a, const RecoveryMark &b);

struct RecoveryRecord {
    bool marked = false;  // the first line is a mark
    RecoveryMark mark;
    std::vector<RecoveryEntry> entries;
};

// A foreign or damaged file costs no more than this to read, and a file is
// never written with more than is read back.
constexpr size_t MaxRecoveryBytes = 1 << 20;
constexpr size_t MaxRecoveryEntries = 4096;

// "# brask2.hid boot=1733582400 session=1 logon=0x3e7\n", the first line.
std::string FormatRecoveryMark(const RecoveryMark &mark);

// The class name as a line can hold it: a control character, which could
// end the line early and start a forged one, becomes '?'.
std::string RecoveryClassName(const std::string &className);

// "0x0001002a 1234 5678 Notepad\n": the handle in hex, the process and thread
// ids in decimal, and the class name (as RecoveryClassName gives it), which
// may hold blanks, to the line end.
std::string FormatRecoveryLine(const RecoveryEntry &entry);

// A whole file: the mark, then as many of entries, newest first, as a reader
// takes back, in their order; dropped is the count of the oldest left out.
std::string FormatRecoveryText(const RecoveryMark &mark, const std::vector<RecoveryEntry> &entries,
                               size_t &dropped);

// The mark, if the text starts with one, and the well-formed lines of text,
// in order, at most MaxRecoveryEntries; every other line is skipped, and so
// is anything after the last line end, which may be a line cut short.
// Exported for the tests: the program reads the file through
// ReadRecoveryFile.
RecoveryRecord ParseRecoveryText(const std::string &text);

// What the first MaxRecoveryBytes of the file hold; nothing when it cannot
// be read.
RecoveryRecord ReadRecoveryFile(const char *path);
