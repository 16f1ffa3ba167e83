#!/usr/bin/env bash
# The Setup and Remove wizards as a user goes through them: where each screen opens, what it
# shows and allows, the explanation wherever it is found and however it was saved, the
# scroll-to-the-end rule of the agreement (with the keyboard alone too), refusing at every step,
# the outcome box, the exit code and what the firewall holds afterwards.
source "$(dirname "$0")/lib.sh"

# Readme.txt is read from the current directory, or else beside the program, where the build
# puts a copy.
cd "$bin"

unrelated='port Standard TCP 8080 disabled all v4 builtin - Web proxy'

# The agreement dialog's controls that change, as "agree | disagree | OK".
choices() { printf '%s | %s | %s' "$(control_state 1000 "$1")" "$(control_state 1001 "$1")" "$(control_state 1 "$1")"; }

# "yes" when the window of the `rect` line in $1 lies in the middle of the `workarea` line's.
centred() {
    local x y w h wx wy ww wh
    read -r _ x y w h <<<"$(grep '^rect ' <<<"$1")"
    read -r _ wx wy ww wh <<<"$(grep '^workarea ' <<<"$1")"
    [ "$x $y" = "$((wx + (ww - w) / 2)) $((wy + (wh - h) / 2))" ] && echo yes ||
        echo "window at $x,$y ${w}x$h, work area at $wx,$wy ${ww}x$wh"
}

# The box's caption and text (the static that is not the empty icon).
box_of() {
    local s
    s=$(section "$1" "$2")
    printf '%s / %s' "$(grep '^window ' <<<"$s" | sed 's/^window //')" "$(box_text "$s")"
}

# The agreement dialog's view of the explanation: its line count and page, from a run that only
# looks (the edit's last scroll position is lines - page).
set_port_number 58141
probe=$(drive "$(new_state probe)" "start $program_win" window 'click 1006' window 'edit 1004' 'click 2' exit)
if [[ ! "$probe" =~ edit\ 1004\ lines=([0-9]+)\ first=0\ page=([0-9]+) ]]; then
    echo "FAIL cannot read the explanation's view: $probe"
    exit 1
fi
lines=${BASH_REMATCH[1]}
page=${BASH_REMATCH[2]}
limit=$((lines - page))
expect "the explanation needs scrolling (more than two pages)" 1 "$([ "$limit" -gt "$page" ] && echo 1)"

# --- Setup, all the way, with the keyboard alone, while another program holds Readme.txt open ----
# Enter on Next, PageDown through the explanation, Alt+A for the agreeing choice, Enter on OK and
# on the box. The other program (the driver) reads and writes the file and lets others do so too. A PageDown moves the caret a page and the view follows it: from the top the k-th
# press shows line (k-1)*page+1 first, and the press that reaches the last line shows the end.
presses=$(((lines - 2) / page + 1))
page_downs=()
for ((i = 1; i < presses; i++)); do
    page_downs+=('key pagedown')
done
state=$(new_state setup-full 'current Standard' "$unrelated")
out=$(drive "$state" "hold $(winpath Readme.txt)" "start $program_win" window 'note intro' controls 'text 1005' \
    rect workarea 'key return' window 'note opened' controls rect workarea 'edit 1004' 'hex on' 'text 1004' 'hex off' \
    "${page_downs[@]}" "until 1004 first=$(((presses - 2) * page + 1))" 'note page short' controls \
    'key pagedown' "until 1004 first=$limit" 'note at end' controls \
    'key alt+a' 'until 1000 checked' 'note agreed' controls \
    'key return' 'note box' window controls 'key return' exit)
intro=$(section intro "$out")
expect "setup: intro caption" "window $(quoted "$dialog_caption")" "$(grep '^window ' <<<"$out" | head -n1)"
expect "setup: intro port sentence from the registry" "text 1005 $(quoted "$(port_sentence 58141)")" \
    "$(grep '^text 1005 ' <<<"$intro")"
expect "setup: intro never shows the placeholder" "" "$(grep '○○' <<<"$intro" || true)"
expect "setup: intro offers Next and Cancel" "enabled | enabled" \
    "$(control_state 1006 "$intro") | $(control_state 2 "$intro")"
