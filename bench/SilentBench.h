#pragma once

#include <cstdio>

namespace bench {

// The steps of a Silent run, each timed once inside this process in the order the run takes
// them (so the first firewall step pays for starting COM and loading the firewall's DLL), to
// show where a Silent run's time goes beyond starting a process. Prints one line of key=value
// figures (milliseconds) to out; 0 when the set-up succeeded.
int RunSilentBench(std::FILE* out);

} // namespace bench
