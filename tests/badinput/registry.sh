#!/usr/bin/env bash
# The monitor's port number as the registry may hold it: key or value missing, another type, a
# DWORD of the wrong size, numbers that are no port. The intro names the port the rules give
# (58140 for anything that is not a readable REG_DWORD; a DWORD as read, without a range test),
# and Silent opens exactly that port, or fails with 6 where the firewall refuses the number.
source "$(dirname "$0")/common.sh"

# Readme.txt for the agreement dialog: the copy the build puts beside the program.
cd "$bin"

# set_value DATA: the monitor's key (32-bit view) anew, with PortNumber set from DATA, a value as
# a .reg file writes it ("-": no key at all; "": the key without the value).
set_value() {
    remove_key 32
    [ "$1" != - ] || return 0
    {
        printf 'Windows Registry Editor Version 5.00\r\n\r\n'
        printf '[HKEY_LOCAL_MACHINE\\SOFTWARE\\Veltra\\VOSKAR]\r\n'
        [ -z "$1" ] || printf '"PortNumber"=%s\r\n' "$1"
    } >"$work/value.reg"
    "$wine" reg import "$(winpath "$work/value.reg")" /reg:32 >/dev/null 2>&1
}

# A number outside 1 to 65535 is no port: the simulated firewall refuses it with E_INVALIDARG,
# which the real one documents for an invalid parameter of Add, so the set-up ends with 6 and
# nothing is added. The intro still names the number as read: the value is used without a
# range test, and 0xFFFFFFFF reads as -1 ("UDP %d"); 0x80000000 gives the longest number.
# Each case: name | value | port the intro names | Silent's exit code | port Silent opens.
cases=(
    'key missing|-|58140|4|'
    'key without the value||58140|0|58140'
    'REG_SZ "47000"|"47000"|58140|0|58140'
    'REG_SZ of 4 bytes "123"|"123"|58140|0|58140'
    'REG_BINARY of 2 bytes|hex:10,27|58140|0|58140'
    'REG_BINARY of 4 bytes|hex:10,27,00,00|58140|0|58140'
    'REG_BINARY of 8 bytes|hex:10,27,00,00,00,00,00,00|58140|0|58140'
    'REG_QWORD 10000|hex(b):10,27,00,00,00,00,00,00|58140|0|58140'
    'REG_DWORD_BIG_ENDIAN 10000|hex(5):00,00,27,10|58140|0|58140'
    'REG_DWORD of 8 bytes|hex(4):10,27,00,00,00,00,00,00|58140|0|58140'
    'REG_DWORD of 2 bytes 01 02|hex(4):01,02|513|0|513'
    'REG_DWORD of 0 bytes|hex(4):|0|6|'
    'REG_DWORD 0|dword:00000000|0|6|'
    'REG_DWORD 1|dword:00000001|1|0|1'
    'REG_DWORD 65535|dword:0000ffff|65535|0|65535'
    'REG_DWORD 65536|dword:00010000|65536|6|'
    'REG_DWORD 0xFFFFFFFF|dword:ffffffff|-1|6|'
    'REG_DWORD 0x80000000, the longest sentence|dword:80000000|-2147483648|6|'
)
i=0
for c in "${cases[@]}"; do
    IFS='|' read -r title value port code opened <<<"$c"
    i=$((i + 1))
    set_value "$value"
    state=$(new_state "value$i")
    out=$(drive "$state" "start $program_win" window 'text 1005' 'click 2' exit "start $program_win /S" exit)
    expected_ports=
    [ -z "$opened" ] || expected_ports=$(both_open "$opened")
    expect "$title: the intro names port $port, Cancel ends with 0" \
        "$(printf 'text 1005 %s\nexit 0' "$(quoted "$(port_sentence "$port")")")" \
        "$(grep -E '^(text 1005|exit) ' <<<"$out" | head -n2)"
    expect "$title: Silent ends with $code" "exit $code" "$(tail -n1 <<<"$out")"
    expect "$title: Silent leaves ${opened:+port $opened open in both profiles}${opened:-the firewall unchanged}" \
        "$expected_ports" "$(port_lines "$state" | paste -sd';' -)"
done

# Setup all the way with a number the firewall refuses: the intro names it, the agreement goes
# as usual, and the outcome is the failure message with 6; nothing is added.
set_value dword:00010000
state=$(new_state refused)
probe=$(drive "$state" "start $program_win" window 'click 1006' window 'edit 1004' 'click 2' exit)
limit=$(sed -nE 's/^edit 1004 lines=([0-9]+) first=0 page=([0-9]+).*/\1 \2/p' <<<"$probe" | awk '{ print $1 - $2 }')
out=$(drive "$state" "start $program_win" window 'text 1005' 'click 1006' window "scroll 1004 thumb $limit" \
    'press 1000' 'until 1000 checked' 'click 1' 'note box' window controls 'click 1' exit)
expect "Setup with port 65536: intro, then the failure message, exit 6" \
    "$(printf 'text 1005 %s\n%s\nexit 6' "$(quoted "$(port_sentence 65536)")" "$(quoted "$text_failed")")" \
    "$(grep '^text 1005 ' <<<"$out")
$(box_text "$(section box "$out")")
$(tail -n1 <<<"$out")"
expect "Setup with port 65536: nothing added" "" "$(port_lines "$state")"

finish
