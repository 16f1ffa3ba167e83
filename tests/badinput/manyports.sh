#!/usr/bin/env bash
# 10,000 ports in each profile: Silent and Remove finish in seconds with the right outcome.
source "$(dirname "$0")/common.sh"

cd "$bin"
set_port_number 58140

# many NAME EVERY [STATEMENT...]: UDP 10000-19999 in both profiles, every EVERY-th monitor-named.
many() {
    local file
    file=$(new_state "$1")
    awk -v every="$2" -v monitor="$monitor_name" 'BEGIN {
        for (p = 1; p <= 2; ++p)
            for (n = 10000; n < 20000; ++n)
                printf "port %s UDP %d enabled all any user - %s\n", p == 1 ? "Domain" : "Standard", n,
                    (every && (n - 10000) % every == 0) ? monitor : "Port " n
    }' >"$file"
    printf '%s\n' "${@:3}" >>"$file"
    printf '%s' "$file"
}
# A normal run takes one to three seconds.
in_time() { [ $((SECONDS - $1)) -lt 30 ] && echo "in time" || echo "took $((SECONDS - $1)) s"; }

state=$(many silent 0)
since=$SECONDS
expect "Silent over 10,000 ports per profile adds one port per profile, keeps the rest, in time" \
    "0|20002|$(both_open 58140)|in time" \
    "$(run "$state" /S)|$(port_lines "$state" | wc -l)|$(grep ' 58140 ' "$state")|$(in_time "$since")"

# 10 twins, and a monitor-named port last in Standard only.
state=$(many remove 1000 "port Standard TCP 443 enabled all any user - $monitor_name")
since=$SECONDS
out=$(drive "$state" "start $program_win /D" window 'rows 1007' 'tick 1007 0' 'tick 1007 10' \
    'click 1' window controls 'click 1' exit)
expect "Remove over 10,000 ports per profile lists only the monitor-named ones, twins once, in time" \
    "$(printf '"UDP %s",' 1{0..9}000)\"TCP 443\"|in time" "$(rows_of "$out")|$(in_time "$since")"
expect "Remove: UDP 10000 taken out of both profiles and TCP 443, nothing else" \
    "$(quoted "$text_removed")|exit 0|19998|0|0" \
    "$(box_text "$out")|$(tail -n1 <<<"$out")|$(port_lines "$state" | wc -l)|$(grep -c ' UDP 10000 ' "$state")|$(grep -c ' TCP 443 ' "$state")"
finish
