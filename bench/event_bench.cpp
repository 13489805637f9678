// How the program takes window events as a user meets them: the real
// brask2.exe of the dist folder, started in a working folder as scripts/run
// starts it, its dialog in view, against a victim's windows and against
// reports posted to it as its hook posts them. Run by hand under Wine
// through bench/run_event_bench.sh, one measure per run:
//   event_bench.exe MEASURE [--dist FOLDER] [--cap S] [--flood N] [--groups N] [--delay MS]
//   latency   200 windows that a Create rule hides, from CreateWindowExA's return until
//             hidden, at delay 0; as many against bench_receiver, a bare receiver of the
//             same hook, in alternating blocks of 20
//   burst     100 Create reports at once at the default delay, until the last is handled
//   flood     3,000 (--flood) reports as fast as they can be posted, at delay 0
//   exit      E&xit with 500 reports queued at the longest delay, until the program ends
//   overhead  the victim creating and destroying windows in blocks of 100 with the program
//             holding the hook (ten rules that never match, event delay --delay, 0), with
//             no hook and with the floor library, in --groups (8) groups of blocks ordered
//             ours, none, floor, floor, none, ours
// Each prints its figures beside their targets; exit status 0 when all are met, 2 when one
// is missed, 1 when it could not be measured. A program still busy when its measure runs
// out of time (--cap, 30 s) is ended by its handle.
#include "bench/bench_support.h"
#include "common/messages.h"
#include "common/resource.h"
#include "tests/app/black_box.h"

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

using namespace bench;

namespace {

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
constexpr DWORD ProbeIntervalMs = 10;
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

const char *Verdict(bool met) { return met ? "met" : "missed"; }

// A hidden window of this program; reports may name it, nothing reports it.
HWND LocalWindow(const char *className, const std::string &title)
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA existing = {sizeof existing};
    if (!GetClassInfoExA(instance, className, &existing)) {
        WNDCLASSEXA wc = {sizeof wc};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = instance;
        wc.lpszClassName = className;
        RegisterClassExA(&wc);
    }
    return CreateWindowExA(0, className, title.c_str(), WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                           instance, nullptr);
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

// A program this one started; ended by its handle if it still runs when the object goes.
class Process {
public:
    explicit Process(std::string command)
    {
        STARTUPINFOA startup = {sizeof startup};
        PROCESS_INFORMATION info = {};
        if (CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                           &startup, &info)) {
            CloseHandle(info.hThread);
            handle_ = info.hProcess;
        }
    }
    ~Process()
    {
        if (Running())
            TerminateProcess(handle_, 1);
        if (handle_)
            CloseHandle(handle_);
    }
    Process(const Process &) = delete;
    Process &operator=(const Process &) = delete;

    bool Running() const { return handle_ && WaitForSingleObject(handle_, 0) == WAIT_TIMEOUT; }
    bool Ended(DWORD timeoutMs) const
    {
        return handle_ && WaitFor([&] { return !Running(); }, timeoutMs);
    }

private:
    HANDLE handle_ = nullptr;
};

// bench_receiver.exe holding the hook of the library at path.
class Receiver : public Holder {
public:
    Receiver(const std::string &library, const char *hideClass)
        : process_("\"" + ExeDirectory() + "bench_receiver.exe\" \"" + library + "\" " +
                   (hideClass ? hideClass : ""))
    {
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
        return process_.Ended(timeoutMs);
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

// Asks the dialog for an answer every 10 ms from a thread of its own, as a user's click
// would, and keeps the longest wait.
class AnswerProbe {
public:
    explicit AnswerProbe(HWND dialog) : dialog_(dialog)
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
            WaitForSingleObject(thread_, INFINITE);
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
            SendMessageTimeoutA(dialog_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, SendTimeoutMs, &ignored);
            longestMs_ = std::max(longestMs_, MillisecondsSince(start));
            Sleep(ProbeIntervalMs);
        }
    }

    HWND dialog_;
    HANDLE thread_ = nullptr;
    std::atomic<bool> stop_{false};
    double longestMs_ = 0;
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
    Victim victim;
    Marker marker;
    std::vector<HWND> plain;
    std::vector<HWND> gone;
};

// The rules under test, then the mark's.
std::vector<Rule> WithMarkRule(std::vector<Rule> rules)
{
    rules.push_back(Marker::HolderRule());
    return rules;
}

