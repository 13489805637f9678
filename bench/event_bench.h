// What the measures of the events benchmark (event_bench.cpp) share: the
// holders of the hook (the program and the bare receiver), the mark that
// drains a holder, the probe of the dialog's answers, and the windows every
// measure names.
#pragma once

#include "bench/bench_support.h"
#include "common/messages.h"
#include "common/resource.h"
#include "tests/app/black_box.h"

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace bench {

constexpr char HideClass[] = "EventBenchHide";    // the victim's windows that a rule hides
constexpr char PlainClass[] = "EventBenchPlain";  // this program's, matched by no rule
constexpr char MarkClass[] = "EventBenchMark";
constexpr char DialogCaption[] = "Tarnwick II";
constexpr DWORD StartTimeoutMs = 20000;
constexpr DWORD SendTimeoutMs = 5000;
constexpr double HideTimeoutMs = 2000;
constexpr int LatencyWindows = 200;
constexpr int LatencyBlock = 20;
constexpr int BurstReports = 100;
constexpr int ExitReports = 500;
constexpr int ChurnWarmUp = 5;
constexpr int ChurnBlock = 100;
constexpr int PlainWindows = 100;
constexpr int GoneWindows = 20;
constexpr int HideableWindows = 20;
constexpr int DefaultDelayMs = 50;
constexpr int LongestDelayMs = 250;
constexpr double AnswerTargetMs = 50;

enum Status { Met = 0, Unmeasured = 1, Missed = 2 };

struct Options {
    std::string measure;
    std::string dist = ExeDirectory();  // with a trailing backslash
    DWORD capMs = 30000;
    int flood = 3000;
    int groups = 8;
    int delayMs = 0;  // of the overhead measure
    bool valid = true;
};

inline const char *Verdict(bool met) { return met ? "met" : "missed"; }

// A hidden window of this program; reports may name it, nothing reports it.
inline HWND LocalWindow(const char *className, const std::string &title)
{
    return CreateWindowExA(0, TestWindowClass(className), title.c_str(), WS_POPUP, 0, 0, 1, 1,
                           nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

// Whatever holds the hook and takes its reports: the program or bench_receiver.
class Holder {
public:
    virtual ~Holder() = default;
    virtual bool Up() const = 0;
    // A report of mark, which the holder answers by hiding it.
    virtual void PostMark(HWND mark) const = 0;
    // Ends it in order, so that Wine drops its hook; false if it is still running after
    // timeoutMs.
    virtual bool End(DWORD timeoutMs) = 0;
};

// The program with its dialog up, started from the dist folder in a working folder
// of its own that holds rules.
class Product : public Holder {
public:
    Product(const std::string &dist, const std::vector<Rule> &rules)
    {
        black_box::WriteRules(working_ / "brask2.rul", rules);
        program_.Start(dist, working_);
        dialog_ = black_box::WaitForDialog(DialogCaption, rules.size(), StartTimeoutMs);
    }
    bool Up() const override { return dialog_ != nullptr; }
    HWND Dialog() const { return dialog_; }
    void PostReport(HWND window) const
    {
        PostMessageA(dialog_, WM_HOOKCREATE, reinterpret_cast<WPARAM>(window), 0);
    }
    void PostMark(HWND mark) const override { PostReport(mark); }

    // As a drag of the delay's thumb ends; true once the label shows the new delay.
    bool SetDelay(int ms) const
    {
        HWND trackbar = GetDlgItem(dialog_, IDC_MAIN_DELAY);
        DWORD_PTR ignored;
        SendMessageTimeoutA(trackbar, TBM_SETPOS, TRUE, ms, SMTO_NORMAL, SendTimeoutMs, &ignored);
        SendMessageTimeoutA(dialog_, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, ms),
                            reinterpret_cast<LPARAM>(trackbar), SMTO_NORMAL, SendTimeoutMs,
                            &ignored);
        char label[16] = "", expected[16];
        SendMessageTimeoutA(GetDlgItem(dialog_, IDC_MAIN_DELAY_LABEL), WM_GETTEXT, sizeof label,
                            reinterpret_cast<LPARAM>(label), SMTO_NORMAL, SendTimeoutMs,
                            &ignored);
        std::snprintf(expected, sizeof expected, "%d ms", ms);
        return std::strcmp(label, expected) == 0;
    }

    // Presses E&xit; the milliseconds until the program has ended, or -1 if it still
    // runs after timeoutMs.
    double Exit(DWORD timeoutMs)
    {
        if (!dialog_)
            return -1;
        int64_t start = Now();
        PostMessageA(GetDlgItem(dialog_, IDCANCEL), BM_CLICK, 0, 0);
        return program_.ExitCode(timeoutMs) == STILL_ACTIVE ? -1 : MillisecondsSince(start);
    }
    bool End(DWORD timeoutMs) override { return Exit(timeoutMs) >= 0; }

private:
    Folder working_;
    black_box::Program program_;
    HWND dialog_ = nullptr;
};

// bench_receiver.exe holding the hook of the library at path.
class Receiver : public Holder {
public:
    Receiver(const std::string &library, const char *hideClass)
    {
        process_.Start("\"" + ExeDirectory() + "bench_receiver.exe\" \"" + library + "\" " +
                       (hideClass ? hideClass : ""));
        WaitFor([&] {
            window_ = FindWindowA(ReceiverClass, ReceiverReady);
            return window_ || !process_.Running();
        }, StartTimeoutMs);
    }
    bool Up() const override { return window_ != nullptr; }
    void PostMark(HWND mark) const override
    {
        PostMessageA(window_, WM_BENCH_MARK, reinterpret_cast<WPARAM>(mark), 0);
    }
    bool End(DWORD timeoutMs) override
    {
        PostMessageA(window_, WM_CLOSE, 0, 0);
        return process_.ExitCode(timeoutMs) != STILL_ACTIVE;
    }

private:
    Process process_;
    HWND window_ = nullptr;
};

// The mark: a report of a window of this program that every holder hides (the program by
// the last of its rules). A thread takes its posted messages in order, so once the mark
// is hidden, every report posted before it has been handled.
class Marker {
public:
    Marker() : window_(LocalWindow(MarkClass, "event bench mark")) {}
    ~Marker() { DestroyWindow(window_); }
    Marker(const Marker &) = delete;
    Marker &operator=(const Marker &) = delete;

    static Rule HolderRule() { return HideRule(MarkClass); }

    // Posts the mark behind whatever holder has been sent and waits until it is handled;
    // false if it is not within timeoutMs. No holder, nothing to wait for.
    bool Drain(const Holder *holder, DWORD timeoutMs) const
    {
        if (!holder)
            return true;
        // Shown without activation, which would be reported.
        ShowWindow(window_, SW_SHOWNA);
        holder->PostMark(window_);
        return WaitFor([&] { return !IsWindowVisible(window_); }, timeoutMs);
    }

private:
    HWND window_;
};

// What every measure shares: the victim and the windows of this program that reports
// name, all made before any holder starts, so that none of them is reported.
struct Bench {
    explicit Bench(const Options &given) : options(given)
    {
        for (int i = 0; i < PlainWindows; ++i)
            plain.push_back(LocalWindow(PlainClass, "plain window " + std::to_string(i)));
        for (int i = 0; i < GoneWindows; ++i) {
            gone.push_back(LocalWindow(PlainClass, "gone window"));
            DestroyWindow(gone.back());
        }
    }
    ~Bench()
    {
        for (HWND window : plain)
            DestroyWindow(window);
    }

    Options options;
    Victim victim{"bench_victim.exe"};
    Marker marker;
    std::vector<HWND> plain;
    std::vector<HWND> gone;
};

// The rules under test, then the mark's.
std::vector<Rule> WithMarkRule(std::vector<Rule> rules);
std::unique_ptr<Product> StartProduct(const Options &options, const std::vector<Rule> &rules,
                                      int delayMs);
std::unique_ptr<Receiver> StartReceiver(const std::string &library, const char *hideClass);
// Waits for everything holder was sent, then ends it in order.
bool EndInOrder(const Bench &bench, Holder &holder);
int CouldNotMeasure(const char *measure);

// The measures, each in a file of its own; each returns a Status.
int MeasureLatency(Bench &bench);
int MeasureBurst(Bench &bench);
int MeasureFlood(Bench &bench);
int MeasureExit(Bench &bench);
int MeasureOverhead(Bench &bench);

} // namespace bench
