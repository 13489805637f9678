// What the benchmarks under Wine share: one clock, percentiles, the hook
// library's two exports, the rules they give the program, the bare
// receiver's one task and the timing of a window from its creation until
// something hides it.
#pragma once

#include "hook/hook_api.h"
#include "rules/rule.h"
#include "tests/support/test_support.h"

#include <cstdint>
#include <string>
#include <vector>

namespace bench {

// Posted to bench_receiver with wParam = a window to hide: its answer to the
// benchmark's mark (see event_bench.cpp).
constexpr UINT WM_BENCH_MARK = WM_APP + 50;
constexpr char ReceiverClass[] = "TarnwickBenchReceiver";
constexpr char ReceiverReady[] = "ready";

// The performance counter, and spans of it in milliseconds.
int64_t Now();
double Milliseconds(int64_t ticks);
double MillisecondsSince(int64_t start);

// Percent 0 is the least value, 100 the greatest; values need not be sorted.
double Percentile(std::vector<double> values, int percent);
double Median(std::vector<double> values);

// brask2.dll, or a library with the same two exports, loaded from path.
class HookLibrary {
public:
    explicit HookLibrary(const std::string &path);
    ~HookLibrary();
    HookLibrary(const HookLibrary &) = delete;
    HookLibrary &operator=(const HookLibrary &) = delete;

    bool Loaded() const { return install_ && release_; }
    // The program's own report messages, to receiver.
    bool Install(HWND receiver) const;
    void Release() const;

private:
    HMODULE library_;
    InstallHookFunction install_ = nullptr;
    ReleaseHookFunction release_ = nullptr;
};

// Ten rules, seven of Create and three of Activate, that no window of a
// benchmark matches: a user's rule list that costs its full price per event.
std::vector<Rule> UnmatchedRules();

// Create, class equal to className: Hide.
Rule HideRule(const char *className);

// All a bare receiver does with a Create report: a window of className is
// hidden at once, with the call the program's Hide action uses.
void HideIfClass(HWND window, const char *className);

struct HideSample {
    HWND window;         // the victim's, still to be destroyed; null if not created
    bool hidden;         // within the timeout
    double fromCallMs;   // from just before CreateWindowExA
    double fromReturnMs; // from just after it returned
};

// Has the victim create a visible window and watches, at most timeoutMs,
// until something hides it.
HideSample TimeHide(Victim &victim, const std::string &className, const std::string &title,
                    double timeoutMs);

} // namespace bench
