#!/usr/bin/env bash
# A message board read and written through the whole program: a new post
# from the board list and a reply from the reader, with a real shell
# command as the editor, then the upload file compared byte for byte.
source "$(dirname "$0")/lib.sh"

dir="$WORK/boards"
mkdir -p "$dir/up" "$dir/my tmp"

# The editor adds one line to the file it is given; the temporary
# directory's blank makes the file argument need quoting.
printf 'printf '"'"'line from the editor\\r\\n'"'"' >> "$1"\n' >"$dir/edit.sh"
crlf <<'CFG' | sj >"$dir/ZAZIR.CFG"
EDITOR=sh
EDITOR_OPT1=edit.sh
TEMPORARY_DIR=my tmp/
UPLOADFILE_DIR=up/
UPLOADFILE=%s.UP
QUOTATION=%s> 
HEADREPLYNEWS=%sさんの#%s「%s」へのレス
UPLOADFILE_EXIST=WRITE_APPEND
LINECHAT_QUOTE=LINECHAT_NO
CFG
listing=$(printf '%-49s' '   3: TEST  board for the test')
crlf <<LOG | sj >"$dir/BOARDS.LOG"
${listing}検索中
新しいメッセージ 2 件
Message  #0012 is from: ID000012 はなこ
Date: 96/01/01 12:00
Title:最初の話題
----------
一行目

三行目
Message  #0013 is from: ID000013 たろう
Date: 96/01/02 12:00
Title:second
----------
body 13
*CH
LOG

start_zazir "$dir" BOARDS.LOG
wait_for "メール ......"

# W in the board list: a new post.
keys Down Enter
wait_for "未読あり(2件)"
keys W
wait_for "タイトル入力"
type_text "e2e title"
keys Enter
wait_for "書き込んでよいですか？([Ｙ]/N/E)"
expect_row 0 "line from the editor"
keys y

# Return opens the reader on the same board.
wait_for "未読あり(2件)"
keys Enter
wait_for "Message  #0012"
expect_row 2 "Title:最初の話題"
expect_row 6 "三行目"
expect_row_match 23 -F '0004 lines. Now:Bottom'
keys Right
wait_for "Message  #0013"
keys Left
wait_for "Message  #0012"

# R: the reply, title kept.
keys r
wait_for "タイトルを変更しますか？"
keys Enter
wait_for "書き込んでよいですか？([Ｙ]/N/E)"
expect_row 0 "はなこさんの#12「最初の話題」へのレス"
expect_row 3 "はなこ>"
expect_row 6 "line from the editor"
keys y
wait_for "Message  #0012"
expect_row 3 "----------"

keys Escape
wait_for "未読あり(2件)"
keys Escape
wait_for "メール ......"
quit_zazir
expect_terminal_restored

crlf <<'UP' | sj >"$WORK/expected"
EW3;e2e title;Y
line from the editor

//
S
ER3;12;Y
はなこさんの#12「最初の話題」へのレス

はなこ> 一行目
はなこ> 
はなこ> 三行目

line from the editor

//
S
UP
[ -f "$dir/up/BOARDS.LOG.UP" ] || fail "no upload file: $(ls -R "$dir")"
expect_same_bytes "$dir/up/BOARDS.LOG.UP" "$WORK/expected" "upload file"
[ ! -e "$dir/my tmp/ZQ2OFF.TMP" ] || fail "the temporary file was left behind"
echo PASS
