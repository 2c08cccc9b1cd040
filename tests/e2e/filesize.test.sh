#!/usr/bin/env bash
# A file size limit (ulimit -f) that the upload file reaches in the middle
# of a command: the Notewall post is told on screen, the upload file keeps
# what it held, and the program goes on instead of being ended by the
# limit's signal.
source "$(dirname "$0")/lib.sh"

dir=$(demo_dir)
# The upload file may grow to 1024 bytes; it holds 1010.
head -c 1010 /dev/zero | tr '\0' 'x' >"$dir/DEMO.LOG.UP"
cp "$dir/DEMO.LOG.UP" "$WORK/before"
cat >"$WORK/limited" <<RUN
#!/usr/bin/env bash
ulimit -f 1
exec $(printf '%q' "$ZAZIR") "\$@"
RUN
chmod +x "$WORK/limited"
ZAZIR="$WORK/limited"

start_zazir "$dir" DEMO.LOG
wait_for "削除しますか？(Y/N)"
keys n
at_main_menu
keys Down Down Down Down W
wait_for "Notewallへの投稿 無入力：ｷｬﾝｾﾙ"
type_text "a line longer than what is left"
keys Enter
wait_for "【アップロードファイルに書き込めません】"
wait_for "a line longer than what is left"
keys Space
wait_for "メール ......"
quit_zazir
expect_terminal_restored
cmp -s "$dir/DEMO.LOG.UP" "$WORK/before" || fail "the upload file changed"
echo PASS
