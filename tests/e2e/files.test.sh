#!/usr/bin/env bash
# Two file boards read through the whole program: an entry saved to a cut
# file, files marked for download on both boards (one mark taken back),
# then the quit with yes to the download question; the upload file and the
# cut file compared byte for byte.
source "$(dirname "$0")/lib.sh"

dir="$WORK/files"
mkdir -p "$dir/up"
sj() { iconv -f UTF-8 -t CP932; }
crlf() { sed 's/$/\r/'; }

crlf <<'CFG' | sj >"$dir/ZAZIR.CFG"
EDITOR=true
UPLOADFILE_DIR=up/
UPLOADFILE=%s.UP
UPLOADFILE_EXIST=WRITE_APPEND
LINECHAT_QUOTE=LINECHAT_NO
CFG
first=$(printf '%-49s' '  12: FILES  file board one')
second=$(printf '%-49s' '  40: TOOLS  file board two')
crlf <<LOG | sj >"$dir/FILES.LOG"
FILE NEWS: 日付指定
${first}検索中
001: ONE.LZH      1234  最初のファイル
  the first file's description
002: TWO.LZH      5678  second file
  the second file's description
${second}検索中
003: THREE.LZH     910  third file
  three
004: FOUR.LZH      111  fourth file
  four
0012:34 the host's prompt
*CH
LOG

start_zazir "$dir" FILES.LOG
wait_for "メール ......"
keys Down Down Enter
wait_for "file board two"

# The first board: entry 1 saved under the proposed name, then marked;
# entry 2 marked.
keys Enter
wait_for "001: ONE.LZH"
row 23 | grep -qF 'ZAZIR W,D:ｱｯﾌﾟ/ﾀﾞｳﾝﾛｰﾄﾞ F:ｱｯﾌﾟﾌｧｲﾙ参照 ?:ヘルプ 0001 lines.Now:Bottom' ||
  fail "status row: $(row 23)"
keys s
wait_for "書き込みを保存するファイルのファイル名 無入力：ｷｬﾝｾﾙ"
expect_row 11 "FILES.TXT"
keys Enter
sleep 0.3
[ -z "$(screen | tr -d ' \n')" ] || fail "the screen is not blank after saving"
keys d
wait_for "001: ONE.LZH"
keys Right
wait_for "002: TWO.LZH"
keys d Escape
wait_for "file board two"

# The second board: entry 4 marked, entry 3 marked and unmarked, the prompt
# line shown in the last entry.
keys Down Enter
wait_for "003: THREE.LZH"
keys Right
wait_for "004: FOUR.LZH"
expect_row 2 "0012:34 the host's prompt"
keys d Left
wait_for "003: THREE.LZH"
keys d d Escape
wait_for "file board two"
keys Escape
wait_for "メール ......"

keys q
wait_for "03個のファイルにダウンロードのチェックを付けてあります。"
wait_for "これらをダウンロードしますか？([Ｙ]/N)"
keys y
wait_for "終了してよろしいですか？"
keys y
expect_status 0
expect_terminal_restored

printf 'F12\r\nZD1;Y;2;Y;0\r\n0\r\n0\r\nF40\r\nZD4;Y;0\r\n0\r\n0\r\n' >"$WORK/expected"
[ -f "$dir/up/FILES.LOG.UP" ] || fail "no upload file: $(ls -R "$dir")"
[ "$(hex "$dir/up/FILES.LOG.UP")" = "$(hex "$WORK/expected")" ] ||
  fail "upload file: $(od -c "$dir/up/FILES.LOG.UP" | head -20)"

crlf <<'CUT' | sj >"$WORK/expected.cut"
001: ONE.LZH      1234  最初のファイル
  the first file's description
CUT
[ "$(hex "$dir/FILES.TXT")" = "$(hex "$WORK/expected.cut")" ] ||
  fail "cut file: $(od -c "$dir/FILES.TXT" | head -20)"
echo PASS
