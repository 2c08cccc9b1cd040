#!/usr/bin/env bash
# Start-up on the bundled example to the main menu, a board list, and the
# quit; the terminal is the user's again afterwards.
source "$(dirname "$0")/lib.sh"

dir=$(demo_dir)
# Only the first argument counts: the ones after it, options too, are ignored.
start_zazir "$dir" DEMO.LOG --help other.log
at_main_menu
[ "$(tmuxc display -p -t e2e '#{keypad_flag}')" = 0 ] || fail "the keypad is left in application mode"
expect_row 0 "ZAZIR 8,2:移動 W:書込 R:返答 Q:戻る F:ｱｯﾌﾟﾌｧｲﾙ参照 ?:ﾍﾙﾌﾟ"
expect_row_match 9 -E '^メール \.\.\..* \[→ ?\]$'
expect_row_match 13 -E '^Notewallシステム \.\.\..* \[→ ?\]$'

# The message board list, and back.
keys Down Enter
wait_for "未読あり"
keys Escape
wait_for "メール ......"

# Quit: the question, then the terminal restored.
keys q
wait_for "終了してよろしいですか？(Y/N)"
keys Enter  # no default: ignored
sleep 0.2
screen | grep -qF "終了してよろしいですか？" || fail "Enter answered the quit question"
keys y
expect_status 0
expect_terminal_restored
echo PASS
