#!/usr/bin/env bash
# On the bundled example: a batch reply to two marked messages, a reply
# moved to another board, and an upload from the file board list; the
# upload file compared byte for byte.
source "$(dirname "$0")/lib.sh"

dir=$(demo_dir)
printf 'printf '"'"'editor line\\r\\n'"'"' >> "$1"\n' >"$WORK/edit.sh"

EDITOR="sh $WORK/edit.sh" start_zazir "$dir" DEMO.LOG
at_main_menu

# The board "pc98": mark #1021 and #1022, then C.
keys Down Enter
wait_for "パソコン何でも相談室"
keys Down Enter
wait_for "Message  #1021"
keys M Right
wait_for "Message  #1022"
keys M C
wait_for "タイトル入力"
expect_row_match 11 -F "一括レス:#1021,#1022"
keys Enter
wait_for "シグネーチャファイル"
keys n
wait_for "書き込んでよいですか？([Ｙ]/N/E)"
# The circle is ambiguous in width: tmux draws it narrow, ZAZIR keeps its
# second column blank.
expect_row_match 0 -E '^● ?　かずやさんの1021番の書き込みに対して$'
keys y
wait_for "Message  #1022"

# V: the reply goes to the board "travel".
keys V
wait_for "旅と温泉"
keys Down Down Enter
wait_for "別ボードへのレスの書き込み"
expect_row_match 11 -F "pc98-#1022より移動:Re:ハードディスクの増設"
keys Enter
wait_for "シグネーチャファイル"
keys n
wait_for "書き込んでよいですか？([Ｙ]/N/E)"
keys y
wait_for "Message  #1022"
keys Escape
wait_for "パソコン何でも相談室"
keys Escape
wait_for "メール ......"

# W in the file board list: an upload to "tools".
keys Down Down Enter
wait_for "通信ソフト・ツール"
# The list opens where the board lists were left (row 3 of the message
# boards), brought within its three boards: on "data". Up twice to "tools".
keys Up Up W
wait_for "アップロード；ファイル名入力"
type_text "MYTOOL.LZH"
keys Enter
wait_for "アップロード；タイトル入力"
type_text "便利ツール"
keys Enter
wait_for "シグネーチャファイル"
keys n
wait_for "書き込んでよいですか？([Ｙ]/N/E)"
keys y
wait_for "通信ソフト・ツール"
keys Escape
wait_for "メール ......"
quit_zazir
expect_terminal_restored

crlf <<'UP' | sj >"$WORK/expected"
EW2;一括レス:#1021,#1022;Y
●　かずやさんの1021番の書き込みに対して

かずや> PC-9821 に SCSI のハードディスクを増設しようと思っています。
かずや> ５４０ＭＢのものが安く売っていたのですが、
かずや> SCSI ボードはどれを選べばよいのでしょうか。
かずや> おすすめがあれば教えてください。
かずや> 

●　Hiroさんの1022番の書き込みに対して

Hiro> Hiro です。
Hiro> 
Hiro> かずや> SCSI ボードはどれを選べばよいのでしょうか。
Hiro> 
Hiro> 私は Cバス用の安いボードを使っていますが、特に問題はありません。
Hiro> ただ、ターミネータの設定だけは忘れないようにしてください。
Hiro> これを忘れて一晩悩んだことがあります（笑）
Hiro> 

editor line

//
S
EW4;pc98-#1022より移動:Re:ハードディスクの増設;Y
Hiro> Hiro です。
Hiro> 
Hiro> かずや> SCSI ボードはどれを選べばよいのでしょうか。
Hiro> 
Hiro> 私は Cバス用の安いボードを使っていますが、特に問題はありません。
Hiro> ただ、ターミネータの設定だけは忘れないようにしてください。
Hiro> これを忘れて一晩悩んだことがあります（笑）
Hiro> 

editor line

//
S
F1
ZU
MYTOOL.LZH
便利ツール
Y
editor line

//
S
UP
expect_same_bytes "$dir/DEMO.LOG.UP" "$WORK/expected" "upload file"
echo PASS
