#!/usr/bin/env bash
# A first run without any configuration file: the built-in settings, the
# place of the user's own file and of the upload file, beside the log, told
# once on the status row. Then a configuration and a signature written in UTF-8,
# as a Linux editor writes them: the reply's heading and the signature
# reach the upload file in CP932.
source "$(dirname "$0")/lib.sh"

home_dir="$WORK/first"
mkdir -p "$home_dir/logs"
cp "$SOURCE/examples/DEMO.LOG" "$home_dir/logs/"
PATH=/usr/bin:/bin start_zazir "$home_dir" logs/DEMO.LOG
wait_for "ﾊﾞｯｸﾛｸﾞﾌｧｲﾙに記録してよいですか？"
expect_row 23 "設定ファイルなし：~/.config/zazir/ZAZIR.CFG　アップロード先：logs/DEMO.LOG.UP"
keys n
wait_for "メール ......"
expect_row 23 ""
# A file marked for download goes to the upload file beside the log.
keys Down Down Enter
wait_for "data       データ・素材集"
keys Enter
wait_for "001:AKTERM21.LZH"
keys d Escape
wait_for "data       データ・素材集"
keys Escape
wait_for "メール ......"
keys q
wait_for "これらをダウンロードしますか？"
keys y
wait_for "終了してよろしいですか？"
keys y
expect_status 0
printf 'F1\r\nZD1;Y;0\r\n0\r\n0\r\n' >"$WORK/expected"
expect_same_bytes "$home_dir/logs/DEMO.LOG.UP" "$WORK/expected" "upload file beside the log"
[ -z "$(ls "$home_dir" | grep -v '^logs$')" ] || fail "files written outside logs/: $(ls "$home_dir")"
tmuxc kill-server

# The user's own configuration and signature, in UTF-8 with LF line ends.
mkdir -p "$XDG_CONFIG_HOME/zazir"
cat >"$XDG_CONFIG_HOME/zazir/ZAZIR.CFG" <<CFG
EDITOR=true
SIGNATURE=$WORK/sign.txt
QUOTATION=%s＞
UPLOADFILE=%s.UP
HEADREPLYNEWS=%sさんの %s 番「%s」へのレスです。
LINECHAT_QUOTE=LINECHAT_NO
CFG
printf -- '-- \nみさき（AKN00777）\n' >"$WORK/sign.txt"
dir=$(demo_dir)
rm "$dir/ZAZIR.CFG"
PATH=/usr/bin:/bin start_zazir "$dir" DEMO.LOG
wait_for "メール ......"
expect_row 23 ""
to_message_1021
keys R
wait_for "タイトルを変更しますか？"
keys Enter
wait_for "シグネーチャファイル"
keys y
wait_for "用意したままの文章です。書き込みますか？(Y/N/E)"
keys y
wait_for "Message  #1021"
back_to_main_menu
quit_zazir
for text in "かずやさんの 1021 番「ハードディスクの増設」へのレスです。" \
  "かずや＞PC-9821 に SCSI のハードディスクを増設しようと思っています。" "みさき（AKN00777）"; do
  grep -qF "$(printf '%s' "$text" | sj)" "$dir/DEMO.LOG.UP" || fail "not in the upload file: $text"
done
tmuxc kill-server

# A mistyped name in the file: ignored, told on the status row and, once
# the terminal is the shell's again, on standard error.
printf 'EDITR=vim\r\nLINECHAT_QUOTE=LINECHAT_NO\r\nUPLOADFILE_EXIST=WRITE_APPEND\r\n' >"$dir/ZAZIR.CFG"
start_zazir "$dir" DEMO.LOG
wait_for "メール ......"
expect_row 23 "ZAZIR.CFG:1: 不明な設定名「EDITR」を無視（EDITOR？）"
quit_zazir
grep -qxF "zazir: ZAZIR.CFG:1: \"EDITR\" is no setting's name and is ignored (EDITOR?)" \
  "$WORK/stderr" || fail "standard error: $(cat "$WORK/stderr")"
echo PASS
