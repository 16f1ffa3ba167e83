#!/usr/bin/env bash
# The monitor's port number as the registry may hold it: the intro names 58140 for anything but
# a REG_DWORD of four bytes, such a DWORD as read; Silent opens that port, or ends with 6 where the
# firewall refuses it.
source "$(dirname "$0")/common.sh"
cd "$bin"

# title | .reg value ("-": no key) | port the intro names | Silent's code | port Silent opens.
cases=(
    'key missing|-|58140|4|'
    'key without the value||58140|0|58140'
    'REG_SZ "47000"|"47000"|58140|0|58140'
    'REG_SZ of 4 bytes "123"|"123"|58140|0|58140'
    'REG_BINARY of 4 bytes|hex:10,27,00,00|58140|0|58140'
    'REG_QWORD 10000|hex(b):10,27,00,00,00,00,00,00|58140|0|58140'
    'REG_DWORD_BIG_ENDIAN 10000|hex(5):00,00,27,10|58140|0|58140'
    'REG_DWORD of 8 bytes|hex(4):10,27,00,00,00,00,00,00|58140|0|58140'
    'REG_DWORD of 2 bytes 01 02|hex(4):01,02|58140|0|58140'
    'REG_DWORD of 0 bytes|hex(4):|58140|0|58140'
    'REG_DWORD 1|dword:00000001|1|0|1'
    'REG_DWORD 65535|dword:0000ffff|65535|0|65535'
    'REG_DWORD 65536|dword:00010000|65536|6|'
    'REG_DWORD 0xFFFFFFFF|dword:ffffffff|-1|6|'
    'REG_DWORD 0x80000000, the longest sentence|dword:80000000|-2147483648|6|'
)
state=$work/value.state
before=
for c in "${cases[@]}"; do
    add_lines "start $program_win" window 'text 1005' 'click 2' exit "start $program_win /S" exit
done

prepare_case() {
    local value
    IFS='|' read -r _ value _ <<<"${cases[$1]}"
    remove_key 32
    [ "$value" != - ] || return 0
    printf 'Windows Registry Editor Version 5.00\r\n\r\n[%s]\r\n%s\r\n' \
        "${monitor_key/#HKLM/HKEY_LOCAL_MACHINE}" "${value:+\"PortNumber\"=$value}" >"$work/value.reg"
    "$wine" reg import "$(winpath "$work/value.reg")" /reg:32 >/dev/null 2>&1
}
check_case() {
    local title value port code opened
    IFS='|' read -r title value port code opened <<<"${cases[$1]}"
    expect "$title: the intro names port $port, Cancel ends with 0; Silent ends with $code, opens ${opened:-nothing}" \
        "$(printf 'text 1005 %s\nexit 0\nexit %s' "$(quoted "$(port_sentence "$port")")" "$code")|${opened:+$(both_open "$opened")}" \
        "$(grep -E '^(text 1005|exit|error|uidriver)' <<<"$got_out")|$(port_lines "$state")"
}
run_cases
finish