std::unique_ptr<Product> StartProduct(const Options &options, const std::vector<Rule> &rules,
                                      int delayMs)
{
    auto product = std::make_unique<Product>(options.dist, rules);
    if (!product->Up()) {
        std::printf("%sbrask2.exe did not show its dialog\n", options.dist.c_str());
        return nullptr;
    }
    if (!product->SetDelay(delayMs)) {
        std::printf("the event delay could not be set to %d ms\n", delayMs);
        return nullptr;
    }
    return product;
}

std::unique_ptr<Receiver> StartReceiver(const std::string &library, const char *hideClass)
{
    auto receiver = std::make_unique<Receiver>(library, hideClass);
    if (!receiver->Up()) {
        std::printf("bench_receiver did not install %s\n", library.c_str());
        return nullptr;
    }
    return receiver;
}

// Waits for everything holder was sent, then ends it in order.
bool EndInOrder(const Bench &bench, Holder &holder)
{
    if (bench.marker.Drain(&holder, bench.options.capMs) && holder.End(bench.options.capMs))
        return true;
    std::printf("a holder of the hook did not finish its reports and end within %lu s\n",
                bench.options.capMs / 1000);
    return false;
}

int CouldNotMeasure(const char *measure)
{
    std::printf("%s: not measured\n", measure);
    return Unmeasured;
}

struct HideTimes {
    std::vector<double> ms;
    int missed = 0;
};

// count windows of the victim, each on a holder with nothing left to do; false when the
// holder stopped taking reports. Times are kept unless times is null.
bool TimeWindows(Bench &bench, const Holder &holder, int count, HideTimes *times)
{
    for (int i = 0; i < count; ++i) {
        if (!bench.marker.Drain(&holder, bench.options.capMs))
            return false;
        HideSample sample = TimeHide(bench.victim, HideClass, "latency window", HideTimeoutMs);
        if (!sample.window)
            return false;
        bench.victim.Send("destroy " + std::to_string(reinterpret_cast<uintptr_t>(sample.window)));
        if (!times)
            continue;
        if (sample.hidden)
            times->ms.push_back(sample.fromReturnMs);
        else
            ++times->missed;
    }
    return true;
}

void PrintHideTimes(const char *holder, const HideTimes &times)
{
    std::printf("latency, %-14s %3zu windows hidden, %d not within %.0f s: p50 %.2f ms, "
                "p99 %.2f ms, max %.2f ms\n",
                holder, times.ms.size(), times.missed, HideTimeoutMs / 1000,
                Percentile(times.ms, 50), Percentile(times.ms, 99), Percentile(times.ms, 100));
}

int MeasureLatency(Bench &bench)
{
    const std::vector<Rule> rules = WithMarkRule({HideRule(HideClass)});
    const std::string library = bench.options.dist + "brask2.dll";
    HideTimes ours, bare;
    // Ordered ours, bare, bare, ours, so that a machine growing busier or quieter weighs
    // on both alike. Only one program at a time may hold the hook.
    for (int block = 0; block < 2 * LatencyWindows / LatencyBlock; ++block) {
        bool isOurs = block % 4 == 0 || block % 4 == 3;
        std::unique_ptr<Holder> holder;
        if (isOurs)
            holder = StartProduct(bench.options, rules, 0);
        else
            holder = StartReceiver(library, HideClass);
        // The first window after a start also brings the hook library into the victim.
        if (!holder || !TimeWindows(bench, *holder, 1, nullptr) ||
            !TimeWindows(bench, *holder, LatencyBlock, isOurs ? &ours : &bare) ||
            !EndInOrder(bench, *holder))
            return CouldNotMeasure("latency");
    }
    PrintHideTimes("program:", ours);
    PrintHideTimes("bare receiver:", bare);
    double p50 = Percentile(ours.ms, 50), p99 = Percentile(ours.ms, 99);
    double ratio = p99 / Percentile(bare.ms, 99);
    bool met = ours.missed == 0 && p99 <= 4 && p50 <= 1.5 && ratio <= 1.5;
    std::printf("latency: p99 program / bare receiver %.2f; targets p99 <= 4 ms, p50 <= 1.5 ms, "
                "none missed, p99 <= 1.5 x bare: %s\n",
                ratio, Verdict(met));
    return met ? Met : Missed;
}

