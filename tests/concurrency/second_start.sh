#!/usr/bin/env bash
# A second start while a first instance runs, in every mode (S, D, none), at every point where
# the first waits for the user or works: it ends at once with exit code 1, shows nothing and
# changes nothing, and the first completes as it would alone.
#
# Once the first instance has read the monitor's port number (its precheck runs before any
# window), the registry says 47000: a second instance that got past the guard and set up would
# open UDP 47000, which the firewall left behind would show. One that showed a window fails the
# driver's `exit`.
source "$(dirname "$0")/../e2e/lib.sh"
source "$(dirname "$0")/../matrix/model.sh"
source "$(dirname "$0")/../matrix/play.sh"

cd "$bin"
other_port=47000
set_port_number "$m_port_number"

# first MODE, paused where, the delay that keeps its worker busy, its starting firewall.
absent="current Standard
port Domain TCP 3389 enabled all v4 builtin - Remote Desktop"
listed="current Standard
port Domain UDP $m_port_number enabled subnet any user - $monitor_name
port Standard UDP $m_port_number enabled subnet any user - $monitor_name
port Standard TCP 47001 enabled all any user - $monitor_name"
phases=(
    "Setup  intro     -"
    "Setup  agreement -"
    "Setup  worker    INetFwOpenPorts::Add"
    "Setup  box       -"
    "Remove removal   -"
    "Remove worker    INetFwOpenPorts::Remove"
    "Silent worker    INetFwOpenPorts::Add"
)

# While the first instance waits: the registry changes under it, then the second starts, each
# expected to end with 1, then the first is current again.
seconds=('note registry' "start cmd /c reg add $monitor_key /v PortNumber /t REG_DWORD /d $other_port /reg:32 /f >nul" exit)
for args in /S /D ""; do
    seconds+=("note second start '$args'" "start $program_win $args" exit)
done
seconds+=('use 1')
# The worker has begun (the intro and agreement are long gone, or Silent's precheck is done).
worker_wait=('sleep 300')

for phase in "${phases[@]}"; do
    read -r mode pause_at delayed <<<"$phase"
    set_port_number "$m_port_number"
    if [ "$mode" = Remove ]; then start=$listed; else start=$absent; fi
    printf '%s\n' "$start" >"$work/start.state"
    model_load "$work/start.state"
    model_clear_fault
    [ "$delayed" = - ] || m_statements=("delay $delayed 2000")
    state=$work/phase.state
    model_render >"$state"
    rm -f "$state.leaks"
    if [ "$mode" = Remove ]; then model_remove; else model_setup; fi
    expected_state=$(model_render)
    pause_commands=()
    case $pause_at in
        worker)
            if [ "$mode" = Silent ]; then pause_commands=('waitevent Global\Patch::ZORVANE'); fi
            pause_commands+=("${worker_wait[@]}")
            ;;
    esac
    pause_commands+=("${seconds[@]}")
    play "$mode" "$state"

    name="second starts while $mode waits at its $pause_at"
    expect "$name: the port number changed" "exit 0" "$(grep -A1 '^note registry' <<<"$got_out" | tail -n1)"
    expect "$name: each ends with 1" "$(printf 'exit 1\nexit 1\nexit 1')" \
        "$(grep -A1 '^note second start' <<<"$got_out" | grep '^exit ' || echo "$got_out")"
    expect "$name: the first ends as it would alone" "$m_code $(expected_message "$mode" "$m_code" "$m_stage")" \
        "$got_code $got_message"
    expect "$name: the firewall is what the first alone leaves" "$expected_state" "$(cat "$state")"
    expect "$name: every firewall object was released" "" "$(cat "$state.leaks" 2>/dev/null || true)"
done

finish
