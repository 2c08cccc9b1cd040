#!/usr/bin/env bash
# Start-up through the log chooser: no argument (LOGFILE_DIR), a pattern,
# a directory; and leaving the chooser without a choice.
source "$(dirname "$0")/lib.sh"

dir=$(demo_dir)
mkdir -p "$dir/logs/sub"
cp "$dir/DEMO.LOG" "$dir/logs/0605.LOG"
cp "$dir/DEMO.LOG" "$dir/logs/0606.log"
: >"$dir/logs/notes.txt"

# The chat question names the log that was opened.
opened_then_quit() {
  wait_for "ﾛｸﾞﾌｧｲﾙ[$1]から１行ﾁｬｯﾄ"
  keys n
  wait_for "メール ......"
  quit_zazir
  tmuxc kill-server
}

# No argument: every file of LOGFILE_DIR, sorted; Right, Enter picks the
# second one.
sed -i 's|^LOGFILE_DIR=$|LOGFILE_DIR=logs/|' "$dir/ZAZIR.CFG"
start_zazir "$dir"
wait_for "0605.LOG"
expect_row 0 "        0605.LOG        0606.log       notes.txt"
keys Right Enter
opened_then_quit logs/0606.log

# A pattern, matched without regard to letter case.
start_zazir "$dir" 'logs/*.LOG'
wait_for "0606.log"
expect_row 0 "        0605.LOG        0606.log"
keys Escape
expect_status 0
expect_terminal_restored
tmuxc kill-server

# A directory given without its trailing slash.
start_zazir "$dir" logs
wait_for "notes.txt"
keys Enter
opened_then_quit logs/0605.LOG

# A pattern that matches nothing.
start_zazir "$dir" '*.nothing'
expect_status 1
wait_for "指定されたディレクトリにファイルがありません。"
echo PASS
