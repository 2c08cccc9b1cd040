#!/usr/bin/env bash
# On the bundled example: the chat lines recorded into back-logs at
# start-up, a chat post and a chat reply, a Notewall answer; then, at the
# next start, the old upload file kept by an Esc to the question.
source "$(dirname "$0")/lib.sh"

dir=$(demo_dir)

start_zazir "$dir" DEMO.LOG
wait_for "ﾊﾞｯｸﾛｸﾞﾌｧｲﾙに記録してよいですか？"
keys y
wait_for "メール ......"

# The chat board list: recorded boards are marked, the unread-less one not.
keys Down Down Down Enter
wait_for "なんでも雑談"
expect_row_match 1 -E '#雑談 .*\[→ ?\]$'
expect_row_match 3 -E '#深夜 .*\[× ?\]$'
keys Enter
wait_for "AKN00412      >こんばんは～"
expect_row 5 "AKN00412      >tanaka さん、こんばんは"
# W: a new line.
keys W
wait_for "１行チャットへの投稿 無入力：ｷｬﾝｾﾙ"
type_text "こんばんは、みさきです"
keys Enter
# R on the second line: the proposal is editable and the command carries
# only the line as typed.
wait_for "AKN00412      >こんばんは～"
keys Down R
wait_for "１行チャットへのレス 無入力：ｷｬﾝｾﾙ"
expect_row_match 11 -F "＞ AKN00208さん"
type_text " 雨でしたね"
keys Enter
wait_for "AKN00412      >こんばんは～"
keys Escape
wait_for "なんでも雑談"
keys Escape
wait_for "メール ......"

# The Notewall: R on a line.
keys Down Down Down Down Enter
wait_for "AKN00412      :(かずや)"
keys Down Down R
wait_for "Notewallへのレス 無入力：ｷｬﾝｾﾙ"
expect_row_match 11 -F "＞ AKN00315さん"
keys Enter
wait_for "AKN00412      :(かずや)"
keys Escape
wait_for "メール ......"
quit_zazir

crlf <<'UP' | sj >"$WORK/expected"
EW7
こんばんは、みさきです
Y
EW7
＞ AKN00208さん 雨でしたね
Y
P
＞ AKN00315さん

UP
expect_same_bytes "$dir/DEMO.LOG.UP" "$WORK/expected" "upload file"
crlf <<'LOG' | sj >"$WORK/backlog"
AKN00208      >新しいモデムが届きました
AKN00089      >おお、何bpsですか？
AKN00208      >28800bps です。まだ試していませんが
LOG
expect_same_bytes "$dir/#PC" "$WORK/backlog" "back-log #PC"
[ ! -e "$dir/#深夜" ] || fail "a board without new lines got a back-log"
tmuxc kill-server

# The next start: the upload file exists; Esc answers no and keeps it.
cp "$dir/DEMO.LOG.UP" "$WORK/before"
start_zazir "$dir" DEMO.LOG
wait_for "アップロードファイル[DEMO.LOG.UP  ]が、すでに存在します。削除しますか？(Y/N)"
keys Escape
at_main_menu
quit_zazir
cmp -s "$dir/DEMO.LOG.UP" "$WORK/before" || fail "the upload file changed"
echo PASS
