// overhead: the victim creating and destroying windows with the program
// holding the hook, with no hook, and with the floor library.
#include "bench/event_bench.h"

namespace bench {

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

} // namespace bench
