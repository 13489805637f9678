#include "rules/safe_file.h"

#include <cerrno>
#include <fcntl.h>
#include <string>

#ifdef _WIN32
#include <io.h>
#include <process.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

#ifndef O_BINARY
#define O_BINARY 0
#endif

namespace {

#ifdef _WIN32
int ProcessId() { return _getpid(); }
int OpenExclusive(const char *path)
{
    return _open(path, _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
}
bool ReplaceFile(const char *from, const char *to, bool writeThrough)
{
    DWORD flags = MOVEFILE_REPLACE_EXISTING | (writeThrough ? MOVEFILE_WRITE_THROUGH : 0);
    return MoveFileExA(from, to, flags) != 0;
}
bool FlushToDisk(FILE *file) { return _commit(_fileno(file)) == 0; }
#else
int ProcessId() { return static_cast<int>(getpid()); }
int OpenExclusive(const char *path) { return open(path, O_WRONLY | O_CREAT | O_EXCL | O_BINARY, 0644); }
bool ReplaceFile(const char *from, const char *to, bool) { return std::rename(from, to) == 0; }
bool FlushToDisk(FILE *file) { return fsync(fileno(file)) == 0; }
#endif

// Removing the temporary file after a failure succeeds or fails for reasons
// of its own; the caller wants to hear about the failure that came first.
class KeepError {
public:
    ~KeepError()
    {
        errno = errno_;
#ifdef _WIN32
        SetLastError(lastError_);
#endif
    }

private:
    int errno_ = errno;
#ifdef _WIN32
    DWORD lastError_ = GetLastError();
#endif
};

void RemoveKeepingError(const std::string &name)
{
    KeepError keep;
    std::remove(name.c_str());
}

// True when written holds and the close succeeds; after a failed write the
// close keeps that write's error.
bool CloseAfter(FILE *file, bool written)
{
    if (written)
        return std::fclose(file) == 0;
    KeepError keep;
    std::fclose(file);
    return false;
}

// A new file beside path, opened for writing; null when the directory
// takes no new file.
FILE *CreateTemporaryBeside(const char *path, std::string &name)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[40];
        std::snprintf(suffix, sizeof suffix, ".%d-%d.tmp", ProcessId(), attempt);
        name = std::string(path) + suffix;
        int fd = OpenExclusive(name.c_str());
        if (fd >= 0) {
            FILE *file = fdopen(fd, "wb");
            if (file)
                return file;
            close(fd);
            RemoveKeepingError(name);
            return nullptr;
        }
        if (errno != EEXIST)
            return nullptr;
    }
    return nullptr;
}

} // namespace

bool WriteFileSafely(const char *path, const std::function<bool(FILE *)> &write, Lasting lasting)
{
    std::string temporary;
    FILE *file = CreateTemporaryBeside(path, temporary);
    // Never the file itself in its place: a write cut short there would
    // leave it cut short. Where no temporary file can be made, the save fails
    // and the file stays as it was.
    if (!file)
        return false;
    const bool toDisk = lasting == Lasting::PastPowerLoss;
    bool written = write(file) && std::fflush(file) == 0 && (!toDisk || FlushToDisk(file));
    if (CloseAfter(file, written) && ReplaceFile(temporary.c_str(), path, toDisk))
        return true;
    RemoveKeepingError(temporary);
    return false;
}
