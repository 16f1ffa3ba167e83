#!/usr/bin/env bash
# The program on the Windows versions the prefix can pretend to be (Wine's per-program
# "Version"): on Windows XP the single-instance event is global and open to every account; on
# Windows 98 (x86 only) it is a plain local event and there is no administrator test.
source "$(dirname "$0")/lib.sh"

pretend() { "$wine" reg add "$version_key" /v Version /d "$1" /f >/dev/null 2>&1; }
trap '"$wine" reg delete "$version_key" /f >/dev/null 2>&1 || true; cleanup' EXIT

# While a Remove run shows its message, look at the event it holds, by its global name and by its
# local one.
local_event=${instance_event#Global\\}
events_while_shown() { # STATE PROGRAM
    drive "$1" "start $2 /D" window "event $instance_event" "event $local_event" "start $2 /S" exit \
        'use 1' 'click 1' exit | grep -v '^window'
}

set_port_number 58140

pretend winxp
expect "XP: the event is global with a NULL DACL; a second instance ends with 1" \
    "$(printf '%s\n' "event $instance_event exists dacl=null" "event $local_event absent" 'exit 1' 'exit 5')" \
    "$(events_while_shown "$(new_state xp-events)" "$program_win")"

if [ "$arch" = x86 ]; then
    pretend win98
    expect "98: the event is local without security; a second instance still ends with 1" \
        "$(printf '%s\n' "event $instance_event absent" "event $local_event exists dacl=none" 'exit 1' 'exit 5')" \
        "$(events_while_shown "$(new_state 98-events)" "$program_win")"
    # Windows 98 has no administrators: the service control manager is not asked.
    state=$(new_state 98-limited)
    expect "98: the limited-user copy sets up all the same" 0 "$(run_seam "$state" /S)"
    expect "98: ... and opens the port" "$(both_open 58140)" "$(port_lines "$state")"
fi

finish
