#!/usr/bin/env bash
# A firewall that misbehaves (more ports than its count, elements that are no port, ports that
# appear while read): a snapshot holds at most the count it was told, anything else fails it (6).
# First the snapshot itself, in-process, into tables that end right before a no-access page.
source "$(dirname "$0")/common.sh"

# Output to a file: a desktop process the test starts would keep ctest's pipe open.
rc=0
"$wine" "$bin/badinput_guard.exe" </dev/null >"$work/guard.out" 2>&1 || rc=$?
expect "snapshots into guarded tables (badinput_guard.exe)" "0" "$rc"
[ "$rc" = 0 ] || cat "$work/guard.out"

cd "$bin"
set_port_number 58140
state=$work/anomaly.state
web='port Domain TCP 80 enabled all any user - Web'
domain=$(monitor_port_line Domain 58140)
standard=$(monitor_port_line Standard 58140)

# title | Silent's code | Remove's rows ("6": it fails) | ports after it | statements. A port past
# the count is not seen: its twin is listed as a port of the other profile alone.
cases=(
    "count one short, monitor port past it|0|\"UDP 58140\"|$web;$domain|$web;$domain;$standard;undercount Domain 1"
    "count one short, monitor port within it|5|\"UDP 58140\"|$web|$domain;$web;$standard;undercount Domain 1"
    "count 0 with ports|0|\"UDP 58140\"|$domain|$domain;$standard;undercount Domain 5"
    "no port: an object first|6|6||$domain;$standard;nonport Domain 0 object"
    "no port: VT_EMPTY|6|6||$domain;$standard;$web;nonport Domain 1 empty"
    "no port: a number|6|6||$domain;$standard;nonport Standard 0 number"
    "no port after the last port, past the count|5|\"UDP 58140\"||$domain;$standard;nonport Standard 9 object;nonport Domain 9 empty"
    "growing Domain|6|6||$domain;$standard;grow Domain 1 $monitor_name"
    "growing Standard, monitor port absent|6|6||$web;grow Standard 3 Other"
)
for c in "${cases[@]}"; do
    IFS='|' read -r _ _ rows _ before <<<"$c"
    before=${before//;/$'\n'}
    add_lines "start $program_win /S" exit
    listing=(window 'rows 1007' 'tick 1007 0' 'click 1')
    [ "$rows" != 6 ] || listing=()
    add_lines "start $program_win /D" "${listing[@]}" window controls 'click 1' exit
done

check_case() {
    local title silent rows after code=0 message=$text_removed
    IFS='|' read -r title silent rows after _ <<<"${cases[$1 / 2]}"
    after=${after//;/$'\n'}
    if [ $(($1 % 2)) = 0 ]; then
        expect "$title: Silent ends with $silent, the monitor's ports as they were" \
            "exit $silent|$(grep ' 58140 ' <<<"${c_before[$1]}" | paste -sd';' -)" \
            "$(tail -n1 <<<"$got_out")|$(grep ' 58140 ' "$state" | paste -sd';' -)"
        return
    fi
    # What a failed snapshot leaves (grown ports) is the simulated firewall's business.
    [ "$rows" != 6 ] || { rows= code=6 message=$text_failed after=$(port_lines "$state"); }
    expect "$title: Remove lists [$rows] and ends with $code" "$rows|$(quoted "$message")|exit $code|$after" \
        "$(rows_of "$got_out")|$(box_text "$got_out")|$(tail -n1 <<<"$got_out")|$(port_lines "$state")"
}
run_cases
finish
