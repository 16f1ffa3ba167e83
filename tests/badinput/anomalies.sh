#!/usr/bin/env bash
# A firewall that misbehaves (the simulated anomalies: more ports than its count, elements that
# are no port, ports that appear while they are read), met by Silent, by Setup's precheck and by
# Remove. The program never reads past its tables: a snapshot holds at most the count it was
# told, an element that is no port fails the snapshot, a list that grew between the size query
# and the fill fails it; every failed snapshot is the outcome 6.
source "$(dirname "$0")/common.sh"

cd "$bin"
set_port_number 58140

web='port Domain TCP 80 enabled all any user - Web'
domain=$(monitor_port_line Domain 58140)
standard=$(monitor_port_line Standard 58140)

# Outcomes, as compared below: Silent "CODE"; Setup after Next "agreement" or the box's text;
# Remove the box's text, or "rows" and the texts of its rows (all then ticked and removed).
failed=$(quoted "$text_failed")
done=$(quoted "$text_already_set_up")

# The exit code that goes with a box's text.
code_of() { case "$1" in "$failed") echo 6 ;; *) echo 5 ;; esac; }

# case TITLE SILENT SETUP REMOVE PORTS_AFTER_REMOVAL STATEMENT...: one state, three runs.
case_of() {
    local title=$1 silent=$2 setup=$3 remove=$4 after=$5 state out closing
    shift 5
    state=$(new_state "silent-$title" "$@")
    expect "$title: Silent ends with $silent, the monitor's ports as they were" \
        "$silent|$(grep ' 58140 ' "$state" | paste -sd';' -)" "$(run "$state" /S)|$(grep ' 58140 ' "$state" | paste -sd';' -)"

    state=$(new_state "setup-$title" "$@")
    closing='click 1'
    [ "$setup" != agreement ] || closing='click 2'
    out=$(drive "$state" "start $program_win" window 'click 1006' 'note next' window controls "$closing" exit)
    local seen
    seen=$(section next "$out")
    if grep -q '^control 1004 Edit ' <<<"$seen"; then seen=agreement; else seen=$(box_text "$seen"); fi
    expect "$title: Setup after Next shows $setup" "$setup|exit $([ "$setup" = agreement ] && echo 0 || code_of "$setup")" \
        "$seen|$(tail -n1 <<<"$out")"

    state=$(new_state "remove-$title" "$@")
    if [[ "$remove" != rows\ * ]]; then
        out=$(drive "$state" "start $program_win /D" 'note opened' window controls 'click 1' exit)
        expect "$title: Remove shows at once $remove" "$remove|exit $(code_of "$remove")" \
            "$(box_text "$(section opened "$out")")|$(tail -n1 <<<"$out")"
        return
    fi
    local ticks=() rows i
    IFS=',' read -r -a rows <<<"${remove#rows }"
    for i in "${!rows[@]}"; do ticks+=("tick 1007 $i"); done
    out=$(drive "$state" "start $program_win /D" window 'rows 1007' "${ticks[@]}" 'click 1' 'note box' window controls \
        'click 1' exit)
    local listed
    listed=$(grep '^row ' <<<"$out" | sed -E 's/^row [0-9]+ ("[^"]*").*/\1/' | paste -sd',' -)
    expect "$title: Remove $remove, removes them" "$remove|$(quoted "$text_removed")|exit 0" \
        "rows $listed|$(box_text "$(section box "$out")")|$(tail -n1 <<<"$out")"
    expect "$title: the firewall after the removal" "$after" "$(port_lines "$state" | paste -sd';' -)"
}

# More ports than get_Count reports: the snapshot holds the first COUNT ports, the rest is not
# read. A monitor port past the count is not seen: Setup finds work (and only switches the port
# on), Remove lists the twin it can see, as a port of that profile alone, and leaves the other.
case_of 'count one short, monitor port past it' 0 agreement 'rows "UDP 58140"' "$web;$domain" \
    "$web" "$domain" "$standard" 'undercount Domain 1'
case_of 'count one short, monitor port within it' 5 "$done" 'rows "UDP 58140"' "$web" \
    "$domain" "$web" "$standard" 'undercount Domain 1'
case_of 'count 0 with ports' 0 agreement 'rows "UDP 58140"' "$domain" \
    "$domain" "$standard" 'undercount Domain 5'

# An element that is no port object fails the snapshot, wherever the table still has room.
case_of 'no port: an object first' 6 "$failed" "$failed" '' \
    "$domain" "$standard" 'nonport Domain 0 object'
case_of 'no port: VT_EMPTY' 6 "$failed" "$failed" '' \
    "$domain" "$standard" "$web" 'nonport Domain 1 empty'
case_of 'no port: a number' 6 "$failed" "$failed" '' \
    "$domain" "$standard" 'nonport Standard 0 number'
# Past the count the table is full: the extra element is not read.
case_of 'no port after the last port' 5 "$done" 'rows "UDP 58140"' "" \
    "$domain" "$standard" 'nonport Standard 9 object' 'nonport Domain 9 empty'

# Ports that appear after every get_Count: the fill finds a longer list than the size it was
# given and fails, so every snapshot of that profile fails.
case_of 'growing Domain' 6 "$failed" "$failed" '' \
    "$domain" "$standard" "grow Domain 1 $monitor_name"
case_of 'growing Standard, monitor port absent' 6 "$failed" "$failed" '' \
    "$web" "grow Standard 3 Other"

finish
