# What the scripts of tools/, bench/ and tests/ know of the program from outside, each fact once:
# the Windows path Wine gives a Linux file, the monitor's registry key and name, the texts the
# program shows, and how uidriver prints them. Sourced, not run.

winpath() { # absolute Linux path -> Z:\...
    local p
    p=$(realpath -m -- "$1")
    printf 'Z:%s' "${p//\//\\}"
}

# Where the monitor program keeps its port number (a REG_DWORD PortNumber in the 32-bit view),
# and the name the program gives the ports it opens.
monitor_key='HKLM\SOFTWARE\Veltra\VOSKAR'
monitor_name='Tessaly ドライバ配信 監視プログラム'

# The texts as a user sees them (UTF-8 here; the program holds them in code page 932). The
# message boxes' caption starts with a blank, the dialogs' does not.
dialog_caption='Windows(R) XP SP2 対応 Tessaly ドライバ配信 設定ツール'
box_caption=" $dialog_caption"
port_sentence() { printf 'Tessaly ドライバ配信 監視プログラムが通信を行うために使用するUDP %s ポートを開きます。' "$1"; }
text_set_up=$'設定を完了しました。\n'
text_removed=$'設定の削除を完了しました。\n'
text_unavailable=$'ご使用のOSでは、本プログラムでの設定変更の必要はありません。\nプログラムを終了します。'
text_not_admin=$'実行権限がありません。\n本プログラムは、コンピュータの管理者で実行してください。'
text_not_installed=$'Windows ファイアウォール の設定変更は必要ありません。\nTessaly ドライバ配信 監視プログラムがインストールされていません。'
text_already_set_up=$'Windows ファイアウォール の設定変更は必要ありません。\nすでに設定を完了しています。'
text_nothing_to_remove=$'Windows ファイアウォール の設定削除は必要ありません。\n設定変更を行ったことが無いか、すでに設定の削除を完了しています。'
text_failed=$'Windows ファイアウォール の設定変更に失敗しました。\n詳しくは、システム管理者にお問い合わせください。'
text_no_explanation='説明ファイル「Readme.txt」を読み込めませんでした。'

# A text as uidriver quotes it.
quoted() {
    local t=${1//\\/\\\\}
    t=${t//\"/\\\"}
    t=${t//$'\n'/\\n}
    printf '"%s"' "$t"
}

# section NAME OUTPUT: the lines of uidriver's OUTPUT after `note NAME`, up to the next note.
section() { awk -v n="note $1" '$0 == n { on = 1; next } /^note / { on = 0 } on' <<<"$2"; }
