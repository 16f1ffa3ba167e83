#!/usr/bin/env bash
# The command line through the system's own conversion: letter case, 32 KB, bytes that are not
# ASCII. The mode shows over a firewall with the port open under another name: Setup opens the
# intro, Remove finds nothing to remove (box, 5), Silent nothing to do (5, no window).
source "$(dirname "$0")/common.sh"

set_port_number 58140
state=$work/cmdline.state
before="port Domain UDP 58140 enabled subnet any user - Other
port Standard UDP 58140 enabled subnet any user - Other"

# repeat TEXT [KEEP]: TEXT repeated up to the 32,766 characters of a command line, less KEEP.
repeat() {
    local room=$((32766 - ${#program_win} - 1 - ${2:-0}))
    perl -CS -e 'my ($t, $room) = @ARGV; utf8::decode($t); print $t x int($room / length $t)' "$1" "$room"
}

# mode | title | arguments (bytes as a script file carries them: code page 932, or none valid).
rows=(
    "Setup|no argument|"
    "Setup|/S and another argument|/S extra"
    "Setup|full-width D|$(cp932 Ｄ)"
    "Setup|a double-byte character whose second byte is D, behind a slash|/"$'\x83\x44'
    "Setup|a lone lead byte behind a dash|-"$'\x81'
    "Setup|D, a lead byte and a blank (one argument \"/D・\" and x)|/D"$'\x81'" x"
    "Setup|one argument of 32 KB|$(repeat x)"
    "Setup|one argument of 32,000 double-byte characters|$(cp932 "$(repeat 設)")"
    "Setup|about 10,000 times /D, then x|$(repeat '/D ' 1)x"
    "Remove|/d|/d"
    "Remove|\"D\" quoted|\"D\""
    "Remove|S D (the last argument counts)|S D"
    "Remove|D and a lead byte cut off at the end (dropped by the system)|/D"$'\x81'
    "Remove|about 10,000 times -s and /d alternating|$(repeat ' -s /d')"
    "Silent|-s|-s"
    "Silent|/s /S|/s /S"
    "Silent|about 10,000 times -S|$(repeat ' -S')"
)
# What each mode does in between, and what it shows.
declare -A between=([Setup]='window;text 1005;click 2' [Remove]='window;controls;click 1' [Silent]=)
declare -A shown=([Setup]="text 1005 $(quoted "$(port_sentence 58140)");exit 0" [Remove]="$(quoted "$text_nothing_to_remove");exit 5"
    [Silent]='exit 5')
# (Split by expansion: `read` stops at bytes that are no character.)
for row in "${rows[@]}"; do
    mode=${row%%|*} args=${row#*|*|}
    IFS=';' read -ra more <<<"${between[$mode]}"
    add_lines "start $program_win $args" ${more[@]+"${more[@]}"} exit
done
check_case() {
    local mode=${rows[$1]%%|*} title=${rows[$1]#*|}
    title=${title%%|*}
    expect "$mode for $title, the firewall unchanged" "${shown[$mode]//;/$'\n'}"$'\n'"$before" \
        "$(box_text "$got_out"; grep -E '^(text 1005|exit|error|uidriver)' <<<"$got_out"; port_lines "$state")"
}
run_cases
finish
