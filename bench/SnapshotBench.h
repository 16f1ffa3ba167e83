#pragma once

#include <cstdio>

namespace bench {

// Times the firewall core's reading operations against the state file that SIMFW_STATE names,
// each `repeat` times, and prints one line of key=value figures (milliseconds, best of repeat)
// to out. 0 when every operation succeeded.
int RunSnapshotBench(int repeat, std::FILE* out);

} // namespace bench
