#!/usr/bin/env bash
# Names and address lists longer than their 260-byte fields, cut inside a double-byte character,
# empty, or only like the monitor's: Silent goes by number and protocol; Remove lists exactly
# the monitor-named ports (any letter case), never a cut long name.
source "$(dirname "$0")/common.sh"

cd "$bin"
set_port_number 58140

# padded BYTES: the monitor's name and "x" up to BYTES bytes in code page 932.
padded() {
    local pad=$(($1 - $(cp932 "$monitor_name" | wc -c)))
    printf '%s%s' "$monitor_name" "$(printf "%${pad}s" '' | tr ' ' x)"
}
remote=$(printf '10.0.0.1/255.255.255.255,%.0s' {1..25})
remote=${remote%,}
name259=$(padded 259)
name260=$(padded 260)
name600=$(padded 600)
straddling="$(printf '%258s' '' | tr ' ' a)監視プログラム" # 監 takes bytes 258 and 259 of the name

before=$(printf '%s\n' "port Domain UDP 58140 enabled subnet any user - $name600" \
    "port Standard UDP 58140 enabled custom any user $remote $straddling")
state=$(new_state long "$before")
expect "long names on the monitor's port: Silent has nothing to do, changes nothing" "5|$before" \
    "$(run "$state" /S)|$(port_lines "$state")"

# profile protocol number | name | listed ("+", "+remote" with a long address list). "é" is
# written as "e" in code page 932, so that name is exactly the monitor's.
ports=(
    "Domain UDP 5001|$monitor_name|+" "Domain UDP 5002|$name259|" "Domain UDP 5003|$name260|"
    "Domain UDP 5004|$name600|" "Domain UDP 5005|$straddling|" "Domain UDP 5006||"
    "Domain TCP 5007|${monitor_name^^}|+" "Domain UDP 5008|$monitor_name|+remote" "Domain UDP 5009|$monitor_name |"
    "Domain UDP 5010|${monitor_name/Tessaly/Téssaly}|+" "Domain UDP 5011|${monitor_name/Tessaly/Ｔｅｓｓａｌｙ}|"
    "Domain UDP 5012|${monitor_name}😀|" "Standard UDP 5001|$monitor_name|+" "Standard UDP 5004|${name600%x}y|"
    "Standard UDP 5005|$straddling|" "Standard UDP 6001|${monitor_name^^}|+remote"
)
lines=() kept=() listed=()
for p in "${ports[@]}"; do
    IFS='|' read -r where name mark <<<"$p"
    read -r profile proto number <<<"$where"
    scope='subnet any user -' && [ "$mark" != +remote ] || scope="custom any user $remote"
    lines+=("port $profile $proto $number enabled $scope${name:+ $name}")
    if [ -z "$mark" ]; then kept+=("${lines[-1]}"); elif [ "$profile $number" != "Standard 5001" ]; then listed+=("\"$proto $number\""); fi
done
state=$(new_state remove "${lines[@]}")
out=$(drive "$state" "start $program_win /D" window 'rows 1007' 'tick 1007 0' 'tick 1007 1' 'tick 1007 2' \
    'tick 1007 3' 'tick 1007 4' 'click 1' window controls 'click 1' exit)
expect "Remove lists the monitor-named ports only, Domain first, and removes them (5001 from both profiles)" \
    "$(IFS=,; echo "${listed[*]}")|$(quoted "$text_removed")|exit 0|$(printf '%s\n' "${kept[@]}")" \
    "$(rows_of "$out")|$(box_text "$out")|$(tail -n1 <<<"$out")|$(port_lines "$state")"
finish
