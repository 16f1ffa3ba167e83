# Shared by every shell test, sourced with the architecture (x64 or x86) as $1. What the tests
# know of the program as tools/ does (Windows paths, the monitor's key and name, the texts the
# program shows, uidriver's quoting) comes from tools/program.sh. Each scenario gets its own
# state file of the simulated firewall; the monitor's registry key is put back as it was (in both
# registry views) when the script ends.
set -euo pipefail

arch=${1:?usage: scenario.sh x64|x86}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=${FWSETUP_BUILD_DIR:-$root/build}
bin=$build/$arch/bin
wine=$root/tools/wine
source "$root/tools/program.sh"
case "$arch" in
    x64 | x86) ;;
    *) echo "unknown architecture $arch" >&2; exit 2 ;;
esac

work=$(mktemp -d)
failures=0

# The program as uidriver starts it, its "limited user", "no worker thread" and "no timer"
# copies (seams/README.md).
program_win=$(winpath "$bin/FirewallSetup.exe")
seam_win=$(winpath "$bin/noadmin/FirewallSetup.exe")
nothread_win=$(winpath "$bin/nothread/FirewallSetup.exe")
notimer_win=$(winpath "$bin/notimer/FirewallSetup.exe")
# The single-instance event the program holds while it runs.
instance_event='Global\Patch::ZORVANE'

save_key() { # view
    if "$wine" reg query "$monitor_key" "/reg:$1" >/dev/null 2>&1; then
        "$wine" reg export "$monitor_key" "$(winpath "$work/key$1.reg")" "/reg:$1" /y >/dev/null 2>&1
    fi
}
restore_key() { # view
    "$wine" reg delete "$monitor_key" "/reg:$1" /f >/dev/null 2>&1 || true
    if [ -f "$work/key$1.reg" ]; then
        "$wine" reg import "$(winpath "$work/key$1.reg")" "/reg:$1" >/dev/null 2>&1
    fi
}
# The x86 build is the one made for Windows XP: its scenarios run with Wine reporting XP to it.
version_key='HKCU\Software\Wine\AppDefaults\FirewallSetup.exe'
cleanup() {
    restore_key 32
    restore_key 64
    [ "$arch" != x86 ] || "$wine" reg delete "$version_key" /f >/dev/null 2>&1 || true
    rm -rf "$work"
}
save_key 32
save_key 64
trap cleanup EXIT
[ "$arch" != x86 ] || "$wine" reg add "$version_key" /v Version /d winxp /f >/dev/null 2>&1

# The monitor's key in the 32-bit view, where the monitor (a 32-bit program) keeps it.
set_port_number() { "$wine" reg add "$monitor_key" /v PortNumber /t REG_DWORD /d "$1" /reg:32 /f >/dev/null 2>&1; }
remove_key() { # [view]
    "$wine" reg delete "$monitor_key" "/reg:${1:-32}" /f >/dev/null 2>&1 || true
}

# new_state NAME [STATEMENT...]: a fresh state file, one statement a line; prints its path.
new_state() {
    local file=$work/$1.state
    shift
    : >"$file"
    local line
    for line in "$@"; do
        printf '%s\n' "$line" >>"$file"
    done
    printf '%s' "$file"
}

# run STATE [ARGS...]: runs the program against STATE through uidriver, which fails the run
# (and ends the program) if it shows any window; prints the exit code, or what went wrong.
run() { run_exe "$program_win" "$@"; }

# run_seam STATE [ARGS...]: the same with the "limited user" copy of the program.
run_seam() { run_exe "$seam_win" "$@"; }

run_exe() { # EXE STATE [ARGS...]
    local exe=$1 state=$2
    shift 2
    exit_code_of "$(drive "$state" "start $exe $*" exit)"
}

exit_code_of() {
    if [[ "$1" =~ ^exit\ ([0-9]+)$ ]]; then
        echo "${BASH_REMATCH[1]}"
    else
        echo "$1"
    fi
}

# Under tools/test --stop-on-failure another test's failure marks the suite as stopping: a
# scenario still running ends before its next run of the program.
stop_if_suite_stopping() {
    [ -e "$build/.suite-stopping" ] || return 0
    echo "stopped: another test failed"
    failures=$((failures + 1))
    end_now
}

