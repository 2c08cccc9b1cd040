#!/usr/bin/env bash
# Finding things in the example log: a board's title list, a title picked
# from it, a search in full-width letters that wraps to the board's first
# message, n to the next match, Tab to the next unread message and on to
# the next board; then a second start shows what was read.
source "$(dirname "$0")/lib.sh"

dir=$(demo_dir)
start_zazir "$dir" DEMO.LOG
at_main_menu
to_message_1021

keys T
wait_for "#1023  AKN00315 tanaka"
expect_row 1 "   #1021  AKN00412 かずや       ハードディスクの増設"
expect_row 2 "N  #1022  AKN00208 Hiro         Re:ハードディスクの増設"
keys Down Down Enter
wait_for "Message  #1023"

keys /
wait_for "検索する文字列"
type_text "ＳＣＳＩ"
keys Enter
wait_for "Message  #1021"
expect_row 23 "最後まで探したので最初から探しました"
# The match stands in reverse video: the row's text is split around it.
expect_row 4 "PC-9821 に SCSI のハードディスクを増設しようと思っています。"
tmuxc capture-pane -p -e -t e2e | grep -qF "PC-9821 に SCSI" && fail "the match is not in reverse video"
keys n
expect_row 4 "PC-9821 に SCSI のハードディスクを増設しようと思っています。"
tmuxc capture-pane -p -e -t e2e | grep -qF "SCSI ボードは" && fail "n did not move to the next match"

# Tab: #1022 is left in this board, then the next board's first message.
keys Tab
wait_for "Message  #1022"
keys Tab
wait_for "Message  #1105"
keys Escape
wait_for "旅と温泉"
keys Escape
quit_zazir

start_zazir "$dir" DEMO.LOG
at_main_menu
keys Down Enter
expect_row 2 "   2: pc98       パソコン何でも相談室 ★ 未読あり(3件) [未読 0/3]"
expect_row 4 "   4: travel     旅と温泉 ★ 未読あり(2件) [未読 1/2]"
keys Down Down Down Enter
wait_for "Message  #1105"
keys T
expect_row 2 "N  #1106  AKN00521 のりこ       Re:草津に行ってきました"
keys Escape Escape
wait_for "旅と温泉"
keys Escape
quit_zazir
echo PASS
