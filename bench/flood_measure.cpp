// flood: reports as fast as they can be posted, at delay 0.
#include "bench/event_bench.h"

namespace bench {

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
    AnswerProbe probe(product->Dialog(), SendTimeoutMs, SMTO_ABORTIFHUNG);
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

} // namespace bench
