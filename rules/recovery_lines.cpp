#include "rules/recovery_lines.h"

#include <cstdio>
#include <cstring>

namespace {

// A handle of 8 digits, two ids of 10 and the longest class name (256).
constexpr size_t MaxLineLength = 2 + 8 + 1 + 10 + 1 + 10 + 1 + 256;

int DigitValue(char c, int base)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (base == 16 && c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (base == 16 && c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The digits from at up to the next blank or the end, which at is left on;
// false for none, for anything but a digit, and for a value beyond limit.
bool ReadDigits(const std::string &line, size_t &at, int base, uint64_t limit, uint64_t &value)
{
    uint64_t result = 0;
    size_t start = at;
    for (; at < line.size() && line[at] != ' '; ++at) {
        int digit = DigitValue(line[at], base);
        if (digit < 0 || result > (limit - static_cast<uint64_t>(digit)) / static_cast<uint64_t>(base))
            return false;
        result = result * base + digit;
    }
    value = result;
    return at > start;
}

bool ReadNumber(const std::string &line, size_t &at, int base, uint32_t &value)
{
    uint64_t read = 0;
    if (!ReadDigits(line, at, base, UINT32_MAX, read))
        return false;
    value = static_cast<uint32_t>(read);
    return true;
}

// name, then its value in base up to limit.
bool ReadField(const std::string &line, size_t &at, const char *name, int base, uint64_t limit,
               uint64_t &value)
{
    const size_t length = std::strlen(name);
    if (line.compare(at, length, name) != 0)
        return false;
    at += length;
    return ReadDigits(line, at, base, limit, value);
}

bool ReadBlank(const std::string &line, size_t &at) { return at < line.size() && line[at++] == ' '; }

bool ParseLine(const std::string &line, RecoveryEntry &entry)
{
    size_t at = 2;
    if (line.size() > MaxLineLength || line.compare(0, 2, "0x") != 0 ||
        !ReadNumber(line, at, 16, entry.window) || !ReadBlank(line, at) ||
        !ReadNumber(line, at, 10, entry.processId) || !ReadBlank(line, at) ||
        !ReadNumber(line, at, 10, entry.threadId) || !ReadBlank(line, at))
        return false;
    entry.className = line.substr(at);
    for (unsigned char c : entry.className) {
        if (c < ' ')
            return false;
    }
    return !entry.className.empty();
}

// Read by hand: a scanf would bring its whole engine, floating point
// included, into the program for three numbers.
bool ParseMark(const std::string &line, RecoveryMark &mark)
{
    size_t at = 0;
    uint64_t boot = 0, session = 0, logon = 0;
    if (!ReadField(line, at, "# brask2.hid boot=", 10, UINT64_MAX, boot) || !ReadBlank(line, at) ||
        !ReadField(line, at, "session=", 10, UINT32_MAX, session) || !ReadBlank(line, at) ||
        !ReadField(line, at, "logon=0x", 16, UINT64_MAX, logon) || at != line.size())
        return false;
    mark = {boot, static_cast<uint32_t>(session), logon};
    return true;
}

} // namespace

bool SameRun(const RecoveryMark &a, const RecoveryMark &b)
{
    uint64_t apart = a.bootSecond > b.bootSecond ? a.bootSecond - b.bootSecond : b.bootSecond - a.bootSecond;
    return apart <= 2 && a.sessionId == b.sessionId && a.logonId == b.logonId;
}

std::string FormatRecoveryMark(const RecoveryMark &mark)
{
    char line[96];
    std::snprintf(line, sizeof line, "# brask2.hid boot=%llu session=%lu logon=0x%llx\n",
                  static_cast<unsigned long long>(mark.bootSecond), static_cast<unsigned long>(mark.sessionId),
                  static_cast<unsigned long long>(mark.logonId));
    return line;
}

std::string RecoveryClassName(const std::string &className)
{
    std::string clean = className;
    for (char &c : clean) {
        if (static_cast<unsigned char>(c) < ' ')
            c = '?';
    }
    return clean;
}

std::string FormatRecoveryLine(const RecoveryEntry &entry)
{
    char numbers[40];
    std::snprintf(numbers, sizeof numbers, "0x%08lx %lu %lu ", static_cast<unsigned long>(entry.window),
                  static_cast<unsigned long>(entry.processId), static_cast<unsigned long>(entry.threadId));
    return numbers + RecoveryClassName(entry.className) + "\n";
}

std::string FormatRecoveryText(const RecoveryMark &mark, const std::vector<RecoveryEntry> &entries,
                               size_t &dropped)
{
    const std::string head = FormatRecoveryMark(mark);
    std::vector<std::string> lines;
    size_t bytes = head.size();
    for (size_t left = entries.size(); left > 0 && lines.size() < MaxRecoveryEntries; --left) {
        std::string line = FormatRecoveryLine(entries[left - 1]);
        if (bytes + line.size() > MaxRecoveryBytes)
            break;
        bytes += line.size();
        lines.push_back(std::move(line));
    }
    dropped = entries.size() - lines.size();
    std::string text;
    text.reserve(bytes);
    text += head;
    for (size_t i = lines.size(); i > 0; --i)
        text += lines[i - 1];
    return text;
}

RecoveryRecord ParseRecoveryText(const std::string &text)
{
    RecoveryRecord record;
    size_t start = 0;
    for (size_t end; record.entries.size() < MaxRecoveryEntries && (end = text.find('\n', start)) != std::string::npos;
         start = end + 1) {
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        RecoveryEntry entry;
        if (start == 0 && ParseMark(line, record.mark))
            record.marked = true;
        else if (ParseLine(line, entry))
            record.entries.push_back(entry);
    }
    return record;
}

RecoveryRecord ReadRecoveryFile(const char *path)
{
    FILE *file = std::fopen(path, "rb");
    if (!file)
        return {};
    std::string text(MaxRecoveryBytes, '\0');
    text.resize(std::fread(&text[0], 1, text.size(), file));
    std::fclose(file);
    return ParseRecoveryText(text);
}