expect "setup: intro opens centred on the work area" yes "$(centred "$intro")"
opened=$(section opened "$out")
expect "setup: agreement opens centred on the work area" yes "$(centred "$opened")"
expect "setup: Enter on the intro goes on to the agreement" "window $(quoted "$dialog_caption")" \
    "$(grep '^window ' <<<"$out" | sed -n 2p)"
expect "setup: agreement opens with nothing chosen, agree and OK disabled" \
    "disabled unchecked | enabled unchecked | disabled" "$(choices "$opened")"
expect "setup: caret at the start, first line in view" "edit 1004 lines=$lines first=0 page=$page sel=0,0" \
    "$(grep '^edit ' <<<"$opened")"
expect "setup: the explanation, held open elsewhere, is Readme.txt byte for byte" "$(hex_of <Readme.txt)" \
    "$(grep '^text 1004 ' <<<"$opened" | sed 's/.* bytes=//')"
expect "setup: one PageDown short of the end, agree stays disabled" \
    "disabled unchecked | enabled unchecked | disabled" "$(choices "$(section 'page short' "$out")")"
expect "setup: the PageDown that shows the end enables agree" \
    "enabled unchecked | enabled unchecked | disabled" "$(choices "$(section 'at end' "$out")")"
expect "setup: Alt+A picks agree, which enables OK" "enabled checked | enabled unchecked | enabled" \
    "$(choices "$(section agreed "$out")")"
expect "setup: Enter on OK, success box" "$(quoted "$box_caption") / $(quoted "$text_set_up")" "$(box_of box "$out")"
expect "setup: exit code" "exit 0" "$(tail -n1 <<<"$out")"
expect "setup: the port is open in both profiles, nothing else changed" \
    "$(printf '%s\n' "$(monitor_port_line Domain 58141)" "$(monitor_port_line Standard 58141)" "$unrelated" | sort)" \
    "$(port_lines "$state" | sort)"

# --- Started elsewhere: the explanation beside the program, as editors save it ----------------------
# From a folder without Readme.txt whose name (配布한) none of the code pages 932, 1252 and 936 holds
# whole, the program in a folder below it, beside Readme.txt saved as UTF-8 without and with byte
# order mark and as UTF-16: each time the view holds exactly the text of the code page 932 file
# above. (The driver starts the program by a relative path: its command line is in the system's
# code page.)
elsewhere=$work/配布한
runs=()
for encoding in utf-8 utf-8-bom utf-16; do
    mkdir -p "$elsewhere/$encoding"
    cp FirewallSetup.exe "$elsewhere/$encoding/"
    case $encoding in
        utf-8) iconv -f CP932 -t UTF-8 Readme.txt ;;
        utf-8-bom) printf '\xef\xbb\xbf' && iconv -f CP932 -t UTF-8 Readme.txt ;;
        utf-16) printf '\xff\xfe' && iconv -f CP932 -t UTF-16LE Readme.txt ;;
    esac >"$elsewhere/$encoding/Readme.txt"
    runs+=("start $encoding\\FirewallSetup.exe" window 'click 1006' window 'hex on' 'text 1004' 'click 2' exit)
done
out=$(cd "$elsewhere" && drive "$(new_state elsewhere)" "${runs[@]}")
shipped=$(printf '%s\nexit 0\n' "$(grep '^text 1004 ' <<<"$opened")")
expect "elsewhere: UTF-8, UTF-8 with mark and UTF-16 beside the program show the text of the code page 932 file" \
    "$(printf '%s\n' "$shipped" "$shipped" "$shipped")" "$(grep -E '^(text 1004|exit) ' <<<"$out")"

# A deployer's own Readme.txt in the folder the program starts from wins over the one beside it.
own=$work/own
mkdir -p "$own"
cp932 $'配布先の説明です。\r\n' >"$own/Readme.txt"
out=$(cd "$own" && drive "$(new_state own)" "start $program_win" window 'click 1006' window 'hex on' 'text 1004' 'click 2' exit)
expect "own explanation: the current folder's Readme.txt is shown, not the one beside the program" \
    "$(hex_of <"$own/Readme.txt") / exit 0" "$(grep '^text 1004 ' <<<"$out" | sed 's/.* bytes=//') / $(tail -n1 <<<"$out")"

