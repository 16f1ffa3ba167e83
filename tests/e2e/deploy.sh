#!/usr/bin/env bash
# The start-up script of deploy/, run by cmd from a folder beside the program as a deployment
# would run it: exit 0 when the port is open (now or before), the program's code otherwise, a
# code of its own without the program, and one line on standard output that says which.
source "$(dirname "$0")/lib.sh"

script=$root/deploy/open-monitor-port.cmd
expect "the script keeps its CRLF line ends" 0 "$(grep -cv $'\r$' "$script" || true)"

# Folders with a blank in their names, one with the program beside the script, one without.
share="$work/fleet share" bare="$work/bare share"
mkdir -p "$share" "$bare"
cp "$script" "$bin/FirewallSetup.exe" "$share/"
cp "$script" "$bare/"

deploy() { # STATE FOLDER: "exit CODE: OUTPUT"
    local rc=0
    SIMFW_STATE=$1 "$wine" cmd /c "$(winpath "$2/open-monitor-port.cmd")" </dev/null >"$work/deploy.out" \
        2>"$work/deploy.err" || rc=$?
    printf 'exit %s: %s' "$rc" "$(tr -d '\r' <"$work/deploy.out")"
}
said() { printf 'open-monitor-port: %s' "$1"; }

set_port_number 58140
state=$(new_state deploy)
expect "the port opened: 0" "exit 0: $(said "the monitor's port is open now (FirewallSetup code 0)")" \
    "$(deploy "$state" "$share")"
expect "the port opened in both profiles" \
    "$(both_open 58140)" "$(port_lines "$state")"
expect "the port open already: 5 becomes 0" \
    "exit 0: $(said "the monitor's port was open already, nothing changed (FirewallSetup code 5)")" \
    "$(deploy "$state" "$share")"
expect "a failing snapshot: 6 stays 6" "exit 6: $(said "a firewall query or change failed (FirewallSetup code 6)")" \
    "$(deploy "$(new_state deploy-failing 'fail Standard IEnumVARIANT::Next 0x8007000E')" "$share")"
# Wine hands Linux the low 8 bits of an exit code: 9009 arrives as 49.
expect "no program beside the script: 9009" \
    "exit $((9009 % 256)): $(said "no FirewallSetup.exe in \"$(winpath "$bare")\\\", nothing changed (code 9009)")" \
    "$(deploy "$(new_state deploy-bare)" "$bare")"

finish
