#!/usr/bin/env bash
# Port names and remote address lists longer than the 260-byte fields that hold them, names
# whose double-byte character straddles the field's last byte, empty names, names that only
# resemble the monitor's. Silent and Setup go by number and protocol alone; Remove lists exactly
# the monitor-named ports (any letter case) and removes exactly those; a long name is cut, at a
# character boundary, and is never taken for the monitor's name.
source "$(dirname "$0")/common.sh"

cd "$bin"
set_port_number 58140

# cp932_length TEXT: its length in code page 932 bytes.
cp932_length() { printf '%s' "$1" | iconv -f UTF-8 -t CP932 | wc -c; }
# padded TEXT BYTES: TEXT and "x" up to BYTES bytes in code page 932.
padded() { printf '%s%s' "$1" "$(printf "%$(($2 - $(cp932_length "$1")))s" '' | tr ' ' x)"; }
a() { printf "%$1s" '' | tr ' ' a; }

remote=10.0.0.1/255.255.255.255
while [ ${#remote} -lt 600 ]; do remote+=,10.0.0.1/255.255.255.255; done

name259=$(padded "$monitor_name" 259)
name260=$(padded "$monitor_name" 260)
name600=$(padded "$monitor_name" 600)
straddling="$(a 258)監視プログラム" # 監 takes bytes 258 and 259 of the name
expect "the test's names have the sizes they claim" "259 260 600 272" \
    "$(cp932_length "$name259") $(cp932_length "$name260") $(cp932_length "$name600") $(cp932_length "$straddling")"

# --- Silent and Setup: the monitor's number counts, not the name --------------------------------
state=$(new_state long-at-58140 "port Domain UDP 58140 enabled subnet any user - $name600" \
    "port Standard UDP 58140 enabled custom any user $remote $straddling")
cp "$state" "$work/before"
expect "long names on the monitor's port: Silent has nothing to do" "5" "$(run "$state" /S)"
out=$(drive "$state" "start $program_win" window 'click 1006' 'note box' window controls 'click 1' exit)
expect "long names on the monitor's port: Setup says so after Next" "$(quoted "$text_already_set_up")|exit 5" \
    "$(box_text "$(section box "$out")")|$(tail -n1 <<<"$out")"
expect "long names on the monitor's port: nothing changed" "$(cat "$work/before")" "$(cat "$state")"

# A disabled port with a long name at the monitor's number is switched on under its own name.
state=$(new_state long-disabled "port Domain UDP 58140 disabled custom v4 user $remote $name260" \
    "port Standard UDP 58140 enabled subnet any user - $name259")
expect "a disabled long-named port: Silent switches it on, name and addresses kept" \
    "0|port Domain UDP 58140 enabled custom v4 user $remote $name260;port Standard UDP 58140 enabled subnet any user - $name259" \
    "$(silent_outcome "$state")"

# --- Remove: which names are the monitor's ------------------------------------------------------
# Listed: the exact name, the name in upper case, the name with a long remote address list, the
# name with an accented "é" (the platform's conversion into code page 932 writes it as "e", so
# the field holds exactly the monitor's name), a Standard-only port. Not listed: the monitor's
# name followed by more (to 259, 260 and 600 bytes, or by one blank), a name cut inside a
# double-byte character, an empty name, full-width letters, a character code page 932 lacks.
upper=${monitor_name/Tessaly/TESSALY}
accented=${monitor_name/Tessaly/Téssaly}
state=$(new_state remove \
    "port Domain UDP 5001 enabled subnet any user - $monitor_name" \
    "port Domain UDP 5002 enabled subnet any user - $name259" \
    "port Domain UDP 5003 enabled subnet any user - $name260" \
    "port Domain UDP 5004 enabled subnet any user - $name600" \
    "port Domain UDP 5005 enabled subnet any user - $straddling" \
    "port Domain UDP 5006 enabled subnet any user -" \
    "port Domain TCP 5007 enabled subnet any user - $upper" \
    "port Domain UDP 5008 enabled custom any user $remote $monitor_name" \
    "port Domain UDP 5009 enabled subnet any user - $monitor_name " \
    "port Domain UDP 5010 enabled subnet any user - $accented" \
    "port Domain UDP 5011 enabled subnet any user - ${monitor_name/Tessaly/Ｔｅｓｓａｌｙ}" \
    "port Domain UDP 5012 enabled subnet any user - ${monitor_name}😀" \
    "port Standard UDP 5001 enabled subnet any user - $monitor_name" \
    "port Standard UDP 5004 enabled subnet any user - ${name600%x}y" \
    "port Standard UDP 5005 enabled subnet any user - $straddling" \
    "port Standard UDP 6001 enabled custom any user $remote $upper")
port_lines "$state" | grep -vE ' (5001|5007|5008|5010|6001) ' >"$work/kept"
out=$(drive "$state" "start $program_win /D" window 'rows 1007' 'tick 1007 0' 'tick 1007 1' 'tick 1007 2' \
    'tick 1007 3' 'tick 1007 4' 'click 1' 'note box' window controls 'click 1' exit)
expect "Remove lists the monitor-named ports only, Domain first" \
    '"UDP 5001","TCP 5007","UDP 5008","UDP 5010","UDP 6001"' \
    "$(grep '^row ' <<<"$out" | sed -E 's/^row [0-9]+ ("[^"]*").*/\1/' | paste -sd',' -)"
expect "Remove: success, exit 0" "$(quoted "$text_removed")|exit 0" \
    "$(box_text "$(section box "$out")")|$(tail -n1 <<<"$out")"
expect "Remove took out exactly the listed ports (5001 from both profiles)" "$(cat "$work/kept")" \
    "$(port_lines "$state")"

# Only long, empty and look-alike names: nothing to remove.
state=$(new_state none "port Domain UDP 5002 enabled subnet any user - $name259" \
    "port Standard UDP 5003 enabled subnet any user - $name600" "port Standard UDP 5006 enabled subnet any user -")
out=$(drive "$state" "start $program_win /D" window controls 'click 1' exit)
expect "no monitor-named port among long and empty names: Remove has nothing to do" \
    "$(quoted "$text_nothing_to_remove")|exit 5" "$(box_text "$out")|$(tail -n1 <<<"$out")"

finish
