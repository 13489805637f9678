// ApplyRules over 10,000 rules that all fail, against one title and one class
// of 79 characters each, beside a plain memcmp loop over the same bytes.
// Run by hand under Wine; prints milliseconds per call.
//   wine build/win32/bin/apply_rules_bench.exe
#include "bench/bench_support.h"
#include "rules/apply_rules.h"
#include "rules/rule.h"
#include "rules/rule_effects.h"
#include "rules/rule_set.h"
#include "tests/support/test_rule.h"

#include <cstdio>
#include <cstring>
#include <vector>

using bench::Median;
using bench::Percentile;

namespace {

constexpr int RuleCount = 10000;
constexpr int Runs = 200;
constexpr size_t TextLength = RuleTextSize - 1;

char title[RuleTextSize];
char className[RuleTextSize];
volatile int sink;

template <typename Call> void TimeOnce(std::vector<double> &times, Call call)
{
    int64_t start = bench::Now();
    call();
    times.push_back(bench::MillisecondsSince(start));
}

// Each rule's title test holds and its class test fails only at the last
// byte, so that every rule reads both texts to the end.
void FillRules(int32_t kind, bool caseSensitive)
{
    ruleSet.Clear();
    Rule rule = MakeRule(Create, Close, title, kind, caseSensitive, className);
    rule.className[TextLength - 1] = '#';
    for (int i = 0; i < RuleCount; ++i)
        ruleSet.Append(rule);
}

void MemcmpLoop()
{
    int differences = 0;
    for (size_t i = 0; i < ruleSet.Count(); ++i) {
        const Rule &rule = ruleSet.At(i);
        differences += std::memcmp(title, rule.title, TextLength) != 0;
        differences += std::memcmp(className, rule.className, TextLength) != 0;
    }
    sink = differences;
}

void Measure(const char *what, int32_t kind, bool caseSensitive)
{
    FillRules(kind, caseSensitive);
    auto window = reinterpret_cast<HWND>(0x1234);
    auto apply = [&] { ApplyRules(window, Create, title, className); };
    for (int run = 0; run < 10; ++run) {
        apply();
        MemcmpLoop();
    }
    // Taken in turns, so that a busy machine weighs on both alike.
    std::vector<double> applyTimes, baseline;
    for (int run = 0; run < Runs; ++run) {
        TimeOnce(applyTimes, apply);
        TimeOnce(baseline, MemcmpLoop);
    }
    std::printf("%-26s ApplyRules %6.3f / %6.3f ms   memcmp loop %6.3f / %6.3f ms   ratio %4.1f\n",
                what, Percentile(applyTimes, 0), Median(applyTimes), Percentile(baseline, 0),
                Median(baseline), Percentile(applyTimes, 0) / Percentile(baseline, 0));
}

} // namespace

// No rule here ever fires; the effects only have to exist.
int PerformAction(HWND, int32_t) { return 0; }
void LogAction(HWND, int32_t, const char *, const char *) {}

int main()
{
    for (size_t i = 0; i < TextLength; ++i) {
        title[i] = static_cast<char>('A' + i % 26);
        className[i] = static_cast<char>('a' + i % 26);
    }
    std::printf("%d rules, title and class of %u characters; per call over %d calls: "
                "fastest / median; ratio of the fastest\n",
                RuleCount, static_cast<unsigned>(TextLength), Runs);
    Measure("Equals, case-sensitive", Equals, true);
    Measure("Equals, ignoring case", Equals, false);
    Measure("Ends with, ignoring case", EndsWith, false);
    return 0;
}