int MeasureBurst(Bench &bench)
{
    auto product = StartProduct(bench.options, WithMarkRule({HideRule(HideClass)}),
                                DefaultDelayMs);
    if (!product || !bench.marker.Drain(product.get(), bench.options.capMs))
        return CouldNotMeasure("burst");
    AnswerProbe probe(product->Dialog());
    int64_t start = Now();
    // The mark is the last of the hundred.
    for (int i = 0; i + 1 < BurstReports; ++i)
        product->PostReport(bench.plain[i]);
    bool done = bench.marker.Drain(product.get(), bench.options.capMs);
    double ms = MillisecondsSince(start);
    double longestAnswerMs = probe.Stop();
    if (!done) {
        std::printf("burst: %d reports at delay %d ms not handled within %lu s; the dialog "
                    "answered within %.0f ms at worst\n",
                    BurstReports, DefaultDelayMs, bench.options.capMs / 1000, longestAnswerMs);
        return Missed;
    }
    bool met = ms <= 300 && longestAnswerMs <= AnswerTargetMs;
    std::printf("burst: %d reports at delay %d ms handled in %.0f ms; the dialog answered "
                "WM_NULL within %.1f ms at worst; targets 300 ms, %.0f ms: %s\n",
                BurstReports, DefaultDelayMs, ms, longestAnswerMs, AnswerTargetMs, Verdict(met));
    return EndInOrder(bench, *product) && met ? Met : Missed;
}

// Two in five reports name a window that a rule hides (again, after the first time), two
// in five a window that is gone and one in five a window that no rule matches.
HWND FloodWindow(const Bench &bench, const std::vector<HWND> &hideable, int index)
{
    switch (index % 5) {
    case 0:
    case 2:
        return hideable[index / 5 % hideable.size()];
    case 1:
    case 3:
        return bench.gone[index / 5 % bench.gone.size()];
    default:
        return bench.plain[index / 5 % bench.plain.size()];
    }
}

int MeasureFlood(Bench &bench)
{
    std::vector<HWND> hideable;
    for (int i = 0; i < HideableWindows; ++i)
        hideable.push_back(bench.victim.Create(HideClass, "flood window " + std::to_string(i)));
    auto product = StartProduct(bench.options, WithMarkRule({HideRule(HideClass)}), 0);
    if (!product || !bench.marker.Drain(product.get(), bench.options.capMs))
        return CouldNotMeasure("flood");
    AnswerProbe probe(product->Dialog());
    int64_t start = Now();
    for (int i = 0; i < bench.options.flood; ++i)
        product->PostReport(FloodWindow(bench, hideable, i));
    double postedMs = MillisecondsSince(start);
    bool done = bench.marker.Drain(product.get(), bench.options.capMs);
    double ms = MillisecondsSince(start);
    double longestAnswerMs = probe.Stop();
    int reports = bench.options.flood + 1;
    if (!done) {
        std::printf("flood: %d reports (posted in %.0f ms) not handled within %lu s; the "
                    "dialog answered within %.0f ms at worst\n",
                    reports, postedMs, bench.options.capMs / 1000, longestAnswerMs);
        return Missed;
    }
    double perSecond = reports / (ms / 1000);
    bool met = perSecond >= 2000 && longestAnswerMs <= AnswerTargetMs;
    std::printf("flood: %d reports (posted in %.0f ms) handled in %.0f ms, %.0f reports/s; "
                "the dialog answered WM_NULL within %.1f ms at worst; targets 2000/s, %.0f ms: "
                "%s\n",
                reports, postedMs, ms, perSecond, longestAnswerMs, AnswerTargetMs, Verdict(met));
    return EndInOrder(bench, *product) && met ? Met : Missed;
}

int MeasureExit(Bench &bench)
{
    auto product = StartProduct(bench.options, WithMarkRule({HideRule(HideClass)}),
                                LongestDelayMs);
    if (!product || !bench.marker.Drain(product.get(), bench.options.capMs))
        return CouldNotMeasure("exit");
    for (int i = 0; i < ExitReports; ++i)
        product->PostReport(bench.plain[i % bench.plain.size()]);
    double ms = product->Exit(bench.options.capMs);
    if (ms < 0) {
        std::printf("exit: with %d reports queued at delay %d ms, not ended %lu s after "
                    "E&xit; ended by its handle\n",
                    ExitReports, LongestDelayMs, bench.options.capMs / 1000);
        return Missed;
    }
    std::printf("exit: with %d reports queued at delay %d ms, ended %.0f ms after E&xit; "
                "target 1000 ms: %s\n",
                ExitReports, LongestDelayMs, ms, Verdict(ms <= 1000));
    return ms <= 1000 ? Met : Missed;
}

enum HolderKind { Ours, None, Floor, KindCount };

