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
echo PASS
