#!/usr/bin/env bash
# The fault matrix: every firewall call of model.sh's table fails, in every profile, in Silent,
# Setup and Remove runs over firewalls that make the call happen; the run must match the model.
# matrix.sh ARCH [EVERY]: one case in EVERY (x86: 3); MATRIX_DRY=1 prints the predictions only.
source "$(dirname "$0")/../e2e/lib.sh"
source "$(dirname "$0")/model.sh"
source "$(dirname "$0")/play.sh"

every=1 && [ "$arch" = x64 ] || every=3
every=${2:-${MATRIX_EVERY:-$every}}
cd "$bin"
set_port_number "$m_port_number"

# absent: Add runs twice; disabled: Item finds the port (Domain: under another name), put_Enabled
# runs; listed: twins, a Domain-only and a Standard-only port; untwinned: names differ in case.
n=$m_port_number rd='port Domain TCP 3389 enabled all v4 builtin - Remote Desktop'
web='port Standard TCP 80 enabled all any user - Web server'
declare -A starts=(
    [absent]="current Standard;$rd;port Standard TCP 80 disabled custom any user 10.0.0.0/255.0.0.0,LocalSubnet Web server"
    [disabled]="current Domain;port Domain UDP $n disabled all v4 user - Old monitor;$web;port Standard UDP $n disabled subnet any user - $monitor_name"
    [listed]="current Standard;$rd;port Domain UDP $n enabled subnet any user - $monitor_name;port Domain UDP 47000 enabled subnet any user - ${monitor_name^^};port Standard UDP $n enabled subnet any user - $monitor_name;port Standard TCP 47000 disabled all any user - $monitor_name"
    [untwinned]="current Domain;port Domain UDP $n enabled subnet any user - $monitor_name;$web;port Standard UDP $n disabled subnet any user - tessaly ドライバ配信 監視プログラム"
)

state=$work/case.state
mapfile -t faults < <(echo; fault_list)
# The runs without a fault come first, those with one after them: a fault of the program's plain
# path shows within seconds (a run that stops at the first failure stops there). Making a case
# costs about as much as running it, so they run in batches as they are made.
ran=0
run_made() { # [AT_LEAST]: the cases made since the last batch, once there are AT_LEAST
    [ $((${#c_mode[@]} - ran)) -ge "${1:-1}" ] && [ -z "${MATRIX_DRY:-}" ] || return 0
    run_cases "$ran"
    ran=${#c_mode[@]}
}
for pass in plain faulty; do
    index=0
    # A limited user's run ends at the administrator test: only the faults of the probe before it
    # tell anything, and these few cases run on every architecture.
    for scenario in "Silent absent" "Silent disabled" "Setup absent" "Setup disabled" "Remove listed" "Remove untwinned" \
        "Setup absent limited" "Remove listed limited"; do
        read -r mode start m_user <<<"$scenario"
        m_user=${m_user:-admin}
        tr ';' '\n' <<<"${starts[$start]}" >"$work/start.state"
        for m_fault in "${faults[@]}"; do
            index=$((index + 1))
            kind=plain && [ -z "$m_fault" ] || kind=faulty
            [ "$kind" = "$pass" ] || continue
            model_load "$work/start.state"
            # A multiplicative hash spreads the sample over methods, profiles and scenarios.
            if [ "$m_user" = admin ]; then
                [ $((((index * 2654435761) >> 13) % every)) -eq 0 ] || continue
            elif [ -n "$m_fault" ] && opens Current; then
                continue
            fi
            add_case "$mode" "$mode over '$start' as $m_user, fault: ${m_fault:-none}"
            [ -z "${MATRIX_DRY:-}" ] || echo "${c_name[-1]}: $m_code at $m_stage"
            run_made 60
        done
    done
    run_made
done
[ -z "${MATRIX_DRY:-}" ] || exit 0
echo "matrix ($arch): ${#c_mode[@]} cases, $((${#c_mode[@]} - failures)) passed"
finish