std::unique_ptr<Holder> StartHolder(const Bench &bench, HolderKind kind)
{
    if (kind == Ours)
        return StartProduct(bench.options, WithMarkRule(UnmatchedRules()), bench.options.delayMs);
    if (kind == Floor)
        return StartReceiver(ExeDirectory() + "floor_hook.dll", nullptr);
    return nullptr;
}

// The victim's milliseconds for one block, after a few windows that bring the holder's
// library into it and a drain of what those cost the holder; 0 if it did not answer.
double ChurnOnce(Bench &bench, const Holder *holder)
{
    bench.victim.Send("churn " + std::to_string(ChurnWarmUp));
    if (!bench.marker.Drain(holder, bench.options.capMs))
        return 0;
    return static_cast<double>(bench.victim.Send("churn " + std::to_string(ChurnBlock)));
}

int MeasureOverhead(Bench &bench)
{
    const HolderKind order[] = {Ours, None, Floor, Floor, None, Ours};
    std::vector<double> oursToNone, floorToNone, oursToFloor;
    std::unique_ptr<Holder> holder;
    HolderKind held = None;
    for (int group = 1; group <= bench.options.groups; ++group) {
        double ms[KindCount] = {};
        for (HolderKind kind : order) {
            if (kind != held) {
                if (holder && !EndInOrder(bench, *holder))
                    return CouldNotMeasure("overhead");
                holder = StartHolder(bench, kind);
                held = kind;
                if (kind != None && !holder)
                    return CouldNotMeasure("overhead");
            }
            double block = ChurnOnce(bench, holder.get());
            if (block <= 0)
                return CouldNotMeasure("overhead");
            ms[kind] += block;
        }
        oursToNone.push_back(ms[Ours] / ms[None]);
        floorToNone.push_back(ms[Floor] / ms[None]);
        oursToFloor.push_back(ms[Ours] / ms[Floor]);
        std::printf("overhead, group %d: ours %.0f ms, none %.0f ms, floor %.0f ms "
                    "(%d windows each): ours/none %.3f, floor/none %.3f, ours/floor %.3f\n",
                    group, ms[Ours], ms[None], ms[Floor], 2 * ChurnBlock, oursToNone.back(),
                    floorToNone.back(), oursToFloor.back());
    }
    if (holder && !EndInOrder(bench, *holder))
        return CouldNotMeasure("overhead");
    bool met = Median(oursToFloor) <= 1.05;
    std::printf("overhead, median of %d groups at delay %d ms: ours/none %.3f, floor/none %.3f, "
                "ours/floor %.3f; target ours/floor <= 1.05: %s\n",
                bench.options.groups, bench.options.delayMs, Median(oursToNone),
                Median(floorToNone), Median(oursToFloor), Verdict(met));
    return met ? Met : Missed;
}

const struct {
    const char *name;
    int (*run)(Bench &);
} Measures[] = {
    {"latency", MeasureLatency}, {"burst", MeasureBurst},       {"flood", MeasureFlood},
    {"exit", MeasureExit},       {"overhead", MeasureOverhead},
};

Options ParseOptions(int argc, char **argv)
{
    Options options;
    options.measure = argc > 1 ? argv[1] : "";
    for (int i = 2; i < argc && options.valid; ++i) {
        std::string option = argv[i];
        const char *value = i + 1 < argc ? argv[++i] : nullptr;
        if (!value)
            options.valid = false;
        else if (option == "--dist")
            options.dist = std::string(value) + (value[std::strlen(value) - 1] == '\\' ? "" : "\\");
        else if (option == "--cap")
            options.capMs = static_cast<DWORD>(std::max(1, std::atoi(value))) * 1000;
        else if (option == "--flood")
            options.flood = std::max(1, std::atoi(value));
        else if (option == "--groups")
            options.groups = std::max(1, std::atoi(value));
        else if (option == "--delay")
            options.delayMs = std::atoi(value);
        else
            options.valid = false;
    }
    return options;
}

} // namespace

int main(int argc, char **argv)
{
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    Options options = ParseOptions(argc, argv);
    int (*run)(Bench &) = nullptr;
    for (const auto &measure : Measures)
        if (options.measure == measure.name)
            run = measure.run;
    if (!options.valid || !run) {
        std::printf("usage: event_bench latency|burst|flood|exit|overhead [--dist FOLDER] "
                    "[--cap S] [--flood N] [--groups N] [--delay MS]\n");
        return 64;
    }
    Bench bench(options);
    if (!bench.victim.Running()) {
        std::printf("the victim did not start\n");
        return Unmeasured;
    }
    return run(bench);
}
