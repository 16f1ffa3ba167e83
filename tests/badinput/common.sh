# Shared by the bad-input scenarios, on top of the end-to-end helpers and the matrix's runner.
source "$(dirname "${BASH_SOURCE[0]}")/../e2e/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/../matrix/model.sh"
source "$(dirname "${BASH_SOURCE[0]}")/../matrix/play.sh"

both_open() { printf '%s;%s' "$(monitor_port_line Domain "$1")" "$(monitor_port_line Standard "$1")"; }
ports_of() { port_lines "$1" | paste -sd';' -; }
# A case of run_cases: its driver lines, over the firewall in $before.
add_lines() { c_mode+=(-) c_name+=(-) c_before+=("$before") c_lines+=("$(printf '%s\n' "$@")"); }
