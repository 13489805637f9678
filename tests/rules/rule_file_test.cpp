#include "rules/rule_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;

namespace {

// Records numbered by their action, the padding between fields filled with pad.
Bytes Records(int count, unsigned char pad = 0)
{
    Bytes all(count * RuleRecordSize);
    for (int i = 0; i < count; ++i) {
        Rule rule;
        rule.action = i + 1;
        EncodeRule(rule, &all[i * RuleRecordSize]);
        for (size_t at : {85, 86, 87, 174, 175, 181, 182, 183})
            all[i * RuleRecordSize + at] = pad;
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
    void Write(const Bytes &bytes) const
    {
        std::ofstream file(path, std::ios::binary);
        file.write(reinterpret_cast<const char *>(bytes.data()), bytes.size());
    }
    Bytes Read() const
    {
        std::ifstream file(path, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(file), {});
    }
    size_t FilesInDir() const { return std::distance(fs::directory_iterator(dir), {}); }

    const std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
    const fs::path dir = fs::temp_directory_path() / ("tarnwick-" + name);
    const std::string path = (dir / "brask2.rul").string();
    const RuleRecordWriter savedWriter = ruleRecordWriter;
};

// A trailing fragment is dropped at the next save, which writes the padding
// as zeros; a second load appends.
TEST_F(RuleFile, WholeRecordsAreAppendedAndSavedClean)
{
    for (auto [length, count] : {std::pair<size_t, size_t>{0, 0}, {187, 0}, {188, 1}, {476, 2}}) {
        Bytes bytes = Records(3, 0xEE);
        bytes.resize(length);
        Write(bytes);
        RuleSet rules;
        EXPECT_TRUE(LoadRules(path.c_str(), rules));
        ASSERT_EQ(rules.Count(), count) << length << " bytes";
        ASSERT_TRUE(SaveRules(path.c_str(), rules));
        EXPECT_EQ(Read(), Records(static_cast<int>(count)));
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
    EXPECT_EQ(FilesInDir(), 1u) << "the temporary file is removed";
    EXPECT_FALSE(SaveRules((dir / "no/such/brask2.rul").string().c_str(), rules));
#ifdef _WIN32
    // Another program holds the file open and refuses writing and deleting.
    ruleRecordWriter = savedWriter;
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(SaveRules(path.c_str(), rules));
    CloseHandle(held);
    EXPECT_EQ(Read(), Records(3));
    EXPECT_EQ(FilesInDir(), 1u);
#endif
}

} // namespace
