#include "rules/recovery_lines.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

static std::string Show(const std::vector<RecoveryEntry> &entries)
{
    std::string shown;
    for (const RecoveryEntry &entry : entries)
        shown += FormatRecoveryLine(entry);
    return shown;
}

// Each damaged line is skipped on its own and the lines around it are read; a file of any size
// costs at most MaxRecoveryBytes and MaxRecoveryEntries.
TEST(RecoveryLines, OnlyWellFormedWholeLinesAreReadAndOnlySoMany)
{
    const std::string good = "0x0001002a 1234 5678 Notepad\n";
    const std::string wide = "0xffffffff 4294967295 1 A  Class \n";
    std::string text = good;
    for (const char *line :
         {"0x 1 2 C", "1002a 1 2 C", "0X1002a 1 2 C", "0x1g 1 2 C", "0x1 -1 2 C", "0x1 +1 2 C",
          "0x1 1 2", "0x1 1 2 ", "0x1  1 2 C", "0x1 4294967296 2 C", "0x100000000 1 2 C",
          "0x1 1 2 A\tB", " 0x1 1 2 C", "\x7f\x45LF\xff\xfe"})
        text += std::string(line) + "\n";
    text += std::string("0x1 1 2 A\0B\n", 12) + "0x1 1 2 " + std::string(300, 'c') + "\n";
    text += "0xAbC 1 2 C\r\n" + wide + good.substr(0, good.size() - 1);
    EXPECT_EQ(Show(ParseRecoveryText(text)), good + "0x00000abc 1 2 C\n" + wide);

    std::string many;
    for (size_t i = 0; i <= MaxRecoveryEntries; ++i)
        many += good;
    EXPECT_EQ(ParseRecoveryText(many).size(), MaxRecoveryEntries);
    auto path = (std::filesystem::temp_directory_path() / "tarnwick-recovery-test.hid").string();
    std::ofstream(path, std::ios::binary) << good;
    std::filesystem::resize_file(path, 100 << 20);  // 100 MB of zeros, then one more line
    std::ofstream(path, std::ios::binary | std::ios::app) << "\n" << good;
    EXPECT_EQ(Show(ReadRecoveryFile(path.c_str())), good);
    std::filesystem::remove(path);
}
