#!/usr/bin/env bash
# The terminal's own keys: PageDown, PageUp, Home and End in a message
# reader, the cursor keys of the line editor (the title typed with Left,
# Home, End and Delete), Ctrl-L bringing back a screen the terminal
# lost, and the reader on an 80x40 terminal.
source "$(dirname "$0")/lib.sh"

dir="$WORK/keys"
mkdir -p "$dir"
printf 'printf '"'"'text\\r\\n'"'"' >> "$1"\n' >"$dir/edit.sh"
crlf <<'CFG' | sj >"$dir/ZAZIR.CFG"
EDITOR=sh
EDITOR_OPT1=edit.sh
UPLOADFILE_DIR=
UPLOADFILE=%s.UP
UPLOADFILE_EXIST=WRITE_APPEND
LINECHAT_QUOTE=LINECHAT_NO
CFG
{
  printf '%-49s検索中\n' '   3: TEST  board for the test'
  for n in 1 2 3; do
    printf 'Message  #000%s is from: ID00000%s user%s\nDate: 96/01/0%s\nTitle:title %s\n' \
      "$n" "$n" "$n" "$n" "$n"
    lines=45
    [ "$n" = 2 ] && lines=80
    for ((line = 1; line <= lines; line++)); do printf 'message %s line %s\n' "$n" "$line"; done
  done
  printf '*CH\n'
} | crlf | sj >"$dir/KEYS.LOG"

start_zazir "$dir" KEYS.LOG
wait_for "メール ......"
keys Down Enter
wait_for "board for the test"
keys Enter
wait_for "Message  #0001"

# A page down by the 20-line measure; End and Home go to the last and the
# first message, each from its first line.
keys NPage
expect_row 3 "message 1 line 21"
expect_row_match 23 -F '0045 lines. Now:080%'
# The next page stops at the last full page (top 25); a page back is 20
# lines above it.
keys NPage PPage
expect_row 3 "message 1 line 6"
expect_row_match 23 -F '0045 lines. Now:020%'
keys End
wait_for "Message  #0003"
expect_row 3 "message 3 line 1"
keys Home
wait_for "Message  #0001"
expect_row 3 "message 1 line 1"

# The title: "abc", Left, "X" puts the X before the c; the cursor stands
# where typing goes; Home, End and Delete edit the ends.
keys w
wait_for "タイトル入力"
type_text "abc"
keys Left
type_text "X"
expect_row 11 "abXc"
[ "$(tmuxc display -p -t e2e '#{cursor_x},#{cursor_y}')" = "3,11" ] ||
  fail "cursor at $(tmuxc display -p -t e2e '#{cursor_x},#{cursor_y}')"
keys Home Delete
type_text "<"
keys End
type_text ">"
expect_row 11 "<bXc>"
keys Enter
wait_for "書き込んでよいですか？([Ｙ]/N/E)"
keys y
wait_for "Message  #0001"

# Ctrl-L: the terminal forgot what it showed; the screen comes back whole.
tmuxc send-keys -R -t e2e
for ((i = 0; i < 100; i++)); do
  [ -z "$(screen | tr -d ' \n')" ] && break
  sleep 0.05
done
[ -z "$(screen | tr -d ' \n')" ] || fail "the terminal was not cleared"
keys C-l
wait_for "Message  #0001"
expect_row 3 "message 1 line 1"
expect_row_match 23 -F 'ZAZIR W:書込 R:ﾚｽ V:移動ﾚｽ F:ｱｯﾌﾟﾌｧｲﾙ参照 ?:ﾍﾙﾌﾟ'

# 80x40: the text takes every row down to the status row at the bottom,
# and PageDown moves by that page of 36; back at 80x25 the same first line
# shows in the shorter page.
tmuxc resize-window -t e2e -x 80 -y 40
expect_row_match 39 -F 'ZAZIR W:書込 R:ﾚｽ V:移動ﾚｽ F:ｱｯﾌﾟﾌｧｲﾙ参照 ?:ﾍﾙﾌﾟ'
expect_row 38 "message 1 line 36"
keys Right
wait_for "Message  #0002"
keys NPage
expect_row 3 "message 2 line 37"
expect_row 38 "message 2 line 72"
expect_row_match 39 -F '0080 lines. Now:081%'
tmuxc resize-window -t e2e -x 80 -y 25
expect_row_match 23 -F '0080 lines. Now:060%'
expect_row 3 "message 2 line 37"
expect_row 24 ""

keys Escape
wait_for "board for the test"
keys Escape
wait_for "メール ......"
quit_zazir

printf 'EW3;<bXc>;Y\r\ntext\r\n\r\n//\r\nS\r\n' >"$WORK/expected"
expect_same_bytes "$dir/KEYS.LOG.UP" "$WORK/expected" "upload file"
echo PASS
