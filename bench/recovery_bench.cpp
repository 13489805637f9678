// The compact rewrite of brask2.hid after a long run: 20,000 list entries,
// half of them naming windows that have gone since they were recorded, the
// other half 100 windows of another program hidden a hundred times each.
// Run by hand under Wine from the build's bin folder; prints milliseconds per
// rewrite (target: at most 5).
//   wine recovery_bench.exe
#include "actions/recovery_file.h"
#include "actions/window_actions.h"
#include "bench/bench_support.h"
#include "common/app_state.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

int main()
{
    constexpr int Dead = 10000, Live = 100, Repeats = 100, Runs = 20;
    Folder working;
    SetCurrentDirectoryA(working.path.string().c_str());
    Victim victim;
    if (!victim.Running()) {
        std::puts("the victim did not start");
        return 1;
    }
    RecoverHiddenWindows();
    std::vector<HWND> live;
    for (int i = 0; i < Live; ++i)
        live.push_back(victim.Create("BenchHidden", "hidden " + std::to_string(i)));
    for (int i = 0; i < Dead; ++i) {
        HWND gone = CreateWindowExA(0, "STATIC", "gone", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        HiddenList.Append(gone);
        DestroyWindow(gone);
    }
    for (int round = 0; round < Repeats; ++round) {
        for (HWND window : live)
            HiddenList.Append(window);
    }
    std::vector<double> times;
    for (int run = 0; run < Runs; ++run) {
        int64_t start = bench::Now();
        RewriteRecoveryFile();
        times.push_back(bench::MillisecondsSince(start));
    }
    std::printf("rewrite of %zu entries (%d gone, %d windows hidden %d times): median %.2f ms, "
                "least %.2f, most %.2f; file %ju bytes (target: at most 5 ms)\n",
                HiddenList.Count(), Dead, Live, Repeats, bench::Median(times), bench::Percentile(times, 0),
                bench::Percentile(times, 100),
                static_cast<uintmax_t>(std::filesystem::file_size(working / "brask2.hid")));
    HiddenList.Clear();
    EndRecoveryFile();
    for (HWND window : live)
        victim.Send("destroy " + std::to_string(reinterpret_cast<uintptr_t>(window)));
    SetCurrentDirectoryA("..");
    return 0;
}
