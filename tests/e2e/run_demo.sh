#!/usr/bin/env bash
# tools/run as CI runs it, without a display: it must go through both wizards, leave a picture
# of every screen, and leave nothing running (its X server, the program). tools/run drives the
# x64 build only; the architecture argument just names the run.
set -euo pipefail

arch=${1:?usage: run_demo.sh x64|x86}
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${FWSETUP_BUILD_DIR:-$root/build}
source "$root/tools/program.sh" # winpath
log=$(mktemp)
trap 'rm -f "$log"' EXIT
failures=0
expect() { # NAME CONDITION...
    local name=$1
    shift
    if "$@"; then echo "ok   $name"; else echo "FAIL $name"; failures=$((failures + 1)); fi
}

rc=0
env -u DISPLAY CI=1 FWSETUP_RUN_NO_BUILD=1 "$root/tools/run" </dev/null >"$log" 2>&1 || rc=$?
cat "$log"
echo

display=$(sed -n 's/^run: no display here; the wizards run on the virtual display :\([0-9]*\)$/\1/p' "$log")
pictures() { [ "$(find "$build/screens" -name '*.png' -size +500c | wc -l)" = 7 ]; }
x_server_gone() { [ -n "$display" ] && [ ! -e "/tmp/.X11-unix/X$display" ] && [ ! -e "/tmp/.X$display-lock" ]; }
# A Wine process shows the program's Windows path first on its command line; only those of this
# prefix count (the fault matrix runs the same exe in a prefix of its own meanwhile).
program_win=$(winpath "$build/x64/bin/FirewallSetup.exe")
prefix=${FWSETUP_WINEPREFIX:-$build/wineprefix}
program_ended() {
    local pid
    for pid in $(pgrep -af 'FirewallSetup\.exe' | awk -v p="$program_win" 'tolower($2) == tolower(p) { print $1 }'); do
        ! tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$prefix" || return 1
    done
}

expect "tools/run exits 0 ($arch)" test "$rc" -eq 0
expect "it used a virtual display of its own" test -n "$display"
expect "a picture of each of the 7 screens" pictures
expect "its X server has stopped" x_server_gone
expect "no FirewallSetup.exe is left running" program_ended

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
echo "all checks passed ($arch)"
