# The runner of the fault matrix, the stress runs, the second starts and the bad-input scenarios:
# many cases, each one or more runs of the program through uidriver, checked one by one.
# Sourced after lib.sh and model.sh.
#
# A case is its driver lines, the firewall before it and its checks. add_case makes one from the
# model: a user's way through the windows the model predicts (the agreement scrolled to its end
# and agreed, every removal row ticked) and the model's prediction. run_cases runs all of them
# through as few drivers as it can, since a driver's start is what takes time: one driver runs
# case after case until it fails in one (a window that does not come, a button it cannot click);
# the next case starts a new one.
#
# A case can stop at a point of its run (pause_at: intro, agreement, removal, worker or box) to
# run pause_commands there, which end with `use @first` (@first: the case's first program).

pause_at=
pause_commands=()
c_mode=() c_name=() c_before=() c_after=() c_code=() c_stage=() c_rows=() c_lines=()

# --- Cases from the model ---------------------------------------------------------------------

# add_case MODE NAME: a case over the model's firewall and fault, with the model's prediction.
add_case() {
    local n=${#c_mode[@]} row
    # Making the cases takes a while: another test's failure ends it as well.
    stop_if_suite_stopping
    c_mode[n]=$1 c_name[n]=$2 c_before[n]=$(model_render)
    if [ "$1" = Remove ]; then model_remove; else model_setup; fi
    c_after[n]=$(model_render) c_code[n]=$m_code c_stage[n]=$m_stage c_lines[n]=$(case_lines "$1")
    c_rows[n]=$(for row in ${m_rows[@]+"${m_rows[@]}"}; do echo "\"$row\""; done | paste -sd, -)
}

# case_lines MODE: the driver's lines for a MODE run by m_user that the model ends at m_stage.
case_lines() {
    local mode=$1 exe=$program_win row
    [ "$m_user" = admin ] || exe=$seam_win
    case $mode in
        Silent) echo "start $exe /S"; pause_here worker ;;
        Setup) printf '%s\n' "start $exe" window; pause_here intro; echo 'click 1006' ;;
        Remove) echo "start $exe /D" ;;
    esac
    # Past the precheck: the agreement or the removal list, then the worker.
    if [ "$m_stage" = worker ] && [ "$mode" != Silent ]; then
        echo window
        if [ "$mode" = Setup ]; then
            pause_here agreement
            printf '%s\n' 'scroll 1004 bottom' 'key space 1000' 'until 1000 checked' 'until 1 enabled'
        else
            pause_here removal
            echo 'rows 1007'
            for row in "${!m_rows[@]}"; do echo "tick 1007 $row"; done
        fi
        echo 'click 1'
        pause_here worker
    fi
    # The outcome box, read and closed.
    [ "$mode" = Silent ] || { echo window; pause_here box; printf '%s\n' controls 'click 1'; }
    echo exit
}

# pause_here POINT: the pause commands, when the case pauses at POINT.
pause_here() { [ "$pause_at" != "$1" ] || printf '%s\n' ${pause_commands[@]+"${pause_commands[@]}"}; }

# --- Running the cases -------------------------------------------------------------------------

