// The rule record, its enumerations and their display names, and the
// 188-byte little-endian form in which a rule is kept on disk.
#pragma once

#include <cstddef>
#include <cstdint>

enum WindowEvent : int32_t { Create = 0, Activate = 1 };
enum MatchKind : int32_t { Equals = 0, Contains = 1, BeginsWith = 2, EndsWith = 3 };
enum WindowAction : int32_t {
    Close = 0,
    Minimize = 1,
    ForceMinimize = 2,
    Maximize = 3,
    Restore = 4,
    Hide = 5,
    Cloak = 6,
    Smash = 7,
};

// The event argument of ApplyRules that tries the rules of every event.
// Never stored in a rule.
constexpr int32_t AnyEvent = -1;

constexpr int EventCount = 2;
constexpr int MatchKindCount = 4;
constexpr int ActionCount = 8;

extern const char *const EventNames[EventCount];
extern const char *const MatchKindNames[MatchKindCount];
extern const char *const ActionNames[ActionCount];

// Shown wherever a stored value lies outside its table (a record from a
// foreign or damaged file); never used as an index.
extern const char UnknownName[];

// Display names that are safe for any stored value.
const char *EventName(int32_t event);
const char *MatchKindName(int32_t kind);
const char *ActionName(int32_t action);

// Titles and classes: at most 79 characters and a NUL.
constexpr size_t RuleTextSize = 80;

struct Rule {
    int32_t event = Create;
    bool matchTitle = false;
    char title[RuleTextSize] = {};
    int32_t titleMatch = Equals;
    bool titleCase = true;
    bool matchClass = false;
    char className[RuleTextSize] = {};
    int32_t classMatch = Equals;
    bool classCase = true;
    int32_t action = Close;
};

// The length of a text field: the bytes before its NUL, at most 79. Reads
// the field a word at a time, never past its 80 bytes.
size_t RuleTextLength(const char (&text)[RuleTextSize]);

// The record on disk.
constexpr size_t RuleRecordSize = 188;

namespace RuleRecord {
constexpr size_t EventOffset = 0;
constexpr size_t MatchTitleOffset = 4;
constexpr size_t TitleOffset = 5;
constexpr size_t TitleMatchOffset = 88;
constexpr size_t TitleCaseOffset = 92;
constexpr size_t MatchClassOffset = 93;
constexpr size_t ClassNameOffset = 94;
constexpr size_t ClassMatchOffset = 176;
constexpr size_t ClassCaseOffset = 180;
constexpr size_t ActionOffset = 184;
} // namespace RuleRecord

// Field by field, independent of the compiler's layout of Rule. Padding is
// written as zeros; booleans as 0 or 1.
void EncodeRule(const Rule &rule, unsigned char record[RuleRecordSize]);

// Any 188 bytes decode: a nonzero boolean byte is true, and a text field
// without a NUL keeps its first 79 characters, so that no later reader runs
// past the end of the field.
Rule DecodeRule(const unsigned char record[RuleRecordSize]);
