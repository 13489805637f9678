// burst: a hundred Create reports at once at the default delay.
#include "bench/event_bench.h"

namespace bench {

int MeasureBurst(Bench &bench)
{
    auto product = StartProduct(bench.options, WithMarkRule({HideRule(HideClass)}),
                                DefaultDelayMs);
    if (!product || !bench.marker.Drain(product.get(), bench.options.capMs))
        return CouldNotMeasure("burst");
    AnswerProbe probe(product->Dialog(), SendTimeoutMs, SMTO_ABORTIFHUNG);
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

} // namespace bench
