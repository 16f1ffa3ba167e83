# Runs the program as a user would, answering the windows that the model says will come, and
# collects what the run showed. Sourced after tests/e2e/lib.sh and model.sh.

caption_quoted='" Windows(R) XP SP2 対応 Tessaly ドライバ配信 設定ツール"'

# The outcome message of a run as uidriver quotes it; empty when the run shows none.
expected_message() { # MODE CODE STAGE
    case "$1 $2 $3" in
        Silent\ *) ;;
        "Setup 0 worker") echo '"設定を完了しました。\n"' ;;
        "Remove 0 worker") echo '"設定の削除を完了しました。\n"' ;;
        *\ 2\ *) echo '"ご使用のOSでは、本プログラムでの設定変更の必要はありません。\nプログラムを終了します。"' ;;
        "Setup 5 "*) echo '"Windows ファイアウォール の設定変更は必要ありません。\nすでに設定を完了しています。"' ;;
        "Remove 5 "*) echo '"Windows ファイアウォール の設定削除は必要ありません。\n設定変更を行ったことが無いか、すでに設定の削除を完了しています。"' ;;
        *\ 6\ *) echo '"Windows ファイアウォール の設定変更に失敗しました。\n詳しくは、システム管理者にお問い合わせください。"' ;;
    esac
}

# play MODE STATE: runs the program in MODE (Silent, Setup or Remove) against STATE. A Setup
# run goes through the intro (Next), and when the model expects the worker, the agreement:
# scrolled to its end, agreed, OK. A Remove run that reaches its dialog ticks every row and
# presses OK. The outcome box, if any, is closed with OK.
# With pause_at set (intro, agreement, removal, worker or box), the commands in pause_commands
# run at that point of the run; they must make the program current again (`use 1`).
# Sets:
#   got_code     the exit code, or what went wrong instead
#   got_message  the outcome box's text as uidriver quotes it (empty when none was shown)
#   got_caption  the outcome box's caption, quoted
#   got_rows     the removal dialog's rows, one "TEXT" a line
#   got_out      uidriver's whole output
pause_at=
pause_commands=()
play() {
    local mode=$1 state=$2 commands=() i
    # at POINT: the pause commands, when the run pauses there.
    at() { [ "$pause_at" != "$1" ] || commands+=(${pause_commands[@]+"${pause_commands[@]}"}); }
    case $mode in
        Silent)
            commands=("start $program_win /S")
            at worker
            ;;
        Setup)
            commands=("start $program_win" window)
            at intro
            commands+=('click 1006')
            if [ "$m_stage" = worker ]; then
                commands+=(window)
                at agreement
                commands+=('scroll 1004 bottom' 'key space 1000' 'until 1000 checked' 'until 1 enabled' 'click 1')
                at worker
            fi
            commands+=(window)
            at box
            commands+=(controls 'click 1')
            ;;
        Remove)
            commands=("start $program_win /D")
            if [ "$m_stage" = worker ]; then
                commands+=(window)
                at removal
                commands+=('rows 1007')
                for i in "${!m_rows[@]}"; do
                    commands+=("tick 1007 $i")
                done
                commands+=('click 1')
                at worker
            fi
            commands+=(window)
            at box
            commands+=(controls 'click 1')
            ;;
    esac
    got_out=$(drive "$state" "${commands[@]}" exit)
    got_code=$(exit_code_of "$(tail -n1 <<<"$got_out")")
    got_message= got_caption=
    if [ "$mode" != Silent ]; then
        # The box is the last window; its text is its one static control with a text.
        # (Lines of paused commands may follow its `window` line; they are no static controls.)
        local box
        box=$(awk '/^window /{ text = "" } { text = text $0 "\n" } END { printf "%s", text }' <<<"$got_out")
        got_caption=$(head -n1 <<<"$box" | sed 's/^window //')
        got_message=$(grep '^control [0-9-]* Static ' <<<"$box" | grep -v ' ""$' |
            sed -E 's/^control [0-9-]+ Static style=[^ ]+ visible enabled //' || true)
    fi
    got_rows=$(sed -nE 's/^row [0-9]+ ("([^"\\]|\\.)*").*/\1/p' <<<"$got_out")
}

# The rows the model expects, as uidriver quotes them.
expected_rows() {
    local row
    for row in ${m_rows[@]+"${m_rows[@]}"}; do
        printf '"%s"\n' "$row"
    done
}
