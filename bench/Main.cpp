// fwbench: performance figures of the firewall core and the wizard under Wine, for bench/run.
//
//   fwbench snapshots [REPEAT]   reading operations against the state file SIMFW_STATE names
//   fwbench silent               the steps of a Silent run, timed inside this process
//   fwbench dialog               the agreement dialog's answers while the set-up worker runs
//
// Each prints one line of key=value figures on stdout; exit code 0 when the run went as planned.

#include "bench/DialogBench.h"
#include "bench/SilentBench.h"
#include "bench/SnapshotBench.h"
#include "framework/CommonControls.h"

#include <windows.h>

#include <commctrl.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv)
{
    fw::LoadCommonControls(ICC_LISTVIEW_CLASSES);
    int code = 2;
    if (argc >= 2 && std::strcmp(argv[1], "snapshots") == 0) {
        const int repeat = argc >= 3 ? std::atoi(argv[2]) : 5;
        code = bench::RunSnapshotBench(repeat > 0 ? repeat : 5, stdout);
    } else if (argc >= 2 && std::strcmp(argv[1], "silent") == 0) {
        code = bench::RunSilentBench(stdout);
    } else if (argc >= 2 && std::strcmp(argv[1], "dialog") == 0) {
        code = bench::RunDialogBench(stdout);
    } else {
        std::fprintf(stderr, "usage: fwbench snapshots [REPEAT] | silent | dialog\n");
    }
    std::fflush(stdout);
    return code;
}
