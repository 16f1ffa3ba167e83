#!/usr/bin/env bash
# DLLs planted beside the program and in the folder it starts from, under the names of system
# DLLs that are no Known DLLs: none of them runs in the program, in Setup, Remove and Silent,
# also where the system cannot restrict the DLL search (the nodlldirs seam: a Windows without
# SetDefaultDllDirectories), and every run ends as it does without them.
source "$(dirname "$0")/lib.sh"

# The names the program's start-up keeps to the system folder, COMCTL32 among them (it is bound
# through the manifest and loaded after the search was restricted). Wine is told to take each
# from the program's folder first, as Windows searches it for a DLL loaded by name. VERSION is
# planted but keeps Wine's own load order: Wine's user32 imports it, Windows' does not, so Wine
# would load it from the program's folder before the program's first instruction, a load that
# Windows never makes.
names=(comctl32 uxtheme dwmapi cryptbase oleacc clbcatq userenv setupapi apphelp propsys msimg32)
overrides='HKCU\Software\Wine\AppDefaults\FirewallSetup.exe\DllOverrides'
"$wine" reg delete "$overrides" /f >/dev/null 2>&1 || true
for name in "${names[@]}"; do
    "$wine" reg add "$overrides" /v "$name" /d native,builtin /f >/dev/null 2>&1
done
trap '"$wine" reg delete "$overrides" /f >/dev/null 2>&1 || true; cleanup' EXIT

marks=$work/marks
start=$work/start
mkdir -p "$marks" "$start"
export FWSETUP_PLANT_MARKS
FWSETUP_PLANT_MARKS=$(winpath "$marks")
plant() { # FOLDER
    local name
    for name in "${names[@]}" version; do
        cp "$bin/planted.dll" "$1/$name.dll"
    done
}
plant "$start"
# The program and its seam copy, each in a folder of its own with the explanation and the
# planted DLLs beside it.
for copy in program nodlldirs; do
    mkdir -p "$work/$copy"
    if [ "$copy" = program ]; then cp "$bin/FirewallSetup.exe" "$work/$copy/"; else cp "$bin/nodlldirs/"* "$work/$copy/"; fi
    cp "$bin/Readme.txt" "$work/$copy/"
    plant "$work/$copy"
done

set_port_number 58140
listed=$(monitor_port_line Standard 58140)
for copy in program nodlldirs; do
    exe=$(winpath "$work/$copy/FirewallSetup.exe")
    cd "$start"

    state=$(new_state "$copy-silent")
    expect "$copy, Silent: exit 0" "exit 0" "$(drive "$state" "start $exe /S" exit)"
    expect "$copy, Silent: the port is open in both profiles" "$(both_open 58140)" "$(port_lines "$state")"

    state=$(new_state "$copy-setup")
    out=$(drive "$state" "start $exe" "${setup_steps[@]}" window controls 'click 1' exit)
    expect "$copy, Setup: success box, exit 0" "$(quoted "$text_set_up") / exit 0" \
        "$(box_text "$out") / $(tail -n1 <<<"$out")"
    expect "$copy, Setup: the port is open in both profiles" "$(both_open 58140)" "$(port_lines "$state")"

    state=$(new_state "$copy-remove" 'current Standard' "$listed")
    out=$(drive "$state" "start $exe /D" "${remove_steps[@]}" window controls 'click 1' exit)
    expect "$copy, Remove: success box, exit 0" "$(quoted "$text_removed") / exit 0" \
        "$(box_text "$out") / $(tail -n1 <<<"$out")"
    expect "$copy, Remove: the port is gone" "" "$(port_lines "$state")"

    expect "$copy: no planted DLL ran" "" "$(ls "$marks")"
    rm -f "$marks"/*
done

finish
