#!/usr/bin/env bash
# Back-to-back Silent and Remove runs over one firewall, each with a random fault or none, each
# checked as in the fault matrix. STRESS_RUNS (40), STRESS_SEED (random, printed) repeat a run.
source "$(dirname "$0")/../e2e/lib.sh"
source "$(dirname "$0")/../matrix/model.sh"
source "$(dirname "$0")/../matrix/play.sh"

runs=${STRESS_RUNS:-40}
seed=${STRESS_SEED:-$(((RANDOM << 15) | RANDOM))}
echo "stress ($arch): $runs runs, seed $seed (STRESS_SEED=$seed repeats them)"
RANDOM=$seed
cd "$bin"
set_port_number "$m_port_number"

mapfile -t faults < <(fault_list)
state=$work/stress.state
model_load <(printf '%s\n' "current Standard" "port Domain TCP 3389 enabled all v4 builtin - Remote Desktop" \
    "port Standard TCP 80 disabled custom any user 10.0.0.0/255.0.0.0,LocalSubnet Web server")
for ((run = 1; run <= runs; run++)); do
    m_fault=
    ((RANDOM % 2)) || m_fault=${faults[RANDOM % ${#faults[@]}]}
    mode=Remove && ((run % 2 == 0)) || mode=Silent
    add_case "$mode" "run $run: $mode, fault: ${m_fault:-none}"
done
run_cases
echo "stress ($arch): $runs runs, $((runs - failures)) passed"
finish
