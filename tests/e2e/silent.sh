#!/usr/bin/env bash
# Silent mode: exit codes only, no window ever, the firewall as the run leaves it.
source "$(dirname "$0")/lib.sh"

# 0: the port from the registry is opened in both profiles; a second run has nothing to do (5).
set_port_number 47000
state=$(new_state setup)
expect "silent set-up exits 0" 0 "$(run "$state" /S)"
expect "silent set-up opens the port in both profiles" "$(both_open 47000)" "$(port_lines "$state")"
expect "silent second run exits 5" 5 "$(run "$state" -s)"
expect "silent second run changes nothing" "$(both_open 47000)" "$(port_lines "$state")"
end_if_other_code_page

# A disabled port of that number is switched on again: work to do.
state=$(new_state disabled "port Domain UDP 47000 enabled subnet any user - $monitor_name" \
    "port Standard UDP 47000 disabled subnet any user - $monitor_name")
expect "silent run over a disabled port exits 0" 0 "$(run "$state" /S)"
expect "silent run enables the disabled port" "$(both_open 47000)" "$(port_lines "$state")"

# 2: no firewall interface, even for a limited user and without the monitor's key.
state=$(new_state unavailable unavailable)
expect "silent without firewall exits 2" 2 "$(run "$state" /S)"
remove_key
expect "silent without firewall and key, as a limited user, exits 2" 2 "$(run_seam "$state" /S)"

# 3: not an administrator (seam), tested before the monitor's key.
state=$(new_state limited)
expect "silent as a limited user without the key exits 3" 3 "$(run_seam "$state" /S)"
set_port_number 58140
expect "silent as a limited user exits 3" 3 "$(run_seam "$state" /S)"
expect "silent as a limited user changes nothing" "" "$(port_lines "$state")"

# 4: monitor not installed; a key in the 64-bit view only does not count.
remove_key
state=$(new_state nokey)
expect "silent without the monitor's key exits 4" 4 "$(run "$state" /S)"
"$wine" reg add "$monitor_key" /v PortNumber /t REG_DWORD /d 47000 /reg:64 /f >/dev/null 2>&1
expect "silent with the key in the 64-bit view only exits 4" 4 "$(run "$state" /S)"
remove_key 64
expect "silent without the key changes nothing" "" "$(port_lines "$state")"

# 6: a snapshot of the precheck fails; nothing is changed.
set_port_number 58140
state=$(new_state snapshot "fail Standard IEnumVARIANT::Next 0x8007000E")
expect "silent with a failing snapshot exits 6" 6 "$(run "$state" /S)"
expect "silent with a failing snapshot changes nothing" "" "$(port_lines "$state")"

# 6: adding fails in Domain; Standard is still opened and stays open.
state=$(new_state add "fail Domain INetFwOpenPorts::Add 0x80070005")
expect "silent with a failing Domain add exits 6" 6 "$(run "$state" /S)"
expect "silent with a failing Domain add still opens Standard" "$(monitor_port_line Standard 58140)" \
    "$(port_lines "$state")"

# 6: no worker thread can be created (seam); nothing is changed.
state=$(new_state nothread)
expect "silent without a worker thread exits 6" 6 "$(run_exe "$nothread_win" "$state" /S)"
expect "silent without a worker thread changes nothing" "" "$(port_lines "$state")"

# 1: while a first instance runs (its change held up for 3 s), every later start ends at once
# with 1 and shows nothing; the first one finishes undisturbed.
state=$(new_state instance "delay INetFwOpenPorts::Add 3000")
expect "a second instance ends with 1 in every mode, the first with 0" "$(printf 'exit 1\nexit 1\nexit 1\nexit 0')" \
    "$(drive "$state" "start $program_win /S" "waitevent $instance_event" \
        "start $program_win /S" exit "start $program_win /D" exit "start $program_win" exit \
        'use 1' exit)"
expect "the first instance opened the port" "$(both_open 58140)" "$(port_lines "$state")"

# An event of that name that a user who is no administrator created first, open to everyone, is
# no instance: the run goes on. (Wine lets a process make any account the owner of what it
# creates; the driver's event is owned by a user that exists on no machine.)
state=$(new_state squatted)
out=$(drive "$state" "squat $instance_event" "start $program_win /S" exit)
expect "silent while someone else holds the instance event's name exits 0" \
    "$(printf 'squat %s owner=S-1-5-21-1-2-3-1001\nexit 0' "$instance_event")" "$out"
expect "silent while someone else holds the instance event's name opens the port" "$(both_open 58140)" \
    "$(port_lines "$state")"

finish
