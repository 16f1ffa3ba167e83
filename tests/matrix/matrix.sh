#!/usr/bin/env bash
# The fault matrix: every firewall call of the program fails, in every profile it is made in,
# in Silent, Setup and Remove runs over starting firewalls that make the call happen. The cases
# are generated from the call table in model.sh; the model predicts each run's exit code, its
# message and the firewall it leaves. Every run must match, show no other window, and release
# every firewall object (no leak report from simfw.dll).
#
#   matrix.sh ARCH [EVERY]          EVERY > 1 runs about one case in EVERY
#   MATRIX_DRY=1 matrix.sh ARCH     prints the cases and their predictions without running them
#
# x64 runs every case. x86 runs about every third one by default (MATRIX_EVERY overrides): the same
# code built for the other architecture, and the whole matrix twice would double the run time.
source "$(dirname "$0")/../e2e/lib.sh"
source "$(dirname "$0")/model.sh"
source "$(dirname "$0")/play.sh"

if [ "$arch" = x86 ]; then every=3; else every=1; fi
every=${2:-${MATRIX_EVERY:-$every}}

# The explanation beside the program is the one the agreement shows.
cd "$bin"
set_port_number "$m_port_number"

# Starting firewalls, each with the runs it serves.
#  absent:    the monitor's port in neither profile, other ports to read in both (Add runs twice)
#  disabled:  the port in both profiles, disabled, in Domain under another name (Item finds it,
#             put_Enabled runs); the current profile is Domain
#  listed:    monitor-named ports to remove: one in both profiles, one in Domain only (upper case),
#             one TCP port in Standard only
#  untwinned: the current profile is Domain; names that differ only in letter case are no twins
declare -A starts=(
    [absent]="current Standard
port Domain TCP 3389 enabled all v4 builtin - Remote Desktop
port Standard TCP 80 disabled custom any user 10.0.0.0/255.0.0.0,LocalSubnet Web server"
    [disabled]="current Domain
port Domain UDP $m_port_number disabled all v4 user - Old monitor
port Standard TCP 80 enabled all any user - Web server
port Standard UDP $m_port_number disabled subnet any user - $monitor_name"
    [listed]="current Standard
port Domain TCP 3389 enabled all v4 builtin - Remote Desktop
port Domain UDP $m_port_number enabled subnet any user - $monitor_name
port Domain UDP 47000 enabled subnet any user - ${monitor_name^^}
port Standard UDP $m_port_number enabled subnet any user - $monitor_name
port Standard TCP 47000 disabled all any user - $monitor_name"
    [untwinned]="current Domain
port Domain UDP $m_port_number enabled subnet any user - $monitor_name
port Standard TCP 80 enabled all any user - Web server
port Standard UDP $m_port_number disabled subnet any user - tessaly ドライバ配信 監視プログラム"
)
scenarios=("Silent absent" "Silent disabled" "Setup absent" "Setup disabled" "Remove listed" "Remove untwinned")

mapfile -t faults < <(echo "- - -"; fault_list)
state=$work/case.state
cases=0 passed=0 index=0
declare -A scenario_cases scenario_passed scenario_outcomes

# check_case NAME: compares the run with the prediction; prints what differs.
check_case() {
    local name=$1 problems=()
    [ "$got_code" = "$m_code" ] || problems+=("exit code: expected $m_code, got $got_code")
    [ "$got_message" = "$(expected_message "$mode" "$m_code" "$m_stage")" ] ||
        problems+=("message: expected $(expected_message "$mode" "$m_code" "$m_stage"), got ${got_message:-none}")
    [ "$mode" = Silent ] || [ "$got_caption" = "$caption_quoted" ] || problems+=("caption: $got_caption")
    [ "$got_rows" = "$(expected_rows)" ] || problems+=("rows: expected $(expected_rows | tr '\n' ' '), got $(tr '\n' ' ' <<<"$got_rows")")
    [ "$(cat "$state")" = "$expected_state" ] ||
        problems+=("firewall: $(diff <(printf '%s\n' "$expected_state") "$state" | grep '^[<>]' | tr '\n' ';')")
    [ ! -e "$state.leaks" ] || problems+=("leak: $(tr '\n' ' ' <"$state.leaks")")
    if [ "${#problems[@]}" -eq 0 ]; then
        return 0
    fi
    echo "FAIL $name"
    printf '     %s\n' "${problems[@]}"
    sed 's/^/     | /' <<<"$got_out"
    return 1
}

started=$SECONDS
for scenario in "${scenarios[@]}"; do
    read -r mode start <<<"$scenario"
    printf '%s\n' "${starts[$start]}" >"$work/start.state"
    for fault in "${faults[@]}"; do
        index=$((index + 1))
        # A multiplicative hash spreads a sample over methods, profiles and scenarios alike.
        [ $((((index * 2654435761) >> 13) % every)) -eq 0 ] || continue
        read -r profile method hr <<<"$fault"
        model_load "$work/start.state"
        if [ "$method" = - ]; then model_clear_fault; else model_set_fault "$profile" "$method" "$hr"; fi
        model_render >"$state"
        rm -f "$state.leaks"
        if [ "$mode" = Remove ]; then model_remove; else model_setup; fi
        expected_state=$(model_render)
        cases=$((cases + 1))
        scenario_cases[$scenario]=$((${scenario_cases[$scenario]:-0} + 1))
        scenario_outcomes[$scenario]+="$m_code@$m_stage"$'\n'
        if [ -n "${MATRIX_DRY:-}" ]; then
            echo "$mode over '$start', fault: ${fault/#- - -/none}: $m_code at $m_stage"
            continue
        fi
        play "$mode" "$state"
        if check_case "$mode over '$start', fault: ${fault/#- - -/none} (expected $m_code at $m_stage)"; then
            passed=$((passed + 1))
            scenario_passed[$scenario]=$((${scenario_passed[$scenario]:-0} + 1))
        else
            failures=$((failures + 1))
        fi
    done
done

for scenario in "${scenarios[@]}"; do
    printf '  %-18s %3d cases, %3d passed; expected: %s\n' "$scenario" "${scenario_cases[$scenario]:-0}" \
        "${scenario_passed[$scenario]:-0}" \
        "$(sort <<<"${scenario_outcomes[$scenario]:-}" | uniq -c | awk 'NF == 2 { printf "%s%s x%s", sep, $2, $1; sep = ", " }')"
done
echo "matrix ($arch): $cases cases, $passed passed, $((SECONDS - started)) s"
finish
