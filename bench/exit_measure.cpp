// exit: E&xit with reports queued at the longest delay.
#include "bench/event_bench.h"

namespace bench {

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

} // namespace bench
