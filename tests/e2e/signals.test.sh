#!/usr/bin/env bash
# SIGTERM and SIGHUP end the program with the terminal restored: raw mode
# off, the normal screen back; a file marked for download is written to the
# upload file as the quit writes it.
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
  keys Down Down Enter
  wait_for "data       データ・素材集"
  keys Enter
  wait_for "001:AKTERM21.LZH"
  keys d Right
  wait_for "002:ZLOGCUT.LZH"
  kill -s "$signal" "$(zazir_pid)"
  case $signal in
    TERM) expect_status 143 ;;
    HUP) expect_status 129 ;;
  esac
  expect_terminal_restored
  printf 'F1\r\nZD1;Y;0\r\n0\r\n0\r\n' >"$WORK/expected"
  expect_same_bytes "$dir/DEMO.LOG.UP" "$WORK/expected" "upload file after SIG$signal"
  tmuxc kill-server
  rm -rf "$dir"
done
echo PASS
