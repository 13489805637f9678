#include "rules/rule_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace {

// Records numbered by their action, the padding between fields filled with pad.
std::string Records(int count, char pad = 0)
{
    std::string all(count * RuleRecordSize, '\0');
    for (int i = 0; i < count; ++i) {
        Rule rule;
        rule.action = i + 1;
        auto *record = reinterpret_cast<unsigned char *>(&all[i * RuleRecordSize]);
        EncodeRule(rule, record);
        for (size_t at : {85, 86, 87, 174, 175, 181, 182, 183})
            record[at] = pad;
    }
    return all;
}

// brask2.rul in a folder of the test's own.
class RuleFile : public testing::Test {
protected:
    void SetUp() override { fs::create_directories(dir); }
    void TearDown() override
    {
        ruleRecordWriter = savedWriter;
        fs::remove_all(dir);
    }
    void Write(const std::string &bytes) const { std::ofstream(path, std::ios::binary) << bytes; }
    std::string Read() const
    {
        std::ifstream file(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(file), {}};
    }
    size_t Files() const { return std::distance(fs::directory_iterator(dir), {}); }

    const fs::path dir = fs::temp_directory_path() /
        ("tarnwick-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
    const std::string path = (dir / "brask2.rul").string();
    const RuleRecordWriter savedWriter = ruleRecordWriter;
};

// A trailing fragment is dropped at the next save, which writes the padding
// as zeros; a second load appends.
TEST_F(RuleFile, WholeRecordsAreAppendedAndSavedClean)
{
    for (auto [length, count] : {std::pair<size_t, int>{0, 0}, {187, 0}, {188, 1}, {476, 2}}) {
        Write(Records(3, '\xEE').substr(0, length));
        RuleSet rules;
        EXPECT_TRUE(LoadRules(path.c_str(), rules));
        ASSERT_EQ(rules.Count(), size_t(count)) << length << " bytes";
        ASSERT_TRUE(SaveRules(path.c_str(), rules));
        EXPECT_EQ(Read(), Records(count));
    }
    RuleSet rules;
    LoadRules(path.c_str(), rules);
    LoadRules(path.c_str(), rules);
    ASSERT_EQ(rules.Count(), 4u);
    EXPECT_EQ(rules.At(2).action, 1);
    EXPECT_FALSE(LoadRules((dir / "absent.rul").string().c_str(), rules));
}

TEST_F(RuleFile, FailedSaveKeepsTheOldFileWhole)
{
    Write(Records(3));
    RuleSet rules;
    LoadRules(path.c_str(), rules);
    // The disk is full.
    ruleRecordWriter = [](const void *, size_t, FILE *) -> size_t { return 0; };
    EXPECT_FALSE(SaveRules(path.c_str(), rules));
    EXPECT_EQ(Read(), Records(3));
    EXPECT_EQ(Files(), 1u) << "the temporary file is removed";
    EXPECT_FALSE(SaveRules((dir / "no/such/brask2.rul").string().c_str(), rules));
#ifndef _WIN32
    // A name with no room beside it for a longer, temporary one is not written
    // in place either. (Wine lets such names through on the way in but not on
    // the way out, so the host's file system shows it.)
    const std::string longest = (dir / std::string(250, 'r')).string();
    std::ofstream(longest, std::ios::binary) << Records(2);
    ruleRecordWriter = savedWriter;
    EXPECT_FALSE(SaveRules(longest.c_str(), rules));
    std::ifstream kept(longest, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), Records(2));
#endif
#ifdef _WIN32
    // Another program holds the file open and refuses writing and deleting.
    ruleRecordWriter = savedWriter;
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(SaveRules(path.c_str(), rules));
    CloseHandle(held);
    EXPECT_EQ(Read(), Records(3));
    EXPECT_EQ(Files(), 1u);
#endif
}

} // namespace
