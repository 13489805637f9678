#include "bench/bench_support.h"

#include "common/export.h"
#include "common/messages.h"
#include "tests/support/test_rule.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace bench {

namespace {

double TicksPerMillisecond()
{
    static const double ticks = [] {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        return static_cast<double>(frequency.QuadPart) / 1000.0;
    }();
    return ticks;
}

// The victim's counter readings are the low 32 bits of the same counter.
double SinceLow(LRESULT low, int64_t now)
{
    return Milliseconds(static_cast<uint32_t>(static_cast<uint32_t>(now) -
                                              static_cast<uint32_t>(low)));
}

} // namespace

int64_t Now()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

double Milliseconds(int64_t ticks) { return static_cast<double>(ticks) / TicksPerMillisecond(); }

double MillisecondsSince(int64_t start) { return Milliseconds(Now() - start); }

double Percentile(std::vector<double> values, int percent)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    size_t rank = (values.size() * percent + 99) / 100;
    return values[std::max<size_t>(rank, 1) - 1];
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

HookLibrary::HookLibrary(const std::string &path) : library_(LoadLibraryA(path.c_str()))
{
    install_ = LookUpExport<InstallHookFunction>(library_, INSTALL_HOOK_EXPORT);
    release_ = LookUpExport<ReleaseHookFunction>(library_, RELEASE_HOOK_EXPORT);
}

HookLibrary::~HookLibrary()
{
    if (library_)
        FreeLibrary(library_);
}

bool HookLibrary::Install(HWND receiver) const
{
    return install_(receiver, WM_HOOKCREATE, WM_HOOKIGNORED, WM_HOOKACTIVATE) != 0;
}

void HookLibrary::Release() const { release_(); }

std::vector<Rule> UnmatchedRules()
{
    std::vector<Rule> rules;
    for (int i = 0; i < 10; ++i) {
        char text[RuleTextSize];
        std::snprintf(text, sizeof text, i % 2 ? "no such title %d" : "NoSuchClass%d", i);
        int32_t event = i < 7 ? Create : Activate;
        rules.push_back(i % 2 ? MakeRule(event, Minimize, text, Contains, false)
                              : MakeRule(event, Minimize, nullptr, Equals, true, text));
    }
    return rules;
}

Rule HideRule(const char *className) { return MakeRule(Create, Hide, nullptr, Equals, true, className); }

void HideIfClass(HWND window, const char *className)
{
    char actual[RuleTextSize];
    if (GetClassNameA(window, actual, sizeof actual) > 0 && std::strcmp(actual, className) == 0)
        ShowWindowAsync(window, SW_HIDE);
}

HideSample TimeHide(Victim &victim, const std::string &className, const std::string &title,
                    double timeoutMs)
{
    HideSample sample = {};
    sample.window = reinterpret_cast<HWND>(victim.Send("timed " + className + "|" + title));
    if (!sample.window)
        return sample;
    // Spinning rather than waiting: a wait's own granularity would be most of
    // what is measured.
    int64_t start = Now();
    while (IsWindowVisible(sample.window) && MillisecondsSince(start) < timeoutMs)
        SwitchToThread();
    int64_t hidden = Now();
    sample.hidden = !IsWindowVisible(sample.window);
    sample.fromCallMs = SinceLow(victim.Send("timedcall"), hidden);
    sample.fromReturnMs = SinceLow(victim.Send("timedreturn"), hidden);
    return sample;
}

} // namespace bench
