#include "bench/SnapshotBench.h"

#include "bench/ImportCounter.h"
#include "bench/Timing.h"
#include "firewall/FirewallPorts.h"
#include "firewall/MonitorPortConfig.h"
#include "framework/Handles.h"

namespace bench {

namespace {

uint32_t SizeOf(ProfileType type)
{
    uint32_t required = 0;
    return ListOpenPorts(type, nullptr, 0, &required) == -1 ? required : 0;
}

// One complete fill into a block of the size the profile reports; false when it fails.
bool Fill(ProfileType type, uint32_t size)
{
    fw::UniqueGlobal block = fw::AllocZeroed(size);
    uint32_t required = 0;
    return block && ListOpenPorts(type, block.get(), size, &required) == 1;
}

unsigned PortsIn(uint32_t tableSize)
{
    return tableSize < OpenPortTableSize(0) ? 0 : (tableSize - OpenPortTableSize(0)) / sizeof(OpenPortRecord);
}

} // namespace

int RunSnapshotBench(int repeat, std::FILE* out)
{
    bool failed = false;
    MonitorPortConfig config;
    config.ReadPortNumber();

    const Samples configStatus = TimeRepeated(repeat, [&] {
        failed |= config.QueryConfigStatus() == ConfigStatus::StatusFailed;
    });

    const uint32_t domainSize = SizeOf(ProfileType::Domain);
    const uint32_t standardSize = SizeOf(ProfileType::Standard);
    failed |= domainSize == 0 || standardSize == 0;
    int32_t listSize = 0;
    config.BuildRemovalList(nullptr, listSize);
    fw::UniqueGlobal list = fw::AllocZeroed(static_cast<SIZE_T>(listSize > 0 ? listSize : 0));
    failed |= !list;
    auto* removalList = static_cast<PortRemovalList*>(list.get());

    // The list's second call takes both sizes again and both snapshots, then merges them. Its
    // pieces are timed on their own right before each build, so that both see the same load.
    Samples sizeDomain;
    Samples sizeStandard;
    Samples fillDomain;
    Samples fillStandard;
    Samples pieces;
    Samples build;
    for (int i = 0; i < repeat; ++i) {
        Stopwatch all;
        TimeOnce(sizeDomain, [] { SizeOf(ProfileType::Domain); });
        TimeOnce(sizeStandard, [] { SizeOf(ProfileType::Standard); });
        TimeOnce(fillDomain, [&] { failed |= !Fill(ProfileType::Domain, domainSize); });
        TimeOnce(fillStandard, [&] { failed |= !Fill(ProfileType::Standard, standardSize); });
        pieces.Add(all.ElapsedMs());
        TimeOnce(build, [&] {
            int32_t size = listSize;
            failed |= !removalList || config.BuildRemovalList(removalList, size) != 1;
        });
    }
    const int32_t entries = removalList ? removalList->count : -1;

    // The names compared in one build, counted apart from the timed runs. A counter that cannot
    // be installed ends the run: a figure it did not count must not look like one.
    long twinComparisons = 0;
    long monitorTests = 0;
    {
        NameComparisonCounter counter;
        if (!counter.Ok()) {
            std::fprintf(stderr, "fwbench: cannot count the name comparisons (no import slot for lstrcmpA)\n");
            return 1;
        }
        if (removalList) {
            NameComparisonCounter::Reset();
            int32_t size = listSize;
            config.BuildRemovalList(removalList, size);
            twinComparisons = NameComparisonCounter::TwinNameComparisons();
            monitorTests = NameComparisonCounter::MonitorNameTests();
        }
    }

    // What the Remove run's precheck does: both calls and the list's block.
    const Samples removalStatus = TimeRepeated(repeat, [&] {
        MonitorPortConfig removal;
        failed |= removal.QueryRemovalStatus() == ConfigStatus::StatusFailed;
    });

    std::fprintf(out,
                 "domainPorts=%u standardPorts=%u config=%.3f sizeD=%.3f sizeS=%.3f fillD=%.3f fillS=%.3f "
                 "pieces=%.3f build=%.3f removalStatus=%.3f entries=%d twinNameComparisons=%ld monitorNameTests=%ld failed=%d\n",
                 PortsIn(domainSize), PortsIn(standardSize), configStatus.Min(), sizeDomain.Min(),
                 sizeStandard.Min(), fillDomain.Min(), fillStandard.Min(), pieces.Min(), build.Min(), removalStatus.Min(),
                 static_cast<int>(entries), twinComparisons, monitorTests, failed ? 1 : 0);
    return failed ? 1 : 0;
}

} // namespace bench
