// Replacing a file whole or not at all, for every file the program keeps.
#pragma once

#include <cstdio>
#include <functional>

// How long the new contents must last: past a power loss, or only as long
// as the system runs (no flush to the disk, which costs milliseconds).
enum class Lasting { PastPowerLoss, WhileSystemRuns };

// Writes path through write, which returns false when a write failed. The new
// contents go to a temporary file beside path, reach the disk (unless only
// WhileSystemRuns), and then take path's place, so that a failed save leaves
// the file that was there untouched. Where no temporary file can be made
// beside path (a full folder, a path with no room for a longer name), the
// write fails and path is not touched. On failure errno, and on Windows the thread's last error,
// still tell why: the cleanup after it does not overwrite them.
bool WriteFileSafely(const char *path, const std::function<bool(FILE *)> &write,
                     Lasting lasting = Lasting::PastPowerLoss);
