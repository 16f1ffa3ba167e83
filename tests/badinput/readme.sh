#!/usr/bin/env bash
# Readme.txt as it may come: missing, empty, cut short by the end mark, with NUL bytes or broken
# double-byte characters, huge, not a file, held open by another program. The agreement dialog
# shows exactly the text the rules give (lines joined with CR LF, 0x1A ends the text, every other
# byte as it is), and the agree choice still waits for a scroll event at the end of the text.
source "$(dirname "$0")/common.sh"

holdfile_win=$(winpath "$bin/holdfile.exe")
set_port_number 58140

# agreement NAME COMMANDS...: a Setup run in $work/NAME (where the case put its Readme.txt), up
# to the agreement dialog; then `note opened`, the explanation's bytes, the controls, and
# COMMANDS. The driver's output goes to $work/NAME.out.
agreement() {
    local name=$1
    shift
    mkdir -p "$work/$name"
    (cd "$work/$name" && drive "$(new_state "$name")" "start $program_win" window 'click 1006' 'window 60000' \
        'note opened' 'hex on' 'text 1004' 'hex off' controls "$@") >"$work/$name.out"
}

# The explanation's bytes as the driver read them from the edit control, into FILE.
shown_bytes() { # NAME FILE
    sed -n 's/^text 1004 .* bytes=\([0-9a-f]*\)$/\1/p' "$work/$1.out" | perl -ne 'chomp; print pack("H*", $_)' >"$2"
}

# Size and hash of a file, to compare big texts.
digest() { printf '%s bytes, sha256 %s' "$(wc -c <"$1")" "$(sha256sum <"$1" | cut -c1-64)"; }

# --- Small files: the text the edit shows, and agree stays disabled without a scroll event -----
# Each case: name, the file's bytes, the edit's text (printf formats; "-" for no file at all).
# Where a byte cannot follow a lead byte, the edit (which keeps its text in UTF-16) shows the
# pair as one "・" (0x81 0x45): the program hands over its bytes unchanged, the platform's
# conversion makes the pair one character, even when the second byte is the CR of a line end.
small_cases=(
    'missing|-|'
    'empty||'
    'only the end mark|\x1a|'
    'end mark in the middle|line1\r\nab\x1acd\r\nline3\r\n|line1\r\nab\r\n'
    'end mark right after a lead byte|ab\x83\x1acd\r\n|ab\x81\x45\n'
    'NUL bytes|one\0two\r\nthree\r\n|one'
    'NUL right after a lead byte|a\x81\0b\r\nc|a\x81\x45'
    'UTF-16 file|\xff\xfeR\0e\0\r\0\n\0|\xff\xfeR'
    'lead byte at the end of the file|abc\x83|abc\x81\x45\n'
    'lead byte at the end of a line|ab\x83\r\ncd\r\n|ab\x81\x45\ncd\r\n'
    'lead byte before a byte that cannot trail|a\x83\x20b\r\nx\x85\x40y\r\n|a\x81\x45b\r\nx\x81\x45y\r\n'
    'bytes that are no character|\x80\xa0\xfd\xfe\xff\r\n|\x80\xa0\xfd\xfe\xff\r\n'
    'bare line feeds and lone carriage returns|a\rb\nc\r\r\n\nd\r|a\rb\r\nc\r\r\n\r\nd\r\r\n'
)
i=0
for c in "${small_cases[@]}"; do
    IFS='|' read -r title bytes shown <<<"$c"
    i=$((i + 1))
    mkdir -p "$work/small$i"
    [ "$bytes" = - ] || printf "$bytes" >"$work/small$i/Readme.txt"
    printf "$shown" >"$work/small$i.expected"
    agreement "small$i" 'key pagedown 1004' 'key end 1004' 'note keys' controls 'click 2' exit
    shown_bytes "small$i" "$work/small$i.shown"
    out=$(cat "$work/small$i.out")
    expect "$title: the edit shows" "$(hex_of "$work/small$i.expected")" "$(hex_of "$work/small$i.shown")"
    expect "$title: agree disabled when opened and after keys" "disabled unchecked|disabled unchecked" \
        "$(control_state 1000 "$(section opened "$out")")|$(control_state 1000 "$(section keys "$out")")"
    expect "$title: Cancel ends with 0" "exit 0" "$(tail -n1 <<<"$out")"
done

# A text that fits in the view has a scroll limit of 0: any scroll event is at the end. The
# limit is reached, so agree is enabled (the bar itself is disabled for such a text, so only a
# message that reports position 0 gets there, as this one does).
agreement empty-view 'scroll 1004 bottom' 'note scrolled' controls 'click 2' exit
expect "empty view: a scroll event at position 0 reaches the limit 0" "enabled unchecked" \
    "$(control_state 1000 "$(section scrolled "$(cat "$work/empty-view.out")")")"

