#!/usr/bin/env bash
# On the bundled example under a UTF-8 locale: a reply whose quotation the
# editor gets in UTF-8 with LF line ends, Japanese typed in it, and a
# character CP932 lacks that the preview marks until it is edited away;
# the upload file holds the text in CP932 with CR LF.
source "$(dirname "$0")/lib.sh"

dir=$(demo_dir)
cat >"$WORK/edit.sh" <<EDIT
n=\$(ls "$WORK"/seen.* 2>/dev/null | wc -l)
cp "\$1" "$WORK/seen.\$n"
if [ "\$n" = 0 ]; then printf '返事です。〜①\n😀\n' >> "\$1"; else sed -i '/😀/d' "\$1"; fi
EDIT

EDITOR="sh $WORK/edit.sh" start_zazir "$dir" DEMO.LOG
at_main_menu

to_message_1021
keys R
wait_for "タイトルを変更しますか？"
keys Enter
wait_for "シグネーチャファイル"
keys n
wait_for "送れない文字(反転の〓)があります。E:編集しなおす N:やめる"
keys y Enter  # neither writes
keys e
wait_for "書き込んでよいですか？([Ｙ]/N/E)"
screen | grep -qF "返事です。～①" || fail "the typed text is not in the preview"
keys y
wait_for "Message  #1021"
back_to_main_menu
quit_zazir

grep -qF "かずや> PC-9821 に SCSI のハードディスクを増設しようと思っています。" "$WORK/seen.0" ||
  fail "the editor did not get the quotation in UTF-8"
! grep -q $'\r' "$WORK/seen.0" || fail "the editor got CR LF line ends"
{
  printf 'ER2;1021;Y\n'
  cat "$WORK/seen.0"
  printf '返事です。〜①\n\n//\nS\n'
} | crlf | sj >"$WORK/expected"
expect_same_bytes "$dir/DEMO.LOG.UP" "$WORK/expected" "upload file"
echo PASS
