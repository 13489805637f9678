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

class RuleFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() /
               ("tarnwick-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override
    {
        ruleRecordWriter = savedWriter_;
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }

    std::string Path(const char *name) const { return (dir_ / name).string(); }
    size_t FilesInDir() const { return std::distance(fs::directory_iterator(dir_), {}); }

    static void Write(const std::string &path, const Bytes &bytes)
    {
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char *>(bytes.data()), bytes.size());
    }
    static Bytes Read(const std::string &path)
    {
        std::ifstream in(path, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }
    // Records numbered by their action, padding filled with pad.
    static Bytes Records(int count, unsigned char pad = 0)
    {
        Bytes all;
        for (int i = 1; i <= count; ++i) {
            Rule rule;
            rule.action = i;
            Bytes record(RuleRecordSize);
            EncodeRule(rule, record.data());
            for (size_t at : {85, 86, 87, 174, 175, 181, 182, 183})
                record[at] = pad;
            all.insert(all.end(), record.begin(), record.end());
        }
        return all;
    }

    fs::path dir_;
    RuleRecordWriter savedWriter_ = ruleRecordWriter;
};

TEST_F(RuleFile, WholeRecordsAreAppendedAndAFragmentIsDroppedAtTheNextSave)
{
    std::string path = Path("brask2.rul");
    for (auto [length, count] : {std::pair<size_t, size_t>{0, 0}, {187, 0}, {188, 1}, {476, 2}}) {
        Bytes bytes = Records(3);
        bytes.resize(length);
        Write(path, bytes);
        RuleSet rules;
        EXPECT_TRUE(LoadRules(path.c_str(), rules));
        ASSERT_EQ(rules.Count(), count) << length << " bytes";
        ASSERT_TRUE(SaveRules(path.c_str(), rules));
        EXPECT_EQ(Read(path), Records(static_cast<int>(count)));  // 476 bytes: 376 written back
    }
    RuleSet rules;
    EXPECT_FALSE(LoadRules(Path("absent.rul").c_str(), rules));
}

TEST_F(RuleFile, ImportingTwiceDoublesAndSavingZeroesThePadding)
{
    std::string in = Path("in.rul"), out = Path("out.rul");
    Bytes dirty = Records(2, 0xEE);
    dirty[4] = 2;  // a matchTitle byte of 2 is an enabled title test
    Write(in, dirty);
    RuleSet rules;
    LoadRules(in.c_str(), rules);
    LoadRules(in.c_str(), rules);
    ASSERT_EQ(rules.Count(), 4u);
    EXPECT_TRUE(rules.At(0).matchTitle);
    EXPECT_EQ(rules.At(2).action, 1);
    ASSERT_TRUE(SaveRules(out.c_str(), rules));
    Bytes clean = Records(2);
    clean[4] = 1;
    clean.insert(clean.end(), clean.begin(), clean.end());
    EXPECT_EQ(Read(out), clean);
}

TEST_F(RuleFile, FailedSaveKeepsTheOldFileWhole)
{
    std::string path = Path("brask2.rul");
    Write(path, Records(3));
    RuleSet rules;
    LoadRules(path.c_str(), rules);
    LoadRules(path.c_str(), rules);
    // The disk fills up at the fourth record.
    static int writes;
    writes = 0;
    ruleRecordWriter = [](const void *data, size_t size, FILE *file) -> size_t {
        return ++writes == 4 ? 0 : std::fwrite(data, 1, size, file);
    };
    EXPECT_FALSE(SaveRules(path.c_str(), rules));
    EXPECT_EQ(Read(path), Records(3));
    EXPECT_EQ(FilesInDir(), 1u) << "the temporary file is removed";
    EXPECT_FALSE(SaveRules(Path("no/such/folder/brask2.rul").c_str(), rules));
#ifdef _WIN32
    // Another program holds the file open and refuses writing and deleting.
    ruleRecordWriter = savedWriter_;
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(SaveRules(path.c_str(), rules));
    CloseHandle(held);
    EXPECT_EQ(Read(path), Records(3));
    EXPECT_EQ(FilesInDir(), 1u);
#endif
}

} // namespace
