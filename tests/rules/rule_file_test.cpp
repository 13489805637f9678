#include "rules/rule_file.h"

#include <gtest/gtest.h>

#include <cstring>
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
        const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::temp_directory_path() / (std::string("tarnwick-rules-") + info->name());
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

    static void Write(const std::string &path, const Bytes &bytes)
    {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char *>(bytes.data()), bytes.size());
    }
    static Bytes Read(const std::string &path)
    {
        std::ifstream in(path, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }
    size_t FilesInDir() const
    {
        return std::distance(fs::directory_iterator(dir_), fs::directory_iterator());
    }

    static Bytes Record(int32_t action, unsigned char fill = 0)
    {
        Rule rule;
        rule.action = action;
        rule.matchTitle = true;
        std::snprintf(rule.title, sizeof rule.title, "rule %d", action);
        Bytes bytes(RuleRecordSize);
        EncodeRule(rule, bytes.data());
        for (size_t i : {85u, 86u, 87u, 174u, 175u, 181u, 182u, 183u})
            bytes[i] = fill;
        return bytes;
    }
    static Bytes Concat(std::initializer_list<Bytes> parts)
    {
        Bytes all;
        for (const Bytes &part : parts)
            all.insert(all.end(), part.begin(), part.end());
        return all;
    }

    fs::path dir_;
    RuleRecordWriter savedWriter_ = ruleRecordWriter;
};

TEST_F(RuleFile, WholeRecordsAreReadAndFragmentsIgnored)
{
    struct {
        size_t length;
        size_t rules;
    } cases[] = {{0, 0}, {187, 0}, {188, 1}, {476, 2}, {564, 3}};
    Bytes three = Concat({Record(1), Record(2), Record(3)});
    for (auto c : cases) {
        std::string path = Path("in.rul");
        Write(path, Bytes(three.begin(), three.begin() + c.length));
        RuleSet rules;
        EXPECT_TRUE(LoadRules(path.c_str(), rules)) << c.length << " bytes";
        ASSERT_EQ(rules.Count(), c.rules) << c.length << " bytes";
        for (size_t i = 0; i < c.rules; ++i)
            EXPECT_EQ(rules.At(i).action, int32_t(i + 1));
    }
}

TEST_F(RuleFile, FragmentIsDroppedByTheNextSave)
{
    std::string path = Path("brask2.rul");
    Bytes two = Concat({Record(1), Record(2)});
    Bytes withFragment = two;
    withFragment.resize(476, 0x33);
    Write(path, withFragment);
    RuleSet rules;
    ASSERT_TRUE(LoadRules(path.c_str(), rules));
    ASSERT_TRUE(SaveRules(path.c_str(), rules));
    EXPECT_EQ(Read(path), two);
}

TEST_F(RuleFile, MissingFileIsFalseAndLeavesTheListAlone)
{
    RuleSet rules;
    Bytes one = Record(4);
    rules.Append(DecodeRule(one.data()));
    EXPECT_FALSE(LoadRules(Path("absent.rul").c_str(), rules));
    EXPECT_EQ(rules.Count(), 1u);
}

TEST_F(RuleFile, LoadingAppendsSoImportingTwiceDoubles)
{
    std::string path = Path("brask2.rul");
    Write(path, Concat({Record(1), Record(2)}));
    RuleSet rules;
    LoadRules(path.c_str(), rules);
    LoadRules(path.c_str(), rules);
    ASSERT_EQ(rules.Count(), 4u);
    int32_t expected[] = {1, 2, 1, 2};
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(rules.At(i).action, expected[i]);
}

TEST_F(RuleFile, RoundTripKeepsFieldsAndZeroesPadding)
{
    std::string in = Path("in.rul"), out = Path("out.rul");
    Bytes dirty = Concat({Record(1, 0xEE), Record(7, 0x01)});
    dirty[4] = 2;  // matchTitle byte of 2: an enabled title test
    Write(in, dirty);
    RuleSet rules;
    ASSERT_TRUE(LoadRules(in.c_str(), rules));
    EXPECT_TRUE(rules.At(0).matchTitle);
    ASSERT_TRUE(SaveRules(out.c_str(), rules));

    Bytes clean = Concat({Record(1), Record(7)});
    EXPECT_EQ(Read(out), clean);
}

TEST_F(RuleFile, SavingNothingWritesAnEmptyFile)
{
    std::string path = Path("brask2.rul");
    Write(path, Record(1));
    RuleSet rules;
    EXPECT_TRUE(SaveRules(path.c_str(), rules));
    EXPECT_TRUE(fs::exists(path));
    EXPECT_EQ(fs::file_size(path), 0u);
    EXPECT_EQ(FilesInDir(), 1u);
}

TEST_F(RuleFile, FailedWriteKeepsTheOldFileWhole)
{
    std::string path = Path("brask2.rul");
    Bytes old = Concat({Record(1), Record(2), Record(3)});
    Write(path, old);
    RuleSet rules;
    for (int i = 0; i < 5; ++i) {
        Bytes bytes = Record(i);
        rules.Append(DecodeRule(bytes.data()));
    }
    // The disk fills up at the third record.
    static int writes;
    writes = 0;
    ruleRecordWriter = [](const void *data, size_t size, FILE *file) -> size_t {
        return ++writes == 3 ? 0 : std::fwrite(data, 1, size, file);
    };
    EXPECT_FALSE(SaveRules(path.c_str(), rules));
    EXPECT_EQ(Read(path), old);
    EXPECT_EQ(FilesInDir(), 1u) << "the temporary file is removed";
}

TEST_F(RuleFile, SaveIntoMissingFolderFails)
{
    RuleSet rules;
    EXPECT_FALSE(SaveRules(Path("no/such/folder/brask2.rul").c_str(), rules));
}

#ifdef _WIN32
TEST_F(RuleFile, FileThatCannotBeReplacedStaysAsItWas)
{
    std::string path = Path("brask2.rul");
    Bytes old = Record(3);
    Write(path, old);
    // Another program holds the file open and refuses writing and deleting.
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    RuleSet rules;
    EXPECT_FALSE(SaveRules(path.c_str(), rules));
    CloseHandle(held);
    EXPECT_EQ(Read(path), old);
    EXPECT_EQ(FilesInDir(), 1u);
}
#endif

} // namespace