# --- Not a file, or a file someone else holds: the edit stays empty, nothing is reported --------
mkdir -p "$work/folder/Readme.txt"
agreement folder 'click 2' exit
shown_bytes folder "$work/folder.shown"
expect "a folder named Readme.txt: empty edit" "0" "$(wc -c <"$work/folder.shown")"
expect "a folder named Readme.txt: Cancel ends with 0" "exit 0" "$(tail -n1 "$work/folder.out")"

# The file is held open (sharing everything) by another program; the dialog opens it without
# sharing, which fails, so the edit stays empty.
mkdir -p "$work/held"
printf 'held\r\n' >"$work/held/Readme.txt"
(cd "$work/held" && drive "$(new_state held)" "start $holdfile_win Readme.txt BadInputReadmeHeld" \
    'waitevent BadInputReadmeHeld' "start $program_win" window 'click 1006' window \
    'hex on' 'text 1004' 'click 2' exit) >"$work/held.out"
expect "held by another program: empty edit, Cancel ends with 0" "$(printf 'text 1004 "" bytes=\nexit 0')" \
    "$(grep -E '^(text|exit) ' "$work/held.out")"

# --- Big files -----------------------------------------------------------------------------------
# One line of 1 MiB without a line end (whole characters): the text is the line and CR LF.
unit=$(printf '監視プログラム ﾄﾞﾗｲﾊﾞ abc ' | iconv -f UTF-8 -t CP932 | od -An -v -tx1 | tr -d ' \n')
mkdir -p "$work/long-line"
perl -e 'my $u = pack("H*", $ARGV[0]); my $s = $u x int(1048576 / length $u); print $s, "x" x (1048576 - length $s)' \
    "$unit" >"$work/long-line/Readme.txt"
{ cat "$work/long-line/Readme.txt"; printf '\r\n'; } >"$work/long-line.expected"
agreement long-line 'click 2' exit
shown_bytes long-line "$work/long-line.shown"
expect "one line of 1 MiB: the edit shows it and CR LF" "$(digest "$work/long-line.expected")" \
    "$(digest "$work/long-line.shown")"
expect "one line of 1 MiB: Cancel ends with 0" "exit 0" "$(tail -n1 "$work/long-line.out")"

# 10 MiB: the shipped explanation over and over (280,765 lines). The whole text is shown,
# a page down is not the end, the end is; agreeing then sets the port up as usual.
mkdir -p "$work/huge"
perl -0777 -ne 'print $_ x (int(10485760 / length) + 1)' "$root/res/Readme.txt" >"$work/huge/Readme.txt"
state=$(new_state huge)
(cd "$work/huge" && drive "$state" "start $program_win" window 'click 1006' 'window 60000' \
    'note opened' 'hex on' 'text 1004' 'hex off' controls 'edit 1004' 'scroll 1004 pagedown' 'note page' controls \
    'scroll 1004 bottom' 'note end' controls 'edit 1004' 'press 1000' 'until 1000 checked' 'click 1' \
    'note box' window controls 'click 1' exit) >"$work/huge.out"
shown_bytes huge "$work/huge.shown"
out=$(grep -v '^text 1004 ' "$work/huge.out")
expect "10 MiB: the edit shows the whole file" "$(digest "$work/huge/Readme.txt")" "$(digest "$work/huge.shown")"
agree_at() { control_state 1000 "$(section "$1" "$out")"; }
expect "10 MiB: agree disabled when opened and one page down, enabled at the end" \
    "disabled unchecked|disabled unchecked|enabled unchecked" "$(agree_at opened)|$(agree_at page)|$(agree_at end)"
lines=$(($(tr -cd '\n' <"$work/huge/Readme.txt" | wc -c) + 1))
view=$(grep '^edit 1004 ' <<<"$(section end "$out")")
page=$(sed -E 's/.* page=([0-9]+) .*/\1/' <<<"$view")
expect "10 MiB: every line is in the edit, the view on its last page" \
    "edit 1004 lines=$lines first=$((lines - page)) page=$page sel=0,0" "$view"
expect "10 MiB: the set-up still runs after agreeing" "$(quoted "$text_set_up")|exit 0" \
    "$(box_text "$(section box "$out")")|$(tail -n1 <<<"$out")"
expect "10 MiB: the port is open in both profiles" "$(both_open 58140)" "$(port_lines "$state" | paste -sd';' -)"

finish
