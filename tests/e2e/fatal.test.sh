#!/usr/bin/env bash
# Fatal start-up errors end with status 50 and their message on standard
# error, after the terminal is restored.
source "$(dirname "$0")/lib.sh"

# An invalid policy in the configuration file.
bad="$WORK/bad"
mkdir -p "$bad"
printf 'EDITOR=true\r\nDELETENULLLINE=MAYBE\r\n' >"$bad/ZAZIR.CFG"
start_zazir "$bad" some.log
expect_status 50
expect_terminal_restored
wait_for "ZAZIR.CFG内のDELETENULLLINE=の行で、不正な指定があります。"
tmuxc kill-server

# No configuration file anywhere.
empty="$WORK/empty"
mkdir -p "$empty"
PATH=/usr/bin:/bin start_zazir "$empty" some.log
expect_status 50
wait_for "設定ファイルが開けません。"
tmuxc kill-server

# A log that cannot be opened.
dir=$(demo_dir)
start_zazir "$dir" missing.log
expect_status 50
expect_terminal_restored
wait_for "通信ログファイルが開けません。"
tmuxc kill-server

# A 13-character log name: the bundled UPLOADFILE=%s.UP cut to 13 characters
# is the log itself, which is neither offered for deletion nor touched.
mv "$dir/DEMO.LOG" "$dir/0105NIGHT.LOG"
cp "$dir/0105NIGHT.LOG" "$WORK/log.before"
start_zazir "$dir" 0105NIGHT.LOG
expect_status 50
expect_terminal_restored
wait_for "UPLOADFILE の指定[0105NIGHT.LOG]は通信ログファイルそのものです。"
cmp -s "$dir/0105NIGHT.LOG" "$WORK/log.before" || fail "the log was changed"
echo PASS
