# Shared by the bad-input scenarios, on top of the end-to-end helpers and the matrix's runner.
source "$(dirname "${BASH_SOURCE[0]}")/../e2e/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/../matrix/model.sh"
source "$(dirname "${BASH_SOURCE[0]}")/../matrix/play.sh"

# A case of run_cases: its driver lines, over the firewall in $before.
add_lines() { c_mode+=(-) c_name+=(-) c_before+=("$before") c_lines+=("$(printf '%s\n' "$@")"); }
