#include "rules/rule_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
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

static size_t WriteBlock(const void *data, size_t size, FILE *file)
{
    return std::fwrite(data, 1, size, file);
}

RuleRecordWriter ruleRecordWriter = WriteBlock;

bool LoadRules(const char *path, RuleSet &rules)
{
    FILE *file = std::fopen(path, "rb");
    if (!file)
        return false;
    unsigned char record[RuleRecordSize];
    while (std::fread(record, 1, sizeof record, file) == sizeof record) {
        if (!rules.Append(DecodeRule(record)))
            break;
    }
    std::fclose(file);
    return true;
}

static bool WriteAll(FILE *file, const RuleSet &rules)
{
    unsigned char record[RuleRecordSize];
    for (size_t i = 0; i < rules.Count(); ++i) {
        EncodeRule(rules.At(i), record);
        if (ruleRecordWriter(record, sizeof record, file) != sizeof record)
            return false;
    }
    return true;
}

#ifdef _WIN32
static int ProcessId() { return _getpid(); }
static int OpenExclusive(const char *path)
{
    return _open(path, _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
}
static bool ReplaceFile(const char *from, const char *to)
{
    return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}
static bool FlushToDisk(FILE *file) { return _commit(_fileno(file)) == 0; }
#else
static int ProcessId() { return static_cast<int>(getpid()); }
static int OpenExclusive(const char *path)
{
    return open(path, O_WRONLY | O_CREAT | O_EXCL | O_BINARY, 0644);
}
static bool ReplaceFile(const char *from, const char *to) { return std::rename(from, to) == 0; }
static bool FlushToDisk(FILE *file) { return fsync(fileno(file)) == 0; }
#endif

// A new file beside path, opened for writing; null when the directory
// takes no new file.
static FILE *CreateTemporaryBeside(const char *path, std::string &name)
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
            std::remove(name.c_str());
            return nullptr;
        }
        if (errno != EEXIST)
            return nullptr;
    }
    return nullptr;
}

// The plain way, cutting the file first: used only where no temporary file
// can be made beside it.
static bool SaveInPlace(const char *path, const RuleSet &rules)
{
    FILE *file = std::fopen(path, "wb");
    if (!file)
        return false;
    bool written = WriteAll(file, rules);
    return std::fclose(file) == 0 && written;
}

bool SaveRules(const char *path, const RuleSet &rules)
{
    std::string temporary;
    FILE *file = CreateTemporaryBeside(path, temporary);
    if (!file)
        return SaveInPlace(path, rules);
    bool written = WriteAll(file, rules) && std::fflush(file) == 0 && FlushToDisk(file);
    if (std::fclose(file) != 0)
        written = false;
    if (written && ReplaceFile(temporary.c_str(), path))
        return true;
    std::remove(temporary.c_str());
    return false;
}
