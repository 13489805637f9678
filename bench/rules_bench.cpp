// The rule core against plain byte loops over the same data.
//   build/native/bin/rules_bench
#include "rules/match_text.h"
#include "rules/rule_file.h"
#include "rules/rule_text.h"
#include "tests/support/test_rule.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

std::string ScratchPath(const char *name)
{
    return std::string("/tmp/tarnwick-bench-") + name;
}

void BM_LoadThenSave100k(benchmark::State &state)
{
    std::string in = ScratchPath("in.rul"), out = ScratchPath("out.rul");
    {
        RuleSet rules;
        Rule rule = MakeRule(Create, Close, "Tip of the Day");
        for (int i = 0; i < 100000; ++i)
            rules.Append(rule);
        SaveRules(in.c_str(), rules);
    }
    for (auto _ : state) {
        RuleSet rules;
        LoadRules(in.c_str(), rules);
        SaveRules(out.c_str(), rules);
        benchmark::DoNotOptimize(rules.Count());
    }
    state.SetItemsProcessed(state.iterations() * 100000);
    std::remove(in.c_str());
    std::remove(out.c_str());
}
BENCHMARK(BM_LoadThenSave100k)->Unit(benchmark::kMillisecond);

void BM_FormatLongestRule(benchmark::State &state)
{
    Rule rule = MakeRule(Activate, ForceMinimize, std::string(79, 'p').c_str(), BeginsWith, true,
                         std::string(79, 'q').c_str());
    char buffer[RuleTextBufferSize];
    for (auto _ : state) {
        benchmark::DoNotOptimize(FormatRule(rule, buffer));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FormatLongestRule);

// 79-character text; the pattern is a near miss that fails at its last
// character, the worst case for each kind.
struct Texts {
    char text[80];
    char pattern[80];
    Texts(size_t patternLength)
    {
        std::memset(text, 'a', 79);
        text[79] = 0;
        std::memset(pattern, 'a', patternLength);
        pattern[patternLength - 1] = 'b';
        pattern[patternLength] = 0;
    }
};

void BM_MatchText(benchmark::State &state)
{
    int32_t kind = static_cast<int32_t>(state.range(0));
    bool caseSensitive = state.range(1) != 0;
    Texts t(kind == Equals ? 79 : 20);
    for (auto _ : state) {
        benchmark::DoNotOptimize(t.text);
        benchmark::DoNotOptimize(MatchText(t.text, t.pattern, kind, caseSensitive));
    }
}
BENCHMARK(BM_MatchText)->ArgsProduct({{Equals, Contains, BeginsWith, EndsWith}, {1, 0}});

// The baseline: the same bytes with memcmp, and a memmem-style search.
void BM_Baseline(benchmark::State &state)
{
    int32_t kind = static_cast<int32_t>(state.range(0));
    Texts t(kind == Equals ? 79 : 20);
    for (auto _ : state) {
        benchmark::DoNotOptimize(t.text);
        size_t textLength = std::strlen(t.text), patternLength = std::strlen(t.pattern);
        bool found = false;
        switch (kind) {
        case Equals:
            found = textLength == patternLength && std::memcmp(t.text, t.pattern, textLength) == 0;
            break;
        case Contains:
            found = memmem(t.text, textLength, t.pattern, patternLength) != nullptr;
            break;
        case BeginsWith:
            found = std::memcmp(t.text, t.pattern, patternLength) == 0;
            break;
        case EndsWith:
            found = std::memcmp(t.text + textLength - patternLength, t.pattern, patternLength) == 0;
            break;
        }
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_Baseline)->Arg(Equals)->Arg(Contains)->Arg(BeginsWith)->Arg(EndsWith);

} // namespace

BENCHMARK_MAIN();
