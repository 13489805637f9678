// What the benchmarks under Wine share: one clock, percentiles, the hook
// library's two exports, the rules they give the program, the bare
// receiver's one task and the timing of a window from its creation until
// something hides it.
#pragma once

#include "hook/hook_api.h"
#include "rules/rule.h"
#include "tests/support/test_support.h"

#include <algorithm>
#include <atomic>
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

// Asks dialog for an answer (WM_NULL) every 10 ms from a thread of its own,
// as a user's clicks would, and keeps the longest wait, until stopped. Each
// ask waits at most timeoutMs, with flags (SMTO_ABORTIFHUNG or SMTO_NORMAL).
class AnswerProbe {
public:
    AnswerProbe(HWND dialog, DWORD timeoutMs, UINT flags)
        : dialog_(dialog), timeoutMs_(timeoutMs), flags_(flags)
    {
        thread_ = CreateThread(nullptr, 0, Run, this, 0, nullptr);
    }
    ~AnswerProbe() { Stop(); }
    AnswerProbe(const AnswerProbe &) = delete;
    AnswerProbe &operator=(const AnswerProbe &) = delete;

    // The longest wait in milliseconds, once the probe has stopped asking.
    double Stop()
    {
        if (thread_) {
            stop_ = true;
            WaitForSingleObject(thread_, 2 * timeoutMs_);
            CloseHandle(thread_);
            thread_ = nullptr;
        }
        return longestMs_;
    }

private:
    static DWORD WINAPI Run(void *probe)
    {
        static_cast<AnswerProbe *>(probe)->Ask();
        return 0;
    }
    void Ask()
    {
        while (!stop_) {
            int64_t start = Now();
            DWORD_PTR ignored;
            SendMessageTimeoutA(dialog_, WM_NULL, 0, 0, flags_, timeoutMs_, &ignored);
            longestMs_ = std::max(longestMs_, MillisecondsSince(start));
            Sleep(10);
        }
    }

    HWND dialog_;
    DWORD timeoutMs_;
    UINT flags_;
    HANDLE thread_ = nullptr;
    std::atomic<bool> stop_{false};
    double longestMs_ = 0;
};

} // namespace bench
