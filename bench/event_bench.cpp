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
#include "bench/event_bench.h"

#include <cstdlib>

namespace bench {

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

} // namespace bench

using namespace bench;

namespace {

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
