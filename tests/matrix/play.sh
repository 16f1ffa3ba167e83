# Runs the program as a user would through the windows the model predicts (agreement scrolled to
# its end and agreed, every removal row ticked), many runs to one uidriver, and checks each run.
# pause_commands run at pause_at (intro, agreement, removal, worker, box), ending with `use @first`.
# Sourced after lib.sh and model.sh. The driver's waits end when their thing comes, or after 60 s.
pause_at=
pause_commands=()
c_mode=() c_name=() c_before=() c_after=() c_code=() c_stage=() c_rows=() c_lines=()

expected_message() { # MODE CODE STAGE
    case "$1 $2 $3" in
        Silent\ *) ;;
        "Setup 0 worker") quoted "$text_set_up" ;;
        "Remove 0 worker") quoted "$text_removed" ;;
        *\ 2\ *) quoted "$text_unavailable" ;;
        *\ 3\ *) quoted "$text_not_admin" ;;
        "Setup 5 "*) quoted "$text_already_set_up" ;;
        "Remove 5 "*) quoted "$text_nothing_to_remove" ;;
        *\ 6\ *) quoted "$text_failed" ;;
    esac
}

case_lines() {
    at() { [ "$pause_at" != "$1" ] || printf '%s\n' ${pause_commands[@]+"${pause_commands[@]}"}; }
    local i exe=$program_win
    [ "$m_user" = admin ] || exe=$seam_win
    case $1 in
        Silent) echo "start $exe /S" && at worker ;;
        Setup) printf '%s\n' "start $exe" window && at intro && echo 'click 1006' ;;
        Remove) echo "start $exe /D" ;;
    esac
    if [ "$m_stage" = worker ] && [ "$1" != Silent ]; then
        echo window
        if [ "$1" = Setup ]; then
            at agreement
            printf '%s\n' 'scroll 1004 bottom' 'key space 1000' 'until 1000 checked' 'until 1 enabled'
        else
            at removal
            echo 'rows 1007'
            for i in "${!m_rows[@]}"; do echo "tick 1007 $i"; done
        fi
        echo 'click 1' && at worker
    fi
    [ "$1" = Silent ] || { echo window && at box && printf '%s\n' controls 'click 1'; }
    echo exit
}

# The lines from the last window on (a run's outcome box); the rows listed.
last_window() { awk '/^window /{ text = "" } { text = text $0 "\n" } END { printf "%s", text }' <<<"$1"; }
rows_of() { sed -nE 's/^row [0-9]+ ("([^"\\]|\\.)*").*/\1/p' <<<"$1" | paste -sd, -; }

# add_case MODE NAME: a case over the model's firewall and fault, with the model's prediction.
add_case() {
    local n=${#c_mode[@]}
    c_mode[n]=$1 c_name[n]=$2 c_before[n]=$(model_render)
    if [ "$1" = Remove ]; then model_remove; else model_setup; fi
    c_after[n]=$(model_render) c_code[n]=$m_code c_stage[n]=$m_stage c_lines[n]=$(case_lines "$1")
    c_rows[n]=$(for row in ${m_rows[@]+"${m_rows[@]}"}; do echo "\"$row\""; done | paste -sd, -)
}

# run_cases: every case against $state, one driver for as many cases as pass: before each case
# it waits for the go file, made once the case's firewall is written; perl keeps its output in
# cases.out and passes each case's end on (mawk would wait for more). A driver that fails ends
# its case; the next case starts a new one, with a go file of its own.
run_cases() {
    local next=0 i started end go
    while [ "$next" -lt "${#c_mode[@]}" ]; do
        # `use @first` makes the case's first program current again; the driver counts every start.
        started=0 go=$work/go$next
        for ((i = next; i < ${#c_mode[@]}; i++)); do
            printf 'waitfile %s 120000\nnote case %d\n%s\nnote end %d\n' "$(winpath "$go")" "$i" \
                "${c_lines[i]//@first/$((started + 1))}" "$i"
            started=$((started + $(grep -c '^start ' <<<"${c_lines[i]}" || true)))
        done >"$work/cases.script"
        rm -f "$work/ends" && mkfifo "$work/ends"
        SIMFW_STATE=$state "$wine" "$bin/uidriver.exe" "@$(winpath "$work/cases.script")" </dev/null 2>&1 |
            perl -ne 'BEGIN { open(OUT, ">", shift) or die; OUT->autoflush; STDOUT->autoflush }
                print OUT $_; print if /^note end /' "$work/cases.out" >"$work/ends" &
        exec 3<"$work/ends"
        for ((i = next; i < ${#c_mode[@]}; i++)); do
            printf '%s\n' "${c_before[i]}" >"$state"
            rm -f "$state.leaks"
            prepare_case "$i"
            : >"$go"
            read -r -t 300 -u 3 end || end=
            # got_out: the case's output, lines cut to 100,000 characters (case.out has them whole).
            awk -v i="$i" '$0 == "note case " i { on = 1; next } $0 == "note end " i { exit } on' "$work/cases.out" >"$work/case.out"
            got_out=$(cut -c1-100000 "$work/case.out")
            next=$((i + 1))
            [ "$end" = "note end $i" ] || got_out+=$'\n''uidriver failed'
            check_case "$i"
            [ "$end" = "note end $i" ] || break
        done
        exec 3<&-
    done
}

# Hooks a script may replace: prepare_case I runs before case I, check_case I after it.
prepare_case() { :; }
check_case() { check_run "$1"; }

check_run() {
    local i=$1 problems=() box code shown expected=
    box=$(last_window "$got_out")
    code=$(tail -n1 <<<"$got_out" | sed 's/^exit //')
    [ "${c_mode[i]}" = Silent ] || shown="$(head -n1 <<<"$box") $(box_text "$box")" \
        expected="window $(quoted "$box_caption") $(expected_message "${c_mode[i]}" "${c_code[i]}" "${c_stage[i]}")"
    [ "$code" = "${c_code[i]}" ] || problems+=("exit code: expected ${c_code[i]}, got $code")
    [ "${shown:-}" = "$expected" ] || problems+=("box: expected $expected, got $shown")
    [ "$(rows_of "$got_out")" = "${c_rows[i]}" ] || problems+=("rows: expected ${c_rows[i]}")
    [ "$(cat "$state")" = "${c_after[i]}" ] ||
        problems+=("firewall: $(diff <(printf '%s\n' "${c_after[i]}") "$state" | grep '^[<>]' | tr '\n' ';')")
    [ ! -e "$state.leaks" ] || problems+=("leak: $(tr '\n' ' ' <"$state.leaks")")
    [ "${#problems[@]}" -ne 0 ] || return 0
    failures=$((failures + 1))
    echo "FAIL ${c_name[i]} (expected ${c_code[i]} at ${c_stage[i]})"
    printf '     %s\n' "${problems[@]}"
    sed 's/^/     | /' <<<"$got_out"
}
