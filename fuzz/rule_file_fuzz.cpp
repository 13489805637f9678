// Arbitrary bytes as a rule file: load, format every rule, match every rule
// against its own texts, apply the rules to the texts of each rule, save,
// load again; the second load must give the same fields as the first.
#include "rules/apply_rules.h"
#include "rules/match_text.h"
#include "rules/rule_effects.h"
#include "rules/rule_file.h"
#include "rules/rule_text.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

// The actions rule application fired, in order.
std::string fired;

std::string ScratchPath(const char *name)
{
    return "/tmp/tarnwick-fuzz-" + std::to_string(getpid()) + "-" + name;
}

bool SameFields(const Rule &a, const Rule &b)
{
    return a.event == b.event && a.matchTitle == b.matchTitle &&
           std::memcmp(a.title, b.title, RuleTextSize) == 0 && a.titleMatch == b.titleMatch &&
           a.titleCase == b.titleCase && a.matchClass == b.matchClass &&
           std::memcmp(a.className, b.className, RuleTextSize) == 0 &&
           a.classMatch == b.classMatch && a.classCase == b.classCase && a.action == b.action;
}

// What ApplyRules must fire: each rule of the event whose tests hold by the
// plain MatchText, in list order.
std::string ExpectedActions(int32_t event, const char *title, const char *className)
{
    std::string expected;
    for (size_t i = 0; i < ruleSet.Count(); ++i) {
        const Rule &rule = ruleSet.At(i);
        if ((event == AnyEvent || event == rule.event) &&
            (!rule.matchTitle || MatchText(title, rule.title, rule.titleMatch, rule.titleCase)) &&
            (!rule.matchClass ||
             MatchText(className, rule.className, rule.classMatch, rule.classCase)))
            expected += static_cast<char>(rule.action);
    }
    return expected;
}

// Every rule of the file against the texts of each of its first rules.
void CheckApplyRules(const RuleSet &rules)
{
    ruleSet.Clear();
    for (size_t i = 0; i < rules.Count(); ++i)
        ruleSet.Append(rules.At(i));
    for (size_t i = 0; i < rules.Count() && i < 4; ++i) {
        for (int32_t event : {AnyEvent, rules.At(i).event}) {
            fired.clear();
            ApplyRules(nullptr, event, rules.At(i).title, rules.At(i).className);
            if (fired != ExpectedActions(event, rules.At(i).title, rules.At(i).className))
                std::abort();
        }
    }
}

} // namespace

int PerformAction(HWND, int32_t) { return 1; }

void LogAction(HWND, int32_t action, const char *, const char *)
{
    fired += static_cast<char>(action);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const std::string in = ScratchPath("in.rul"), out = ScratchPath("out.rul");
    FILE *file = std::fopen(in.c_str(), "wb");
    if (!file)
        return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    RuleSet first;
    if (!LoadRules(in.c_str(), first))
        std::abort();
    if (first.Count() != size / RuleRecordSize)
        std::abort();
    for (size_t i = 0; i < first.Count(); ++i) {
        const Rule &rule = first.At(i);
        // One byte more than FormatRule may use, to catch an overrun.
        char text[RuleTextBufferSize + 1];
        text[RuleTextBufferSize] = 0x5A;
        FormatRule(rule, text);
        if (text[RuleTextBufferSize] != 0x5A || std::strlen(text) >= RuleTextBufferSize)
            std::abort();
        // Rule application's way to the same answer: lengths from the fields.
        const char *texts[] = {rule.title, rule.className};
        for (const char *text : texts) {
            for (int32_t kind = -1; kind <= 4; ++kind) {
                for (bool sensitive : {true, false}) {
                    bool plain = MatchText(text, rule.className, kind, sensitive);
                    bool measured = MatchTextOfLength(text, std::strlen(text), rule.className,
                                                      RuleTextLength(rule.className), kind, sensitive);
                    if (plain != measured)
                        std::abort();
                }
            }
        }
    }
    CheckApplyRules(first);
    if (!SaveRules(out.c_str(), first))
        std::abort();
    RuleSet second;
    LoadRules(out.c_str(), second);
    // Nothing of a run is left in the temporary folder.
    std::remove(in.c_str());
    std::remove(out.c_str());
    if (second.Count() != first.Count())
        std::abort();
    for (size_t i = 0; i < first.Count(); ++i) {
        if (!SameFields(first.At(i), second.At(i)))
            std::abort();
    }
    return 0;
}