# run_cases [FIRST]: every case from FIRST (default 0) on against the state file $state, in
# order, checked by check_case.
run_cases() {
    local first=${1:-0} i
    while [ "$first" -lt "${#c_lines[@]}" ]; do
        start_driver "$first"
        for ((i = first; i < ${#c_lines[@]}; i++)); do
            run_case "$i" || break
        done
        exec 3<&-
        first=$((i + 1))
    done
}

# start_driver FIRST: a driver in the background for the cases from FIRST on. Before each case it
# waits for the go file, and it marks each case's output with `note case I` and `note end I`.
# Its output goes to cases.out; fd 3 reads the end lines as the driver prints them.
start_driver() {
    local i started=0
    # A go file per driver: a driver that hangs cannot take the go meant for the next one.
    go=$work/go$1
    for ((i = $1; i < ${#c_lines[@]}; i++)); do
        printf '%s\n' "waitfile $(winpath "$go") 120000" "note case $i" "${c_lines[i]//@first/$((started + 1))}" \
            "note end $i"
        # The driver numbers the programs it starts from 1.
        started=$((started + $(grep -c '^start ' <<<"${c_lines[i]}" || true)))
    done >"$work/cases.script"
    exec 3< <(SIMFW_STATE=$state "$wine" "$bin/uidriver.exe" "@$(winpath "$work/cases.script")" </dev/null 2>&1 |
        copy_passing_ends "$work/cases.out")
}

# copy_passing_ends FILE: copies its input into FILE and passes on the end lines, each line as it
# comes (perl flushes at once where mawk would wait for more input).
copy_passing_ends() {
    perl -ne 'BEGIN { open(OUT, ">", shift) or die; OUT->autoflush; STDOUT->autoflush }
        print OUT $_; print if /^note end /' "$1"
}

# run_case I: writes case I's firewall, lets the driver go on, waits for the case's end and checks
# the case; false when the driver did not get to the end of it (it failed, or hangs).
run_case() {
    local end=
    stop_if_suite_stopping
    printf '%s\n' "${c_before[$1]}" >"$state"
    rm -f "$state.leaks"
    prepare_case "$1"
    : >"$go"
    read -r -t 300 -u 3 end || true
    # The case's output: whole in case.out, in got_out with its lines cut to 100,000 characters.
    awk -v i="$1" '$0 == "note case " i { on = 1; next } $0 == "note end " i { exit } on' "$work/cases.out" \
        >"$work/case.out"
    got_out=$(cut -c1-100000 "$work/case.out")
    [ "$end" = "note end $1" ] || got_out+=$'\n''uidriver failed'
    check_case "$1"
    [ "$end" = "note end $1" ]
}

# Hooks a script may replace: prepare_case I runs before case I, check_case I after it.
prepare_case() { :; }
check_case() { check_run "$1"; }

# --- Checking a run against the model ------------------------------------------------------------

# check_run I: the exit code, the outcome box (caption and text), the rows of the removal list,
# the firewall byte for byte and no leak report of simfw.dll, as the model predicts; a failing
# case is reported with the driver's output.
check_run() {
    local i=$1 problems=() box code shown= expected=
    box=$(last_window "$got_out")
    code=$(tail -n1 <<<"$got_out" | sed 's/^exit //')
    if [ "${c_mode[i]}" != Silent ]; then
        shown="$(head -n1 <<<"$box") $(box_text "$box")"
        expected="window $(quoted "$box_caption") $(expected_message "${c_mode[i]}" "${c_code[i]}" "${c_stage[i]}")"
    fi
    [ "$code" = "${c_code[i]}" ] || problems+=("exit code: expected ${c_code[i]}, got $code")
    [ "$shown" = "$expected" ] || problems+=("box: expected $expected, got $shown")
    [ "$(rows_of "$got_out")" = "${c_rows[i]}" ] || problems+=("rows: expected ${c_rows[i]}")
    [ "$(cat "$state")" = "${c_after[i]}" ] ||
        problems+=("firewall: $(diff <(printf '%s\n' "${c_after[i]}") "$state" | grep '^[<>]' | tr '\n' ';')")
    [ ! -e "$state.leaks" ] || problems+=("leak: $(tr '\n' ' ' <"$state.leaks")")
    [ "${#problems[@]}" -ne 0 ] || return 0
    echo "FAIL ${c_name[i]} (expected ${c_code[i]} at ${c_stage[i]})"
    printf '     %s\n' "${problems[@]}"
    sed 's/^/     | /' <<<"$got_out"
    failed_check
}

expected_message() { # MODE CODE STAGE: the text of the box that ends a Setup or Remove run, quoted
    case "$1 $2 $3" in
        "Setup 0 worker") quoted "$text_set_up" ;;
        "Remove 0 worker") quoted "$text_removed" ;;
        *\ 2\ *) quoted "$text_unavailable" ;;
        *\ 3\ *) quoted "$text_not_admin" ;;
        "Setup 5 "*) quoted "$text_already_set_up" ;;
        "Remove 5 "*) quoted "$text_nothing_to_remove" ;;
        *\ 6\ *) quoted "$text_failed" ;;
    esac
}

# The lines from the last window on (a run's outcome box); the rows a removal list showed.
last_window() { awk '/^window /{ text = "" } { text = text $0 "\n" } END { printf "%s", text }' <<<"$1"; }
rows_of() { sed -nE 's/^row [0-9]+ ("([^"\\]|\\.)*").*/\1/p' <<<"$1" | paste -sd, -; }
