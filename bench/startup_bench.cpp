// Start-up of the real program with 10,000 rules against an empty rule file:
// the rule list must not make the start noticeably slower (at most 1.5 times
// as long). The fastest of five starts each, after one that warms the
// caches: other work on the machine only ever adds to a start. Run under
// Wine from the build's bin folder, beside brask2.exe and brask2.dll.
#include "bench/bench_support.h"
#include "tests/app/black_box.h"

#include <algorithm>
#include <cstdio>

using namespace black_box;

namespace {

double StartMilliseconds(size_t rules)
{
    Folder working;
    WriteRules(working / "brask2.rul",
               std::vector<Rule>(rules, MakeRule(Create, Hide, "A window title of moderate length")));
    int64_t start = bench::Now();
    Program program;
    program.Start(ExeDirectory(), working);
    HWND dialog = WaitForDialog("Tarnwick II", rules, 30000);
    double ms = bench::MillisecondsSince(start);
    if (!dialog)
        return -1;
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    program.ExitCode();
    return ms;
}

} // namespace

int main()
{
    StartMilliseconds(0);
    double empty = 1e9, full = 1e9;
    for (int i = 0; i < 5; ++i) {
        empty = std::min(empty, StartMilliseconds(0));
        full = std::min(full, StartMilliseconds(10000));
    }
    if (empty < 0 || full < 0) {
        std::printf("start-up: the dialog did not show\n");
        return 1;
    }
    std::printf("start-up: empty %.0f ms, 10000 rules %.0f ms, ratio %.2f\n", empty, full, full / empty);
    return full / empty <= 1.5 ? 0 : 1;
}
