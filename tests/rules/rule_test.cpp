// The 188-byte record on disk, and the length of a text field.
#include "rules/rule.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(RuleRecord, FieldsStandAtTheirOffsetsLittleEndianWithZeroPadding)
{
    Rule rule = {Activate, true, "Title", 0x01020304, false, true, "Class", -2, true, Smash};
    unsigned char record[RuleRecordSize];
    std::memset(record, 0xAA, sizeof record);
    EncodeRule(rule, record);
    unsigned char expected[RuleRecordSize] = {1, 0, 0, 0, 1, 'T', 'i', 't', 'l', 'e'};
    std::memcpy(expected + 88, "\x04\x03\x02\x01\x00\x01" "Class", 11);
    std::memcpy(expected + 176, "\xfe\xff\xff\xff\x01\x00\x00\x00\x07", 9);
    EXPECT_EQ(std::memcmp(record, expected, RuleRecordSize), 0);
}

// A nonzero boolean byte is true and written back as 1; a text field without
// a NUL keeps its first 79 characters.
TEST(RuleRecord, AnyBytesDecodeSafely)
{
    unsigned char record[RuleRecordSize];
    std::memset(record, 'x', sizeof record);
    record[92] = 0;
    Rule rule = DecodeRule(record);
    EXPECT_TRUE(rule.matchTitle && !rule.titleCase);
    EXPECT_EQ(std::strlen(rule.title), 79u);
    EXPECT_EQ(std::strlen(rule.className), 79u);
    EncodeRule(rule, record);
    EXPECT_EQ(record[4], 1);
    std::memset(rule.title, 'x', sizeof rule.title);  // as a rule made in memory may hold it
    EXPECT_EQ(RuleTextLength(rule.title), 79u);
}
