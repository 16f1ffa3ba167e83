#!/usr/bin/env bash
# 10,000 globally open ports in each profile: Silent and Remove's precheck finish in seconds
# with the right outcome, and the removal dialog lists only the monitor-named ports among them.
source "$(dirname "$0")/common.sh"

cd "$bin"
set_port_number 58140

# many NAME MONITOR_EVERY [STATEMENT...]: a state file with UDP 10000 to 19999 in both profiles,
# named "Port N", every MONITOR_EVERY-th (from 10000) with the monitor's name instead (0: none),
# then the statements.
many() {
    local name=$1 every=$2 file
    shift 2
    file=$(new_state "$name")
    awk -v every="$every" -v monitor="$monitor_name" 'BEGIN {
        split("Domain Standard", profiles, " ")
        for (p = 1; p <= 2; ++p)
            for (n = 10000; n < 20000; ++n)
                printf "port %s UDP %d enabled all any user - %s\n", profiles[p], n,
                    (every && (n - 10000) % every == 0) ? monitor : "Port " n
    }' >"$file"
    printf '%s\n' "$@" >>"$file"
    printf '%s' "$file"
}

# timed COMMAND...: runs it, then prints its output and, on a line of its own, its milliseconds.
timed() {
    local start out
    start=$(date +%s%N)
    out=$("$@")
    printf '%s\n%s' "$out" "$((($(date +%s%N) - start) / 1000000))"
}
# A run that takes longer than this has gone wrong (a normal one takes one to three seconds).
slow_ms=20000
in_time() { [ "$1" -lt "$slow_ms" ] && echo "in time" || echo "took $1 ms"; }
# The time of a run, for the record.
took() { echo "     ($1: $(tail -n1 <<<"$2") ms)"; }

# --- Silent ---------------------------------------------------------------------------------------
state=$(many silent 0)
result=$(timed run "$state" /S)
expect "Silent over 10,000 ports per profile opens the port" "0|in time" \
    "$(head -n1 <<<"$result")|$(in_time "$(tail -n1 <<<"$result")")"
took "Silent, set-up" "$result"
expect "Silent added one port per profile, kept the rest" \
    "$(printf '%s\n' 20002 "$(monitor_port_line Domain 58140)" "$(monitor_port_line Standard 58140)")" \
    "$(printf '%s\n' "$(port_lines "$state" | wc -l)" "$(grep ' 58140 ' "$state")")"
result=$(timed run "$state" /S)
expect "a second Silent run has nothing to do" "5|in time" "$(head -n1 <<<"$result")|$(in_time "$(tail -n1 <<<"$result")")"
took "Silent, nothing to do" "$result"

# --- Remove ---------------------------------------------------------------------------------------
# Every 1,000th port is the monitor's in both profiles (10 twins), and one more monitor-named
# port sits last in Standard only.
state=$(many remove 1000 "port Standard TCP 443 enabled all any user - $monitor_name")
result=$(timed drive "$state" "start $program_win /D" 'window 30000' 'rows 1007' 'tick 1007 0' 'tick 1007 10' \
    'click 1' 'note box' 'window 30000' controls 'click 1' exit)
out=$(sed '$d' <<<"$result")
expect "Remove over 10,000 ports per profile lists only the monitor-named ones, twins once" \
    "$(for n in 10000 11000 12000 13000 14000 15000 16000 17000 18000 19000; do printf '"UDP %s",' "$n"; done)\"TCP 443\"" \
    "$(grep '^row ' <<<"$out" | sed -E 's/^row [0-9]+ ("[^"]*").*/\1/' | paste -sd',' -)"
expect "Remove: the ticked ports are removed, in time" "$(quoted "$text_removed")|exit 0|in time" \
    "$(box_text "$(section box "$out")")|$(tail -n1 <<<"$out")|$(in_time "$(tail -n1 <<<"$result")")"
took "Remove, list, two ticks and the removal" "$result"
expect "Remove took out UDP 10000 from both profiles and TCP 443, nothing else" \
    "19998|0|0" "$(port_lines "$state" | wc -l)|$(grep -c ' UDP 10000 ' "$state")|$(grep -c ' TCP 443 ' "$state")"

# None of them monitor-named: the box at once.
state=$(many unnamed 0)
result=$(timed drive "$state" "start $program_win /D" 'window 30000' controls 'click 1' exit)
out=$(sed '$d' <<<"$result")
expect "Remove over 10,000 unrelated ports per profile: nothing to remove, in time" \
    "$(quoted "$text_nothing_to_remove")|exit 5|in time" \
    "$(box_text "$out")|$(tail -n1 <<<"$out")|$(in_time "$(tail -n1 <<<"$result")")"
took "Remove, nothing to remove" "$result"

finish
