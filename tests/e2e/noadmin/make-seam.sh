#!/usr/bin/env bash
# The "limited user" seam for black-box runs (see README.md in this folder).
#
#   make-seam.sh def OBJDUMP EXE ARCH OUT.def    forwarders for every advapi32 import of EXE
#   make-seam.sh patch OBJDUMP EXE OUT.exe       EXE with its ADVAPI32.dll import renamed NOADMIN1.dll
set -euo pipefail

mode=$1 objdump=$2 exe=$3
die() { echo "make-seam: $*" >&2; rm -f "${out:-}.tmp"; exit 1; }

# The exact spelling of the import's DLL name (the loader ignores case, the patch must not).
dll_name=$("$objdump" -p "$exe" | awk '$1 == "DLL" && $2 == "Name:" && tolower($3) == "advapi32.dll" && !found { print $3; found = 1 }')
[ -n "$dll_name" ] || die "$exe imports nothing from advapi32"

case "$mode" in
def)
    arch=$4 out=$5
    # OpenSCManagerA is NoAdmin.cpp's own; stdcall names carry their argument size on x86.
    own=NoAdminOpenSCManagerA
    [ "$arch" = x86 ] && own=NoAdminOpenSCManagerA@12
    {
        echo "LIBRARY NOADMIN1.dll"
        echo "EXPORTS"
        "$objdump" -p "$exe" | awk -v dll="$dll_name" -v own="$own" '
            $1 == "DLL" && $2 == "Name:" { inside = ($3 == dll); next }
            inside && NF == 0 { inside = 0 }
            inside && $1 ~ /^[0-9a-f]+$/ && NF == 3 {
                if ($3 == "OpenSCManagerA") print "    OpenSCManagerA=" own
                else print "    " $3 "=advapi32." $3
            }'
    } >"$out.tmp"
    grep -q '^    OpenSCManagerA=' "$out.tmp" || die "$exe does not import OpenSCManagerA"
    mv "$out.tmp" "$out"
    ;;
patch)
    out=$4
    new=NOADMIN1.dll
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
