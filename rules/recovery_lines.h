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

// A foreign or damaged file costs no more than this to read.
constexpr size_t MaxRecoveryBytes = 1 << 20;
constexpr size_t MaxRecoveryEntries = 4096;

// "0x0001002a 1234 5678 Notepad\n": the handle in hex, the process and thread
// ids in decimal, and the class name, which may hold blanks, to the line end.
std::string FormatRecoveryLine(const RecoveryEntry &entry);

// The well-formed lines of text, in order, at most MaxRecoveryEntries; every
// other line is skipped, and so is anything after the last line end, which
// may be a line cut short. Exported for the tests: the program reads the file
// through ReadRecoveryFile.
std::vector<RecoveryEntry> ParseRecoveryText(const std::string &text);

// The entries of the first MaxRecoveryBytes of the file; none when it cannot
// be read.
std::vector<RecoveryEntry> ReadRecoveryFile(const char *path);
