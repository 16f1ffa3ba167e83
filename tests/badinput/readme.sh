#!/usr/bin/env bash
# Readme.txt as it may come: the agreement shows exactly the text the rules give (lines joined
# with CR LF, 0x1A ends it, UTF-8 and UTF-16 decoded, other bytes as code page 932); agree waits
# for a scroll event at the end, and without a readable file it never comes. The program is a
# copy alone in the folder, so that no Readme.txt lies beside it either.
source "$(dirname "$0")/common.sh"

set_port_number 58140
state=$work/readme.state
before=
mkdir -p "$work/readme"
cd "$work/readme"
cp "$bin/FirewallSetup.exe" .
program_win=$(winpath FirewallSetup.exe)

# title | bytes | text shown in code page 932 (printf formats; "-": no file, "/": a folder; "!":
# the line that says the file cannot be read). A lead byte before a byte that cannot trail shows
# as one "・" (81 45): the platform's conversion, not the program.
cases=(
    'missing|-|!'
    'a folder named Readme.txt|/|!'
    'empty||'
    'only the end mark|\x1a|'
    'end mark in the middle|line1\r\nab\x1acd\r\nline3\r\n|line1\r\nab\r\n'
    'end mark right after a lead byte|ab\x83\x1acd\r\n|ab\x81\x45\n'
    'NUL bytes|one\0two\r\nthree\r\n|one'
    'NUL right after a lead byte|a\x81\0b\r\nc|a\x81\x45'
    'UTF-16, a byte 0x0A inside a character (上)|\xff\xfe\x0aN\r\0\n\0|\x8f\xe3\r\n'
    'only a UTF-8 byte order mark|\xef\xbb\xbf|'
    'UTF-8 but for one stray byte, so code page 932|caf\xc3\xa9 \xa5\r\n|caf\xc3\xa9 \xa5\r\n'
    'lead byte at the end of the file|abc\x83|abc\x81\x45\n'
    'lead byte at the end of a line|ab\x83\r\ncd\r\n|ab\x81\x45\ncd\r\n'
    'lead byte before a byte that cannot trail|a\x83\x20b\r\nx\x85\x40y\r\n|a\x81\x45b\r\nx\x81\x45y\r\n'
    'bytes that are no character|\x80\xa0\xfd\xfe\xff\r\n|\x80\xa0\xfd\xfe\xff\r\n'
    'blank lines of a Windows text|a\r\n\r\n\r\nb\r\n|a\r\n\r\n\r\nb\r\n'
    'bare line feeds and lone carriage returns|a\rb\nc\r\r\n\nd\r|a\rb\r\nc\r\r\n\r\nd\r\r\n'
    'one line of 1 MiB without a line end|big 1|'
    '10 MiB, the shipped explanation over and over (280,765 lines)|big 10|'
)
opened=("start $program_win" window 'click 1006' window 'note opened' 'hex on' 'text 1004' 'hex off' controls)
for c in "${cases[@]}"; do
    IFS='|' read -r title bytes _ <<<"$c"
    case $bytes in
        'big 1') add_lines "${opened[@]}" 'click 2' exit ;;
        'big 10') add_lines "${opened[@]}" 'scroll 1004 pagedown' 'note keys' controls 'scroll 1004 bottom' \
            'note scrolled' controls 'edit 1004' 'press 1000' 'until 1000 checked' 'click 1' window controls \
            'click 1' exit ;;
        # A text that fits has the scroll limit 0: no key reaches it, a scroll event does.
        *) add_lines "${opened[@]}" 'key pagedown 1004' 'key end 1004' 'note keys' controls 'scroll 1004 bottom' \
            'note scrolled' controls 'click 2' exit ;;
    esac
done

unit=$(cp932 '監視プログラム ﾄﾞﾗｲﾊﾞ abc ' | hex_of)
prepare_case() {
    local bytes shown
    IFS='|' read -r _ bytes shown <<<"${cases[$1]}"
    rm -rf Readme.txt
    case $bytes in
        -) ;;
        /) mkdir Readme.txt ;;
        'big 1') perl -e 'my $u = pack("H*", $ARGV[0]); my $s = $u x int(1048576 / length $u);
            print $s, "x" x (1048576 - length $s)' "$unit" >Readme.txt ;;
        'big 10') perl -0777 -ne 'print $_ x (int(10485760 / length) + 1)' "$root/res/Readme.txt" >Readme.txt ;;
        *) printf "$bytes" >Readme.txt ;;
    esac
    case $bytes in
        big*) cp Readme.txt "$work/expected" && [ "$bytes" = 'big 10' ] || printf '\r\n' >>"$work/expected" ;;
        *) [ "$shown" = '!' ] && cp932 "$text_no_explanation" >"$work/expected" ||
            printf "$shown" >"$work/expected" ;;
    esac
}
digest() { [ "$(wc -c <"$1")" -gt 4096 ] && sha256sum <"$1" | cut -c1-64 || hex_of <"$1"; }
agree_at() { control_state 1000 "$(section "$1" "$got_out")"; }
check_case() {
    local title bytes shown lines page view at_end=enabled
    IFS='|' read -r title bytes shown <<<"${cases[$1]}"
    [ "$shown" != '!' ] || at_end=disabled
    grep '^text 1004 ' "$work/case.out" | grep -o '[0-9a-f]*$' | perl -ne 'chomp; print pack("H*", $_)' >"$work/shown"
    expect "$title: the edit shows the text, Cancel or the set-up ends with 0" "$(digest "$work/expected")|exit 0" \
        "$(digest "$work/shown")|$(tail -n1 <<<"$got_out")"
    [ "$bytes" = 'big 1' ] || expect "$title: agree disabled when opened and before the end, $at_end at the end" \
        "disabled unchecked|disabled unchecked|$at_end unchecked" "$(agree_at opened)|$(agree_at keys)|$(agree_at scrolled)"
    [ "$bytes" = 'big 10' ] || return 0
    lines=$(($(tr -cd '\n' <Readme.txt | wc -c) + 1))
    view=$(grep '^edit 1004 ' <<<"$got_out")
    page=$(sed -E 's/.* page=([0-9]+) .*/\1/' <<<"$view")
    expect "$title: every line is in the edit, the view on its last page; the set-up runs after agreeing" \
        "edit 1004 lines=$lines first=$((lines - page)) page=$page sel=0,0|$(quoted "$text_set_up")|$(both_open 58140)" \
        "$view|$(box_text "$(last_window "$got_out")")|$(port_lines "$state")"
}
run_cases
finish