# From a folder whose path is longer than MAX_PATH (260) characters, the program still finds the
# Readme.txt beside it. Wine's CreateProcess cannot start a program there, its loader can: the
# driver takes the program over once it runs.
deep=$work/deep
for i in 1 2 3 4 5 6; do deep+=/folder-$i-of-a-path-longer-than-max-path-characters; done
mkdir -p "$deep"
cp FirewallSetup.exe Readme.txt "$deep/"
expect "deep folder: the program's path is longer than 260 characters" 1 \
    "$([ "$(winpath "$deep/FirewallSetup.exe" | wc -c)" -gt 260 ] && echo 1)"
state=$(new_state deep)
(cd "$elsewhere" && SIMFW_STATE=$state "$wine" "$deep/FirewallSetup.exe" </dev/null >/dev/null 2>&1) &
deep_run=$!
out=$(cd "$elsewhere" && drive "$state" 'attach FirewallSetup.exe' window 'click 1006' window 'hex on' 'text 1004' \
    'click 2' exit)
wait "$deep_run" || true
expect "deep folder: the explanation beside the program is shown" "$shipped" "$(grep -E '^(text 1004|exit) ' <<<"$out")"

# Under another system code page only the runs through every screen follow: Setup above, Remove below.
if ! other_code_page; then
# --- The focus arriving by Tab leaves the view where the reader left it --------------------------
# Two pages read, then Tab round to the explanation (each press goes where the focus then is):
# nothing is selected, the view has not moved and agree stays disabled. PageDown goes on from
# there, and Ctrl+End reaches the end, which enables agree.
state=$(new_state setup-tab)
out=$(drive "$state" "start $program_win" window 'key return' window 'key pagedown' 'key pagedown' \
    "until 1004 first=$((page + 1))" 'note read' 'edit 1004' 'key tab' 'key tab 1001' 'key tab 2' 'until 1004 focused' \
    'note tabbed back' 'edit 1004' controls 'key pagedown' "until 1004 first=$((2 * page + 1))" 'note next page' controls \
    'key ctrl+end' 'note ctrl+end' controls 'key escape' exit)
expect "tab: back in the explanation, nothing selected and the view where it was" \
    "$(grep '^edit ' <<<"$(section read "$out")")" "$(grep '^edit ' <<<"$(section 'tabbed back' "$out")")"
expect "tab: agree stays disabled" "disabled unchecked | enabled unchecked | disabled" \
    "$(choices "$(section 'tabbed back' "$out")")"
expect "tab: PageDown after the tabs goes on from there, agree still disabled" \
    "disabled unchecked | enabled unchecked | disabled" "$(choices "$(section 'next page' "$out")")"
expect "tab: Ctrl+End reaches the end and enables agree" "enabled unchecked | enabled unchecked | disabled" \
    "$(choices "$(section 'ctrl+end' "$out")")"
expect "tab: Esc ends without a box" "exit 0" "$(tail -n1 <<<"$out")"

# --- Down alone: line by line to the end ---------------------------------------------------------
# The caret moves a line a press and the view follows it once it passes the page's last line:
# lines - 2 presses leave the view one line short of the end, the next one shows the end.
downs=()
for ((i = 0; i < lines - 2; i++)); do
    downs+=('key down')
done
state=$(new_state setup-down)
out=$(drive "$state" "start $program_win" window 'click 1006' window "${downs[@]}" "until 1004 first=$((limit - 1))" \
    'note one short' controls 'key down' "until 1004 first=$limit" 'note at end' controls 'click 2' exit)
expect "down: one line short of the end, agree disabled" "disabled unchecked | enabled unchecked | disabled" \
    "$(choices "$(section 'one short' "$out")")"
expect "down: the press that shows the last line enables agree" "enabled unchecked | enabled unchecked | disabled" \
    "$(choices "$(section 'at end' "$out")")"

# --- Dragging the thumb: the end counts while the thumb is still held ----------------------------
state=$(new_state setup-drag)
out=$(drive "$state" "start $program_win" window 'click 1006' window \
    "scroll 1004 track $((limit - 1))" 'note one short' controls \
    "scroll 1004 track $limit" 'note held at end' controls 'click 2' exit)
expect "drag: one line short of the end, agree disabled" "disabled unchecked | enabled unchecked | disabled" \
    "$(choices "$(section 'one short' "$out")")"
expect "drag: the thumb held at the end enables agree" "enabled unchecked | enabled unchecked | disabled" \
    "$(choices "$(section 'held at end' "$out")")"
expect "drag: Cancel ends without a box" "exit 0" "$(tail -n1 <<<"$out")"

