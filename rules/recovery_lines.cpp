#include "rules/recovery_lines.h"

#include <cstdio>

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

// The digits from at up to the next blank, which at is left on; false for
// none, for anything but a digit, and for a value beyond 32 bits.
bool ReadNumber(const std::string &line, size_t &at, int base, uint32_t &value)
{
    uint64_t result = 0;
    size_t start = at;
    for (; at < line.size() && line[at] != ' '; ++at) {
        int digit = DigitValue(line[at], base);
        if (digit < 0 || (result = result * base + digit) > UINT32_MAX)
            return false;
    }
    value = static_cast<uint32_t>(result);
    return at > start;
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

} // namespace

std::string FormatRecoveryLine(const RecoveryEntry &entry)
{
    char numbers[40];
    std::snprintf(numbers, sizeof numbers, "0x%08lx %lu %lu ", static_cast<unsigned long>(entry.window),
                  static_cast<unsigned long>(entry.processId), static_cast<unsigned long>(entry.threadId));
    return numbers + entry.className + "\n";
}

std::vector<RecoveryEntry> ParseRecoveryText(const std::string &text)
{
    std::vector<RecoveryEntry> entries;
    size_t start = 0;
    for (size_t end; entries.size() < MaxRecoveryEntries && (end = text.find('\n', start)) != std::string::npos;
         start = end + 1) {
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        RecoveryEntry entry;
        if (ParseLine(line, entry))
            entries.push_back(entry);
    }
    return entries;
}

std::vector<RecoveryEntry> ReadRecoveryFile(const char *path)
{
    FILE *file = std::fopen(path, "rb");
    if (!file)
        return {};
    std::string text(MaxRecoveryBytes, '\0');
    text.resize(std::fread(&text[0], 1, text.size(), file));
    std::fclose(file);
    return ParseRecoveryText(text);
}
