#include "rules/rule.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

int32_t Int32At(const unsigned char *record, size_t offset)
{
    return static_cast<int32_t>(uint32_t(record[offset]) | uint32_t(record[offset + 1]) << 8 |
                                uint32_t(record[offset + 2]) << 16 | uint32_t(record[offset + 3]) << 24);
}

TEST(RuleRecord, FieldsStandAtTheirOffsetsLittleEndian)
{
    Rule rule;
    rule.event = Activate;
    rule.matchTitle = true;
    std::strcpy(rule.title, "Title");
    rule.titleMatch = 0x01020304;
    rule.titleCase = false;
    rule.matchClass = true;
    std::strcpy(rule.className, "Class");
    rule.classMatch = -2;
    rule.classCase = true;
    rule.action = Smash;

    unsigned char record[RuleRecordSize];
    std::memset(record, 0xAA, sizeof record);
    EncodeRule(rule, record);

    EXPECT_EQ(Int32At(record, 0), 1);
    EXPECT_EQ(record[4], 1);
    EXPECT_STREQ(reinterpret_cast<const char *>(record + 5), "Title");
    EXPECT_EQ(record[88], 0x04);
    EXPECT_EQ(record[91], 0x01);
    EXPECT_EQ(record[92], 0);
    EXPECT_EQ(record[93], 1);
    EXPECT_STREQ(reinterpret_cast<const char *>(record + 94), "Class");
    EXPECT_EQ(Int32At(record, 176), -2);
    EXPECT_EQ(record[180], 1);
    EXPECT_EQ(Int32At(record, 184), 7);
    // Padding and the zeros behind each text's NUL.
    for (size_t i : {85u, 86u, 87u, 174u, 175u, 181u, 182u, 183u})
        EXPECT_EQ(record[i], 0) << "padding byte " << i;
    for (size_t i = 5 + 6; i < 85; ++i)
        ASSERT_EQ(record[i], 0) << "title byte " << i;
}

TEST(RuleRecord, DecodeReadsAnyNonzeroBooleanAsTrue)
{
    unsigned char record[RuleRecordSize] = {};
    record[4] = 2;
    record[92] = 0x80;
    record[93] = 0xFF;
    record[180] = 0;
    Rule rule = DecodeRule(record);
    EXPECT_TRUE(rule.matchTitle);
    EXPECT_TRUE(rule.titleCase);
    EXPECT_TRUE(rule.matchClass);
    EXPECT_FALSE(rule.classCase);

    // And writes it back as 1.
    unsigned char again[RuleRecordSize];
    EncodeRule(rule, again);
    EXPECT_EQ(again[4], 1);
    EXPECT_EQ(again[92], 1);
}

TEST(RuleRecord, TextWithoutNulIsCutTo79Characters)
{
    unsigned char record[RuleRecordSize];
    std::memset(record, 'x', sizeof record);
    Rule rule = DecodeRule(record);
    EXPECT_EQ(std::strlen(rule.title), 79u);
    EXPECT_EQ(std::strlen(rule.className), 79u);
}

TEST(RuleRecord, PaddingIsIgnoredWhenReading)
{
    Rule rule;
    rule.action = Hide;
    unsigned char record[RuleRecordSize];
    EncodeRule(rule, record);
    record[85] = record[86] = record[87] = 0x5A;
    record[174] = record[175] = 0x5A;
    record[181] = record[182] = record[183] = 0x5A;
    unsigned char again[RuleRecordSize];
    EncodeRule(DecodeRule(record), again);
    unsigned char expected[RuleRecordSize];
    EncodeRule(rule, expected);
    EXPECT_EQ(std::memcmp(again, expected, RuleRecordSize), 0);
}

TEST(RuleRecord, NamesOutsideTheirTablesArePlaceholders)
{
    EXPECT_STREQ(EventName(1), "Activate");
    EXPECT_STREQ(EventName(2), UnknownName);
    EXPECT_STREQ(EventName(-1), UnknownName);
    EXPECT_STREQ(MatchKindName(3), "Ends with");
    EXPECT_STREQ(MatchKindName(4), UnknownName);
    EXPECT_STREQ(ActionName(2), "Force Minimize (Win2K)");
    EXPECT_STREQ(ActionName(8), UnknownName);
    EXPECT_STREQ(ActionName(INT32_MIN), UnknownName);
}

} // namespace
