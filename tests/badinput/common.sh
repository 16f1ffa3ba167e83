# Shared by the bad-input scenarios: sourced with the architecture (x64 or x86) as $1. Builds on
# the end-to-end helpers (state files, driving the program, registry save and restore).
source "$(dirname "${BASH_SOURCE[0]}")/../e2e/lib.sh"

# The intro's port sentence for a port number as the program formats it ("UDP %d").
port_sentence() { printf 'Tessaly ドライバ配信 監視プログラムが通信を行うために使用するUDP %s ポートを開きます。' "$1"; }

text_set_up=$'設定を完了しました。\n'
text_removed=$'設定の削除を完了しました。\n'
text_not_installed=$'Windows ファイアウォール の設定変更は必要ありません。\nTessaly ドライバ配信 監視プログラムがインストールされていません。'
text_already_set_up=$'Windows ファイアウォール の設定変更は必要ありません。\nすでに設定を完了しています。'
text_nothing_to_remove=$'Windows ファイアウォール の設定削除は必要ありません。\n設定変更を行ったことが無いか、すでに設定の削除を完了しています。'
text_failed=$'Windows ファイアウォール の設定変更に失敗しました。\n詳しくは、システム管理者にお問い合わせください。'

# The text of the message box in LINES (the static that is not the empty icon), quoted.
box_text() {
    grep '^control [0-9]* Static' <<<"$1" | grep -v ' ""$' | sed -E 's/^control [0-9]+ Static style=[^ ]+ visible enabled //'
}

# The exit code and the port lines (joined by ";") a Silent run leaves in STATE: "CODE|PORTS".
silent_outcome() { # STATE
    printf '%s|%s' "$(run "$1" /S)" "$(port_lines "$1" | paste -sd';' -)"
}

# The port lines of a port opened in both profiles, joined as silent_outcome joins them.
both_open() { printf '%s;%s' "$(monitor_port_line Domain "$1")" "$(monitor_port_line Standard "$1")"; }

# Bytes of a file as lower-case hex, one line.
hex_of() { od -An -v -tx1 "$1" | tr -d ' \n'; }
