#pragma once

#include <cstdio>

namespace bench {

// Shows the agreement dialog, lets a second thread read the explanation to its end, agree and
// press OK, and times messages sent to the dialog from that thread: while it is idle and while
// the set-up worker runs (make it slow with a `delay INetFwOpenPorts::Add` statement in the
// state file). Prints one line of key=value figures to out; 0 when the run went as planned.
int RunDialogBench(std::FILE* out);

} // namespace bench
