#!/usr/bin/env bash
# Back-to-back runs over one firewall: Silent runs alternate with Remove runs (through the
# removal dialog, every row ticked), each with a random fault of the call table or none. The
# firewall carries over from run to run. After every run the state file must be well-formed
# (every line a known statement in canonical spelling) and exactly what the model predicts, the
# exit code and message the ones the fault predicts, and no firewall object left alive.
#
#   stress.sh ARCH    STRESS_RUNS (default 200) and STRESS_SEED (default: random, printed)
source "$(dirname "$0")/../e2e/lib.sh"
source "$(dirname "$0")/../matrix/model.sh"
source "$(dirname "$0")/../matrix/play.sh"

runs=${STRESS_RUNS:-200}
seed=${STRESS_SEED:-$(((RANDOM << 15) | RANDOM))}
echo "stress ($arch): $runs runs, seed $seed (STRESS_SEED=$seed repeats them)"
RANDOM=$seed

cd "$bin"
set_port_number "$m_port_number"

# well_formed FILE: prints the lines that are not statements as simfw writes them back: the
# `current` line first, Domain ports before Standard ports, single blanks, lower-case keywords.
well_formed() {
    awk '
        function bad(why) { printf "line %d (%s): %s\n", NR, why, $0 }
        NR == 1 { if ($0 !~ /^current (Domain|Standard)$/) bad("not the current line"); next }
        /^port / {
            if ($0 !~ /^port (Domain|Standard) (TCP|UDP|[0-9]+) [0-9]+ (enabled|disabled) (all|subnet|custom) (v4|v6|any) (user|builtin) [^ ]+( [^ ].*)?$/)
                bad("not a canonical port line")
            else if (fails || ($2 == "Domain" && standard)) bad("out of order")
            if ($2 == "Standard") standard = 1
            next
        }
        /^fail (Domain|Standard|Current|\*) I?[A-Za-z]+::[A-Za-z_]+ 0x[0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f]$/ { fails = 1; next }
        { bad("unknown statement") }
        END { if (NR == 0) print "empty file" }
    ' "$1"
}

mapfile -t faults < <(fault_list)
state=$work/stress.state
printf '%s\n' "current Standard" "port Domain TCP 3389 enabled all v4 builtin - Remote Desktop" \
    "port Standard TCP 80 disabled custom any user 10.0.0.0/255.0.0.0,LocalSubnet Web server" >"$state"

declare -A outcomes
passed=0
started=$SECONDS
for ((run = 1; run <= runs; run++)); do
    if ((run % 2)); then mode=Silent; else mode=Remove; fi
    # Half the runs get a fault, drawn from the whole table.
    model_load "$state"
    if ((RANDOM % 2)); then
        read -r profile method hr <<<"${faults[RANDOM % ${#faults[@]}]}"
        model_set_fault "$profile" "$method" "$hr"
    else
        model_clear_fault
    fi
    fault=${m_fault_method:+$m_fault_profile $m_fault_method $m_fault_hr}
    model_render >"$state"
    rm -f "$state.leaks"
    if [ "$mode" = Remove ]; then model_remove; else model_setup; fi
    expected_state=$(model_render)
    play "$mode" "$state"

    problems=()
    [ "$got_code" = "$m_code" ] || problems+=("exit code: expected $m_code, got $got_code")
    [ "$got_message" = "$(expected_message "$mode" "$m_code" "$m_stage")" ] ||
        problems+=("message: expected $(expected_message "$mode" "$m_code" "$m_stage"), got ${got_message:-none}")
    malformed=$(well_formed "$state")
    [ -z "$malformed" ] || problems+=("malformed state file: $malformed")
    [ "$(cat "$state")" = "$expected_state" ] ||
        problems+=("firewall: $(diff <(printf '%s\n' "$expected_state") "$state" | grep '^[<>]' | tr '\n' ';')")
    [ ! -e "$state.leaks" ] || problems+=("leak: $(tr '\n' ' ' <"$state.leaks")")
    outcomes["$mode $m_code"]=$((${outcomes["$mode $m_code"]:-0} + 1))
    if [ "${#problems[@]}" -eq 0 ]; then
        passed=$((passed + 1))
        continue
    fi
    failures=$((failures + 1))
    echo "FAIL run $run: $mode, fault: ${fault:-none} (expected $m_code at $m_stage)"
    printf '     %s\n' "${problems[@]}"
    sed 's/^/     | /' <<<"$got_out"
    # Go on from what the run really left, so that one fault does not fail every later run.
    [ -z "$malformed" ] || break
done

echo "stress ($arch): $runs runs, $passed passed, $((SECONDS - started)) s; exit codes:" \
    "$(for key in "${!outcomes[@]}"; do echo "$key x${outcomes[$key]}"; done | sort | paste -sd, | sed 's/,/, /g')"
finish