# A user's way to the change, as uidriver steps: through Setup (Next on the intro, the explanation
# read to its end, agree, OK) and through Remove (the first row ticked, OK).
setup_steps=(window 'click 1006' window 'scroll 1004 bottom' 'press 1000' 'until 1 enabled' 'click 1')
remove_steps=(window 'tick 1007 0' 'click 1')

# drive STATE COMMAND...: uidriver's output (and its failure, if any) for the commands.
drive() {
    local state=$1 rc=0
    shift
    stop_if_suite_stopping
    SIMFW_STATE=$state "$wine" "$bin/uidriver.exe" "$@" </dev/null >"$work/driver.out" 2>&1 || rc=$?
    cat "$work/driver.out"
    [ "$rc" -eq 0 ] || echo "uidriver exit $rc"
}

# The port lines of a state file, in order.
port_lines() { grep '^port ' "$1" || true; }

# The port line that set-up writes for port $2 in profile $1.
monitor_port_line() { printf 'port %s UDP %s enabled subnet any user - %s' "$1" "$2" "$monitor_name"; }
# The port lines of a set-up of port $1 over a firewall without other ports.
both_open() { printf '%s\n%s' "$(monitor_port_line Domain "$1")" "$(monitor_port_line Standard "$1")"; }

# A text in code page 932, the program's own, converted here by iconv, independently of Windows;
# bytes in hex as uidriver prints them after `hex on`.
cp932() { printf '%s' "$1" | iconv -f UTF-8 -t CP932; }
hex_of() { od -An -v -tx1 | tr -d ' \n'; }

# box_text LINES: a message box's text in a `controls` listing (the static that is not the empty
# icon).
box_text() {
    grep '^control [-0-9]* Static' <<<"$1" | grep -vE ' ""( bytes=)?$' |
        sed -E 's/^control [-0-9]+ Static style=[^ ]+ visible enabled //' || true
}

# control_state ID LINES: "enabled unchecked", "disabled", … of control ID in a `controls` listing.
control_state() {
    grep -E "^control $1 " <<<"$2" | sed -E 's/^control [-0-9]+ [^ ]+ style=[^ ]+ visible //; s/ ".*$//'
}

# expect NAME EXPECTED ACTUAL
expect() {
    if [ "$2" == "$3" ]; then
        echo "ok   $1"
    else
        echo "FAIL $1"
        diff <(printf '%s\n' "$2") <(printf '%s\n' "$3") | sed 's/^/     /' || true
        failed_check
    fi
}

# Counts a failed check. When the suite stops at its first failure (tools/test --stop-on-failure),
# the scenario ends here too: nothing after it would be read.
failed_check() {
    failures=$((failures + 1))
    [ -z "${FWSETUP_STOP_ON_FAILURE:-}" ] || end_now
}

# Ends the scenario at once. What it started ends with it, a driver waiting for its next case
# among them, which would keep the test's output open and ctest waiting; so do its prefix's
# other Wine processes.
end_now() {
    kill_descendants $$
    WINEPREFIX=${FWSETUP_WINEPREFIX:-$build/wineprefix} /usr/lib/wine/wineserver64 -k >/dev/null 2>&1 || true
    finish
}
kill_descendants() { # PID: its children and theirs, the deepest first
    local child
    for child in $(pgrep -P "$1"); do
        kill_descendants "$child"
        kill "$child" 2>/dev/null || true
    done
}

finish() {
    if [ "$failures" -ne 0 ]; then
        echo "$failures check(s) failed ($arch${FWSETUP_LANG:+, $FWSETUP_LANG})"
        exit 1
    fi
    echo "all checks passed ($arch${FWSETUP_LANG:+, $FWSETUP_LANG})"
}

# Under another system code page (FWSETUP_LANG, see tools/wine) a scenario runs only its parts
# that show or write texts and names; the rest does not depend on the code page.
other_code_page() { [ "${FWSETUP_LANG:-ja_JP.UTF-8}" != ja_JP.UTF-8 ]; }
end_if_other_code_page() {
    if other_code_page; then
        finish
        exit 0
    fi
}
