#!/usr/bin/env bash
# The file boards of the bundled example read through the whole program:
# an entry saved to a cut file under the proposed name, files marked for
# download on two boards (one mark taken back), then the quit with yes to
# the download question; the upload file and the cut file compared byte
# for byte.
source "$(dirname "$0")/lib.sh"

dir=$(demo_dir)

start_zazir "$dir" DEMO.LOG
at_main_menu
keys Down Down Enter
wait_for "data       データ・素材集"

# Board 1 (tools): entry 1 saved, then marked; entry 2 marked.
keys Enter
wait_for "001:AKTERM21.LZH"
expect_row_match 23 -F 'ZAZIR W,D:ｱｯﾌﾟ/ﾀﾞｳﾝﾛｰﾄﾞ F:ｱｯﾌﾟﾌｧｲﾙ参照 ?:ヘルプ 0004 lines.Now:Bottom'
keys s
wait_for "書き込みを保存するファイルのファイル名 無入力：ｷｬﾝｾﾙ"
expect_row 11 "tools.TXT"
keys Enter
# The entry is shown again once it is saved.
for ((i = 0; i < 200; i++)); do
  screen | grep -qF "書き込みを保存するファイル" || break
  sleep 0.05
done
! screen | grep -qF "書き込みを保存するファイル" || fail "the prompt stays after saving"
expect_row_match 0 -F "001:AKTERM21.LZH"
expect_row_match 23 -F 'ZAZIR W,D:ｱｯﾌﾟ/ﾀﾞｳﾝﾛｰﾄﾞ F:ｱｯﾌﾟﾌｧｲﾙ参照 ?:ヘルプ 0004 lines.Now:Bottom'
keys d
wait_for "001:AKTERM21.LZH"
keys Right
wait_for "002:ZLOGCUT.LZH"
keys d Escape
wait_for "data       データ・素材集"

# Board 3 (data): entry 3 marked, entry 1 marked, entry 3 unmarked.
keys Down Down Enter
wait_for "001:SAKURA96.LZH"
keys Right Right
wait_for "003:ONSEN.TXT"
expect_row 2 ""  # the entries end at the "*CH" line
keys d Left Left
wait_for "001:SAKURA96.LZH"
keys d Right Right
wait_for "003:ONSEN.TXT"
keys d Escape
wait_for "data       データ・素材集"
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

printf 'F1\r\nZD1;Y;2;Y;0\r\n0\r\n0\r\nF3\r\nZD1;Y;0\r\n0\r\n0\r\n' >"$WORK/expected"
[ -f "$dir/DEMO.LOG.UP" ] || fail "no upload file: $(ls "$dir")"
expect_same_bytes "$dir/DEMO.LOG.UP" "$WORK/expected" "upload file"

crlf <<'CUT' | sj >"$WORK/expected.cut"
001:AKTERM21.LZH   48213 96/05/28 AKN00208 通信ソフト AKTERM v2.1
    Windows 3.1 用の通信ソフトです。
    ログを日付つきのファイル名で自動保存できるようになりました。
    自動巡回のマクロも少し賢くなっています。
    解凍には LHA が必要です。
CUT
expect_same_bytes "$dir/tools.TXT" "$WORK/expected.cut" "cut file"
echo PASS
