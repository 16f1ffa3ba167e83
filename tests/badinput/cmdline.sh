#!/usr/bin/env bash
# The command line from outside: representative rows of the mode choice, arguments of 32 KB and
# arguments that are not ASCII (full-width letters, a double-byte character whose second byte is
# "D", a lead byte cut off at the end), each given to the real program. Which mode ran shows in
# what the program does: Setup opens the intro, Remove with nothing to remove shows its box at
# once (exit 5), Silent with nothing to do ends with 5 and never shows a window.
source "$(dirname "$0")/common.sh"

set_port_number 58140
setup_state=$(new_state setup)
remove_state=$(new_state remove 'port Standard TCP 8080 enabled all any user - Web proxy')
silent_state=$(new_state silent "$(monitor_port_line Domain 58140)" "$(monitor_port_line Standard 58140)")
cp "$silent_state" "$work/silent.before"

# Rows are driven from script files, which carry their bytes to the program unchanged (code
# page 932, or no valid text at all).
setup_script=$work/setup.script
remove_script=$work/remove.script
silent_script=$work/silent.script
: >"$setup_script"
: >"$remove_script"
: >"$silent_script"
setup_rows=()
remove_rows=()
silent_rows=()

# ROW TITLE ARGS (ARGS a printf format): the script lines of one start of the program.
setup_row() {
    setup_rows+=("$1")
    { printf 'note %s\nstart %s ' "$1" "$program_win"; printf -- "$2"; printf '\nwindow\ntext 1005\nclick 2\nexit\n'; } \
        >>"$setup_script"
}
remove_row() {
    remove_rows+=("$1")
    { printf 'note %s\nstart %s ' "$1" "$program_win"; printf -- "$2"; printf '\nwindow\ncontrols\nclick 1\nexit\n'; } \
        >>"$remove_script"
}
silent_row() {
    silent_rows+=("$1")
    { printf 'note %s\nstart %s ' "$1" "$program_win"; printf -- "$2"; printf '\nexit\n'; } >>"$silent_script"
}

# repeat TEXT [KEEP]: TEXT over and over, whole repetitions, as long as a command line of 32,766
# characters (the system's limit) allows after the program's path, a blank and KEEP more.
repeat() {
    local room=$((32766 - ${#program_win} - 1 - ${2:-0}))
    perl -CS -e 'my ($t, $room) = @ARGV; utf8::decode($t); print $t x int($room / length $t)' "$1" "$room"
}

# The bytes of a UTF-8 text in code page 932, as a printf format.
cp932_format() { iconv -f UTF-8 -t CP932 | od -An -v -tx1 | tr -d '\n' | sed 's/ /\\x/g'; }

setup_row 'no argument' ''
setup_row '/S extra' '/S extra'
setup_row '/DS' '/DS'
setup_row 'a lone dash' '-'
setup_row 'an empty quoted argument' '""'
setup_row '//D' '//D'
setup_row '-/D' '-/D'
setup_row '/ D (a lone slash, then D)' '/ D'
setup_row '"D S" (one argument with a blank)' '"D S"'
setup_row 'S D and a file name' 'S D setup.txt'
setup_row 'full-width D' '\x82\x63'
setup_row 'full-width s behind a slash' '/\x82\x93'
setup_row 'a double-byte character whose second byte is D' '/\x83\x44'
setup_row 'a lone lead byte behind a dash' '-\x81'
# A lead byte before a blank: the system makes the pair one character ("・"), so the program gets
# one argument "/D・x".
setup_row 'D, a lead byte, a blank and x' '/D\x81 x'
setup_row 'Japanese text' "$(printf '設定' | cp932_format)"
setup_row 'one argument of 32 KB' "$(repeat x)"
setup_row 'one argument of 32,000 double-byte characters' "$(repeat 設 | cp932_format)"
setup_row 'about 10,000 times /D, then x' "$(repeat '/D ' 1)x"

remove_row '/d' '/d'
remove_row '-D' '-D'
remove_row 'D' 'D'
remove_row 'd' 'd'
remove_row '"D" quoted' '"D"'
# A lead byte that ends the command line does not reach the program: the system drops the
# incomplete character when it converts the command line, so the program gets "/D".
remove_row 'D and a lead byte cut off' '/D\x81'
remove_row 'S D' 'S D'
remove_row '/S /D' '/S /D'
remove_row '/D /S' '/D /S'
remove_row 'about 10,000 times /D' "$(repeat ' /D')"
remove_row 'about 10,000 times -s and /d alternating' "$(repeat ' -s /d')"

silent_row '/S' '/S'
silent_row '-s' '-s'
silent_row 's' 's'
silent_row '/s /S' '/s /S'
silent_row '"/S" quoted' '"/S"'
silent_row 'about 10,000 times -S' "$(repeat ' -S')"

setup_out=$(drive "$setup_state" "@$(winpath "$setup_script")")
remove_out=$(drive "$remove_state" "@$(winpath "$remove_script")")
silent_out=$(drive "$silent_state" "@$(winpath "$silent_script")")

intro=$(printf 'text 1005 %s\nexit 0' "$(quoted "$(port_sentence 58140)")")
for row in "${setup_rows[@]}"; do
    expect "Setup for $row: the intro, Cancel ends with 0" "$intro" \
        "$(section "$row" "$setup_out" | grep -E '^(text 1005|exit|error|uidriver)')"
done
for row in "${remove_rows[@]}"; do
    s=$(section "$row" "$remove_out")
    expect "Remove for $row: its box at once, exit 5" "$(quoted "$text_nothing_to_remove")|exit 5" \
        "$(box_text "$s")|$(grep -E '^(exit|error|uidriver)' <<<"$s")"
done
for row in "${silent_rows[@]}"; do
    expect "Silent for $row: no window, exit 5" "exit 5" \
        "$(section "$row" "$silent_out" | grep -E '^(window|exit|error|uidriver)')"
done
expect "no run changed the firewall" "$(cat "$work/silent.before")|$(port_lines "$remove_state")|" \
    "$(cat "$silent_state")|$(port_lines "$remove_state")|$(port_lines "$setup_state")"

finish