# --- Refusing: every way ends with 0, no box (the driver fails on any window), no change ---------
refused=
refuse() { # NAME COMMANDS...: the commands after the program's start and its first window; the
    # driver's output is left in $refused
    local name=$1 state
    shift
    state=$(new_state "refuse-$name" 'current Domain' "$unrelated")
    cp "$state" "$work/before"
    refused=$(drive "$state" "start $program_win" window "$@" exit)
    expect "refuse, $name: exit 0, no box" "exit 0" "$(tail -n1 <<<"$refused")"
    expect "refuse, $name: firewall unchanged" "$(cat "$work/before")" "$(cat "$state")"
}
refuse "Cancel on the intro" 'click 2'
refuse "Esc on the intro" 'key escape'
refuse "Cancel on the agreement" 'click 1006' window 'scroll 1004 bottom' 'press 1000' 'until 1000 checked' 'click 2'
refuse "disagree, OK" 'click 1006' window 'press 1001' 'until 1001 checked' 'note chosen' controls 'click 1'
expect "refuse, disagree: allowed without reading, enables OK" "disabled unchecked | enabled checked | enabled" \
    "$(choices "$(section chosen "$refused")")"
refuse "agree, disagree, OK" 'click 1006' window 'scroll 1004 bottom' 'press 1000' 'until 1000 checked' \
    'press 1001' 'until 1001 checked' 'note last' controls 'click 1'
expect "refuse, agree then disagree: the last choice counts" "enabled unchecked | enabled checked | enabled" \
    "$(choices "$(section last "$refused")")"

# --- A failed precheck is reported after Next -----------------------------------------------------
remove_key
state=$(new_state nokey 'current Standard')
out=$(drive "$state" "start $program_win" window 'text 1005' 'click 1006' 'note box' window controls 'click 1' exit)
expect "no key: intro shows the default port" "text 1005 $(quoted "$(port_sentence 58140)")" \
    "$(grep '^text 1005 ' <<<"$out")"
expect "no key: box after Next" "$(quoted "$box_caption") / $(quoted "$text_not_installed")" "$(box_of box "$out")"
expect "no key: exit code" "exit 4" "$(tail -n1 <<<"$out")"
out=$(drive "$state" "start $program_win" window 'click 2' exit)
expect "no key, Cancel on the intro: no box, exit 0" "exit 0" "$(tail -n1 <<<"$out")"
expect "no key: firewall unchanged" "" "$(port_lines "$state")"
set_port_number 58141

# --- Setup whose change fails in one profile ------------------------------------------------------
state=$(new_state setup-fails 'fail Standard INetFwOpenPorts::Add 0x80070005')
out=$(drive "$state" "start $program_win" "${setup_steps[@]}" 'note box' window controls 'click 1' exit)
expect "setup fails: failure box" "$(quoted "$box_caption") / $(quoted "$text_failed")" "$(box_of box "$out")"
expect "setup fails: exit code" "exit 6" "$(tail -n1 <<<"$out")"
expect "setup fails: the other profile keeps its port" "$(monitor_port_line Domain 58141)" "$(port_lines "$state")"

fi

# --- Remove ---------------------------------------------------------------------------------------
# Three monitor-named ports; UDP 58140 is in both profiles and is listed once.
removal_state() { # NAME [STATEMENT...]
    new_state "$@" 'current Standard' \
        "port Domain UDP 5000 enabled all any user - $monitor_name" \
        "$(monitor_port_line Domain 58140)" \
        "port Standard TCP 80 enabled all any user - $monitor_name" \
        "$unrelated" \
        "$(monitor_port_line Standard 58140)"
}
state=$(removal_state remove)
out=$(drive "$state" "start $program_win /D" window 'note opened' controls 'rows 1007' rect workarea \
    'select 1007 2' 'note selected' controls 'rows 1007' \
    'tick 1007 1' 'note ticked' controls 'rows 1007' \
    'untick 1007 1' 'note unticked' controls \
    'tick 1007 1' 'click 1' 'note box' window controls 'click 1' exit)
opened=$(section opened "$out")
expect "remove: caption" "window $(quoted "$dialog_caption")" "$(grep '^window ' <<<"$out" | head -n1)"
expect "remove: one row per port, twins once, none ticked, the first selected" \
    "$(printf '%s\n' 'rows 1007 3' 'row 0 "UDP 5000" unticked selected focused' 'row 1 "UDP 58140" unticked' \
        'row 2 "TCP 80" unticked')" "$(grep '^row' <<<"$opened")"
