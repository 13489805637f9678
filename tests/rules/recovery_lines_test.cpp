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
    EXPECT_EQ(Show(ParseRecoveryText(text).entries), good + "0x00000abc 1 2 C\n" + wide);

    std::string many;
    for (size_t i = 0; i <= MaxRecoveryEntries; ++i)
        many += good;
    EXPECT_EQ(ParseRecoveryText(many).entries.size(), MaxRecoveryEntries);
    auto path = (std::filesystem::temp_directory_path() / "tarnwick-recovery-test.hid").string();
    std::ofstream(path, std::ios::binary) << good;
    std::filesystem::resize_file(path, 100 << 20);  // 100 MB of zeros, then one more line
    std::ofstream(path, std::ios::binary | std::ios::app) << "\n" << good;
    EXPECT_EQ(Show(ReadRecoveryFile(path.c_str()).entries), good);
    std::filesystem::remove(path);
}

// The mark is the first line or none; a class name cannot end its line early
// and forge another; and a file is never written with more than the reader
// takes back: past the limits, the newest entries stay.
TEST(RecoveryLines, TheMarkComesFirstAndNoWriteOutgrowsTheReader)
{
    const RecoveryMark mark = {1733582400, 1, 0x3e7};
    const std::string line = "0x0000002a 1 2 C\n";
    RecoveryRecord read = ParseRecoveryText(FormatRecoveryMark(mark) + line + FormatRecoveryMark(mark));
    EXPECT_TRUE(read.marked && SameRun(read.mark, {mark.bootSecond + 2, 1, 0x3e7}));
    EXPECT_EQ(Show(read.entries), line);
    EXPECT_FALSE(SameRun(mark, {mark.bootSecond - 3, 1, 0x3e7}) || SameRun(mark, {mark.bootSecond, 2, 0x3e7}) ||
                 SameRun(mark, {mark.bootSecond, 1, 0x3e8}));
    EXPECT_FALSE(ParseRecoveryText(line + FormatRecoveryMark(mark)).marked);
    EXPECT_FALSE(ParseRecoveryText("# brask2.hid boot=1 session=1 logon=0x1 \n").marked);

    const RecoveryEntry forged = {7, 1, 2, "A\n0x00000009 1 2 Forged"};
    EXPECT_EQ(Show(ParseRecoveryText(FormatRecoveryLine(forged)).entries), "0x00000007 1 2 A?0x00000009 1 2 Forged\n");

    for (size_t length : {1, 256}) {
        std::vector<RecoveryEntry> entries(MaxRecoveryEntries + 10, {1, 1, 1, std::string(length, 'c')});
        entries.back().window = 2;
        size_t dropped = 0;
        std::string text = FormatRecoveryText(mark, entries, dropped);
        RecoveryRecord back = ParseRecoveryText(text);
        EXPECT_LE(text.size(), MaxRecoveryBytes);
        EXPECT_EQ(back.entries.size() + dropped, entries.size());
        EXPECT_TRUE(back.marked && back.entries.back().window == 2) << length;
    }
}
