#!/usr/bin/env bash
# SIGTERM and SIGHUP end the program with the terminal restored: raw mode
# off, the normal screen back.
source "$(dirname "$0")/lib.sh"

zazir_pid() {
  local shell
  shell=$(tmuxc display -p -t e2e '#{pane_pid}')
  pgrep -P "$shell" -f zazir | head -1
}

for signal in TERM HUP; do
  dir=$(demo_dir)
  start_zazir "$dir" DEMO.LOG
  at_main_menu
  kill -s "$signal" "$(zazir_pid)"
  case $signal in
    TERM) expect_status 143 ;;
    HUP) expect_status 129 ;;
  esac
  expect_terminal_restored
  tmuxc kill-server
  rm -rf "$dir"
done
echo PASS
