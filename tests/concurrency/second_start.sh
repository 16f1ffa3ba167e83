#!/usr/bin/env bash
# Second starts (S, D, none) while a first instance waits or works end at once with 1, show and
# change nothing; the first ends as alone. Once the first has read the port, the registry says
# 47000, which a second that got past the guard would open (a Silent first: no registry change).
source "$(dirname "$0")/../e2e/lib.sh"
source "$(dirname "$0")/../matrix/model.sh"
source "$(dirname "$0")/../matrix/play.sh"

cd "$bin"
state=$work/phase.state
monitor="UDP $m_port_number enabled subnet any user - $monitor_name"
listed="current Standard;port Domain $monitor;port Standard $monitor;port Standard TCP 47001 enabled all any user - $monitor_name"
registry=('note registry' "start cmd /c reg add $monitor_key /v PortNumber /t REG_DWORD /d 47000 /reg:32 /f >nul" exit)
seconds=()
for args in /S /D ""; do seconds+=("note second start '$args'" "start $program_win $args" exit); done

# The first's mode, pause point, and a call delayed to keep its worker busy.
for phase in "Setup intro -" "Setup agreement -" "Setup worker INetFwOpenPorts::Add" "Setup box -" \
    "Remove removal -" "Remove worker INetFwOpenPorts::Remove" "Silent worker INetFwOpenPorts::Add"; do
    read -r mode pause_at delayed <<<"$phase"
    start='current Standard;port Domain TCP 3389 enabled all v4 builtin - Remote Desktop'
    [ "$mode" != Remove ] || start=$listed
    model_load <(tr ';' '\n' <<<"$start")
    [ "$delayed" = - ] || m_statements=("delay $delayed 2000")
    pause_commands=("${registry[@]}" "${seconds[@]}" 'use @first')
    [ "$mode" != Silent ] || pause_commands=("waitevent $instance_event" "${seconds[@]}" 'use @first')
    add_case "$mode" "second starts while $mode waits at its $pause_at"
done

prepare_case() { set_port_number "$m_port_number"; }
check_case() {
    check_run "$1"
    [ "${c_mode[$1]}" = Silent ] ||
        expect "${c_name[$1]}: the port number changed" "exit 0" "$(grep -A1 '^note registry' <<<"$got_out" | tail -n1)"
    expect "${c_name[$1]}: each ends with 1" "$(printf 'exit 1\nexit 1\nexit 1')" \
        "$(grep -A1 '^note second start' <<<"$got_out" | grep '^exit ' || echo "$got_out")"
}
run_cases
finish
