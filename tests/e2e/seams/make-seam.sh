#!/usr/bin/env bash
# A seam for black-box runs (see README.md in this folder): the program with one import DLL
# renamed, beside a DLL of that name that forwards everything to the real DLL but one function.
#
#   make-seam.sh def OBJDUMP EXE DLL NEW FUNCTION OWN OUT.def
#       exports of NEW: every DLL import of EXE forwarded to DLL, FUNCTION bound to the symbol OWN
#   make-seam.sh patch OBJDUMP EXE DLL NEW OUT.exe
#       EXE with its import of DLL renamed NEW (same length)
set -euo pipefail

mode=$1 objdump=$2 exe=$3 dll=$4 new=$5
die() { echo "make-seam: $*" >&2; rm -f "${out:-}.tmp"; exit 1; }

# The exact spelling of the import's DLL name (the loader ignores case, the patch must not).
dll_name=$("$objdump" -p "$exe" | awk -v dll="$dll" '$1 == "DLL" && $2 == "Name:" && tolower($3) == tolower(dll) && !found { print $3; found = 1 }')
[ -n "$dll_name" ] || die "$exe imports nothing from $dll"

case "$mode" in
def)
    failing=$6 own=$7 out=$8
    {
        echo "LIBRARY $new"
        echo "EXPORTS"
        "$objdump" -p "$exe" | awk -v dll="$dll_name" -v target="${dll%.*}" -v failing="$failing" -v own="$own" '
            $1 == "DLL" && $2 == "Name:" { inside = ($3 == dll); next }
            inside && NF == 0 { inside = 0 }
            inside && $1 ~ /^[0-9a-f]+$/ && NF == 3 {
                if ($3 == failing) print "    " failing "=" own
                else print "    " $3 "=" target "." $3
            }'
    } >"$out.tmp"
    grep -q "^    $failing=" "$out.tmp" || die "$exe does not import $failing"
    mv "$out.tmp" "$out"
    ;;
patch)
    out=$6
    [ ${#new} -eq ${#dll_name} ] || die "the new name must be as long as $dll_name"
    offsets=$(grep -obUa -- "$dll_name" "$exe" | cut -d: -f1)
    [ "$(echo "$offsets" | wc -l)" -eq 1 ] || die "$dll_name occurs more than once in $exe"
    cp "$exe" "$out.tmp"
    printf '%s' "$new" | dd of="$out.tmp" bs=1 seek="$offsets" conv=notrunc status=none
    # Nothing but those bytes may differ, and the import must now name the new DLL.
    [ "$(cmp -l "$exe" "$out.tmp" | wc -l)" -le ${#new} ] || die "the patch changed more than the name"
    patched=$("$objdump" -p "$out.tmp")
    grep -q "DLL Name: $new" <<<"$patched" || die "the patched import is not there"
    mv "$out.tmp" "$out"
    ;;
*)
    die "unknown mode $mode"
    ;;
esac
