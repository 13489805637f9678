// latency: windows of the victim that a Create rule hides, timed from
// CreateWindowExA's return until hidden, the program beside a bare receiver.
#include "bench/event_bench.h"

namespace bench {

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

} // namespace bench
