// Arbitrary bytes as a rule file: load, format every rule, match every rule
// against its own texts, save, load again; the second load must give the
// same fields as the first.
#include "rules/match_text.h"
#include "rules/rule_file.h"
#include "rules/rule_text.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

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

} // namespace

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
    if (!SaveRules(out.c_str(), first))
        std::abort();
    RuleSet second;
    LoadRules(out.c_str(), second);
    if (second.Count() != first.Count())
        std::abort();
    for (size_t i = 0; i < first.Count(); ++i) {
        if (!SameFields(first.At(i), second.At(i)))
            std::abort();
    }
    return 0;
}
