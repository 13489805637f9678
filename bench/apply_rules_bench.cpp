// ApplyRules over 10,000 rules that all fail, against one title and one class
// of 79 characters each, beside a plain memcmp loop over the same bytes.
// Run by hand under Wine; prints milliseconds per call.
//   wine build/win32/bin/apply_rules_bench.exe
#include "rules/apply_rules.h"
#include "rules/rule.h"
#include "rules/rule_effects.h"
#include "rules/rule_set.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr int RuleCount = 10000;
constexpr int Runs = 200;
constexpr size_t TextLength = RuleTextSize - 1;

char title[RuleTextSize];
char className[RuleTextSize];
volatile int sink;

double Now()
{
    static LARGE_INTEGER frequency;
    if (!frequency.QuadPart)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return double(now.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

struct Times {
    std::vector<double> runs;
    double Min() const { return *std::min_element(runs.begin(), runs.end()); }
    double Median() const
    {
        std::vector<double> sorted = runs;
        std::sort(sorted.begin(), sorted.end());
        return sorted[sorted.size() / 2];
    }
};

template <typename Call> void TimeOnce(Times &times, Call call)
{
    double start = Now();
    call();
    times.runs.push_back(Now() - start);
}

// Each rule's title test holds and its class test fails only at the last
// byte, so that every rule reads both texts to the end.
void FillRules(int32_t kind, bool caseSensitive)
{
    ruleSet.Clear();
    Rule rule;
    rule.event = Create;
    rule.action = Close;
    rule.matchTitle = rule.matchClass = true;
    rule.titleMatch = rule.classMatch = kind;
    rule.titleCase = rule.classCase = caseSensitive;
    std::memcpy(rule.title, title, RuleTextSize);
    std::memcpy(rule.className, className, RuleTextSize);
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
    Times applyTimes, baseline;
    for (int run = 0; run < Runs; ++run) {
        TimeOnce(applyTimes, apply);
        TimeOnce(baseline, MemcmpLoop);
    }
    std::printf("%-26s ApplyRules %6.3f / %6.3f ms   memcmp loop %6.3f / %6.3f ms   ratio %4.1f\n",
                what, applyTimes.Min(), applyTimes.Median(), baseline.Min(), baseline.Median(),
                applyTimes.Min() / baseline.Min());
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