expect "remove: OK disabled while nothing is ticked" "disabled" "$(control_state 1 "$opened")"
expect "remove: opens centred on the work area" yes "$(centred "$opened")"
selected=$(section selected "$out")
expect "remove: selecting a row ticks nothing" "disabled" "$(control_state 1 "$selected")"
expect "remove: the selection moved" 'row 2 "TCP 80" unticked selected focused' "$(grep '^row 2 ' <<<"$selected")"
ticked=$(section ticked "$out")
expect "remove: a ticked row enables OK" "enabled" "$(control_state 1 "$ticked")"
expect "remove: only the ticked row is ticked" \
    "$(printf '%s\n' 'row 0 "UDP 5000" unticked' 'row 1 "UDP 58140" ticked selected focused' 'row 2 "TCP 80" unticked')" \
    "$(grep '^row ' <<<"$ticked")"
expect "remove: unticking the last ticked row disables OK" "disabled" "$(control_state 1 "$(section unticked "$out")")"
expect "remove: success box" "$(quoted "$box_caption") / $(quoted "$text_removed")" "$(box_of box "$out")"
expect "remove: exit code" "exit 0" "$(tail -n1 <<<"$out")"
expect "remove: the ticked port left both profiles, the others stay" \
    "$(printf '%s\n' "port Domain UDP 5000 enabled all any user - $monitor_name" \
        "port Standard TCP 80 enabled all any user - $monitor_name" "$unrelated" | sort)" \
    "$(port_lines "$state" | sort)"

# Under another system code page, every screen shows the texts it shows on a code page 932 system.
if other_code_page; then
    screens=("start $program_win" window controls 'click 1006' window controls 'click 2' exit
        "start $program_win /D" window controls 'click 2' exit)
    expect "every screen as under code page 932" \
        "$(FWSETUP_LANG= drive "$(removal_state screens-932)" "${screens[@]}")" \
        "$(drive "$(removal_state screens)" "${screens[@]}")"
fi
end_if_other_code_page

state=$(removal_state remove-cancel)
cp "$state" "$work/before"
out=$(drive "$state" "start $program_win /D" window 'tick 1007 0' 'tick 1007 2' 'click 2' exit)
expect "remove, ticked then Cancel: exit 0, no box" "exit 0" "$(tail -n1 <<<"$out")"
expect "remove, ticked then Cancel: firewall unchanged" "$(cat "$work/before")" "$(cat "$state")"

# Between the list and OK, another program's entry took the place of UDP 58140 in both profiles:
# OK removes nothing of it, and there was nothing left to remove (no failure).
state=$(removal_state remove-renamed)
sed "s/^\(port [A-Za-z]* UDP 58140 .* - \).*/\1Other program/" "$state" >"$work/renamed.state"
out=$(drive "$state" "start $program_win /D" window 'tick 1007 1' \
    "start cmd /c copy /y $(winpath "$work/renamed.state") $(winpath "$state") >nul" exit 'use 1' \
    'click 1' 'note box' window controls 'click 1' exit)
expect "remove, renamed meanwhile: success box, exit 0" "$(quoted "$box_caption") / $(quoted "$text_removed") / exit 0" \
    "$(box_of box "$out") / $(tail -n1 <<<"$out")"
expect "remove, renamed meanwhile: the other program's ports stay" "$(port_lines "$work/renamed.state")" \
    "$(port_lines "$state")"

# A removal that fails in the Domain profile still takes the port out of the Standard profile.
state=$(removal_state remove-fails 'fail Domain INetFwOpenPorts::Remove 0x80070005')
out=$(drive "$state" "start $program_win /D" window 'tick 1007 1' 'click 1' 'note box' window controls 'click 1' exit)
expect "remove fails: failure box" "$(quoted "$box_caption") / $(quoted "$text_failed")" "$(box_of box "$out")"
expect "remove fails: exit code" "exit 6" "$(tail -n1 <<<"$out")"
expect "remove fails: the Standard twin is gone, the rest stays" \
    "$(printf '%s\n' "port Domain UDP 5000 enabled all any user - $monitor_name" "$(monitor_port_line Domain 58140)" \
        "port Standard TCP 80 enabled all any user - $monitor_name" "$unrelated" | sort)" \
    "$(port_lines "$state" | sort)"

finish
