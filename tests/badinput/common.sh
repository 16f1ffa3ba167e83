# Shared by the bad-input scenarios, on top of the end-to-end helpers and the matrix's runner.
source "$(dirname "${BASH_SOURCE[0]}")/../e2e/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/../matrix/model.sh"
source "$(dirname "${BASH_SOURCE[0]}")/../matrix/play.sh"

port_sentence() { printf 'Tessaly ドライバ配信 監視プログラムが通信を行うために使用するUDP %s ポートを開きます。' "$1"; }
text_removed=$'設定の削除を完了しました。\n'
text_nothing_to_remove=$'Windows ファイアウォール の設定削除は必要ありません。\n設定変更を行ったことが無いか、すでに設定の削除を完了しています。'
text_failed=$'Windows ファイアウォール の設定変更に失敗しました。\n詳しくは、システム管理者にお問い合わせください。'

both_open() { printf '%s;%s' "$(monitor_port_line Domain "$1")" "$(monitor_port_line Standard "$1")"; }
ports_of() { port_lines "$1" | paste -sd';' -; }
# A case of run_cases: its driver lines, over the firewall in $before.
add_lines() { c_mode+=(-) c_name+=(-) c_before+=("$before") c_lines+=("$(printf '%s\n' "$@")"); }
