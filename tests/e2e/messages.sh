#!/usr/bin/env bash
# The outcome messages as a user sees them: a box captioned with text 5000, the code's text in
# exact code page 932 bytes, one OK button, no icon; closing it ends the run with the code.
source "$(dirname "$0")/lib.sh"

cp932_hex() { cp932 "$1" | hex_of; }

# Commands that lead from the program's start to its box: none in Remove mode; in Setup mode
# the intro comes first and the box follows its Next button.
before_box=()

# box NAME STATE PROGRAM ARGS TEXT CODE [CLOSE]: the run shows exactly one box with TEXT and,
# once closed (by default with its OK button), ends with CODE.
box() {
    local name=$1 state=$2 exe=$3 args=$4 text=$5 code=$6 close=${7:-click 1} out
    out=$(drive "$state" "start $exe $args" ${before_box[@]+"${before_box[@]}"} 'hex on' window controls "$close" exit)
    expect "$name: caption" "window $(quoted "$box_caption") bytes=$(cp932_hex "$box_caption")" \
        "$(grep '^window ' <<<"$out" | tail -n1)"
    expect "$name: text" "$(quoted "$text") bytes=$(cp932_hex "$text")" "$(box_text "$out")"
    # The button's label is the system's, in its language.
    expect "$name: one button, OK" 'control 1 Button' \
        "$(grep '^control -\?[0-9]* Button' <<<"$out" | sed -E 's/ style=[^ ]+ visible enabled//; s/ ".*//')"
    expect "$name: no icon" "" "$(grep ' icon ' <<<"$out" || true)"
    expect "$name: exit code" "exit $code" "$(tail -n1 <<<"$out")"
}

# Remove mode reports a failed precheck before any dialog; the monitor's key does not matter.
remove_key
box "remove, nothing to remove" "$(new_state r-empty)" "$program_win" /D "$text_nothing_to_remove" 5
end_if_other_code_page
box "remove, nothing to remove, closed with Esc" "$(new_state r-esc)" "$program_win" /d \
    "$text_nothing_to_remove" 5 'key escape'
box "remove, no firewall" "$(new_state r-unavailable unavailable)" "$program_win" -D "$text_unavailable" 2
box "remove, limited user" "$(new_state r-limited)" "$seam_win" /D "$text_not_admin" 3
# (With no port at all the list is not even built: nothing to remove.)
box "remove, list cannot be built" "$(new_state r-failed 'port Domain TCP 80 enabled all any user - Web' \
    'fail Standard INetFwOpenPorts::get__NewEnum 0x80004005')" "$program_win" /D "$text_failed" 6

# Setup mode: a failed precheck is reported after the intro's Next button.
before_box=(window 'click 1006')
set_port_number 58140
box "setup, already set up" "$(new_state s-done "$(monitor_port_line Domain 58140)" "$(monitor_port_line Standard 58140)")" \
    "$program_win" "" "$text_already_set_up" 5
box "setup, no firewall" "$(new_state s-unavailable unavailable)" "$program_win" "" "$text_unavailable" 2
box "setup, limited user" "$(new_state s-limited)" "$seam_win" "" "$text_not_admin" 3
box "setup, snapshot fails" "$(new_state s-failed 'fail Domain IEnumVARIANT::Next 0x8007000E')" \
    "$program_win" "setup.txt" "$text_failed" 6
remove_key
box "setup, monitor not installed" "$(new_state s-nokey)" "$program_win" "/S /D x" "$text_not_installed" 4

# No worker thread can be created (seam): the step the user confirmed fails with 6, the firewall
# stays as it was. The agreement shows Readme.txt, which the build puts beside the program.
cd "$bin"
set_port_number 58140
before_box=("${setup_steps[@]}")
state=$(new_state s-nothread)
box "setup, no worker thread" "$state" "$nothread_win" "" "$text_failed" 6
expect "setup, no worker thread: firewall unchanged" "" "$(port_lines "$state")"
before_box=("${remove_steps[@]}")
state=$(new_state r-nothread "$(monitor_port_line Domain 58140)")
box "remove, no worker thread" "$state" "$nothread_win" /D "$text_failed" 6
expect "remove, no worker thread: firewall unchanged" "$(monitor_port_line Domain 58140)" "$(port_lines "$state")"

# No timer to watch the worker with (seam): the worker's end still ends the busy dialog.
before_box=("${setup_steps[@]}")
state=$(new_state s-notimer 'delay INetFwOpenPorts::Add 500')
box "setup, no timer" "$state" "$notimer_win" "" "$text_set_up" 0
expect "setup, no timer: the port is open in both profiles" "$(both_open 58140)" "$(port_lines "$state")"
before_box=("${remove_steps[@]}")
state=$(new_state r-notimer "$(monitor_port_line Domain 58140)")
box "remove, no timer" "$state" "$notimer_win" /D "$text_removed" 0
expect "remove, no timer: the port is gone" "" "$(port_lines "$state")"

# Another process posts WM_QUIT to the program while the worker runs: the run still waits for
# the worker and reports what it did, failed or done.
before_box=("${setup_steps[@]}" quit)
state=$(new_state s-quit-fails 'delay INetFwOpenPorts::Add 1500' 'fail Standard INetFwOpenPorts::Add 0x80070005')
box "setup, WM_QUIT while a failing worker runs" "$state" "$program_win" "" "$text_failed" 6
expect "setup, WM_QUIT while a failing worker runs: the Domain profile got its port" \
    "$(monitor_port_line Domain 58140)" "$(port_lines "$state")"
state=$(new_state s-quit 'delay INetFwOpenPorts::Add 1500')
box "setup, WM_QUIT while the worker succeeds" "$state" "$program_win" "" "$text_set_up" 0
before_box=("${remove_steps[@]}" quit)
state=$(new_state r-quit "$(monitor_port_line Domain 58140)" 'delay INetFwOpenPorts::Remove 1500')
box "remove, WM_QUIT while the worker runs" "$state" "$program_win" /D "$text_removed" 0
expect "remove, WM_QUIT while the worker runs: the port is gone" "" "$(port_lines "$state")"

# Another process's window, carrying the framework's control property with a value of its own
# choosing, named in a command, in the colour messages and a notification sent to every screen:
# the program goes on as if nothing had come and ends as it would have.
before_box=(window 'foreign 2' 'click 1006' window 'foreign 2' 'foreign 1000' 'scroll 1004 bottom' 'press 1000'
    'until 1 enabled' 'click 1')
state=$(new_state s-foreign)
box "setup, foreign messages on every screen" "$state" "$program_win" "" "$text_set_up" 0
expect "setup, foreign messages on every screen: the port is open in both profiles" "$(both_open 58140)" \
    "$(port_lines "$state")"
before_box=(window 'foreign 2' 'foreign 1007' 'tick 1007 0' 'click 1')
state=$(new_state r-foreign "$(monitor_port_line Domain 58140)")
box "remove, foreign messages" "$state" "$program_win" /D "$text_removed" 0

finish
