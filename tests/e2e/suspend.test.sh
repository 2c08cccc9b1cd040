#!/usr/bin/env bash
# Ctrl-Z in an interactive shell, and SIGTSTP from outside: ZAZIR stops
# with the terminal given back (modes and the normal screen), and after
# fg it has raw mode and the whole screen again.
source "$(dirname "$0")/lib.sh"

dir=$(demo_dir)
start_shell "$dir"
type_text "stty -g > $WORK/stty.before; $(printf '%q' "$ZAZIR") DEMO.LOG"
keys Enter
at_main_menu
keys Down
sleep 0.2

# expect_stopped: the shell has the terminal back, in its own modes.
expect_stopped() {
  wait_for "Stopped"
  tmuxc display -p -t e2e '#{alternate_on}' | grep -qx 0 || fail "still on the alternate screen"
  type_text "stty -g > $WORK/stty.stopped"
  keys Enter
  for ((i = 0; i < 100; i++)); do
    [ -s "$WORK/stty.stopped" ] && break
    sleep 0.05
  done
  cmp -s "$WORK/stty.before" "$WORK/stty.stopped" || fail "terminal modes not restored"
  rm "$WORK/stty.stopped"
}

# expect_resumed: fg brings the screen back as it was (the highlight on the
# message boards), and keys work at once.
expect_resumed() {
  type_text "fg"
  keys Enter
  wait_for "メール ......"
  expect_row_match 10 -E '^メッセージボード \.\.\..* \[→ ?\]$'
  keys Enter
  wait_for "パソコン何でも相談室"
  keys Escape
  wait_for "メール ......"
  keys Down
}

keys C-z
expect_stopped
expect_resumed

shell=$(tmuxc display -p -t e2e '#{pane_pid}')
kill -s TSTP "$(pgrep -P "$shell" -f zazir | head -1)"
expect_stopped
expect_resumed

keys q
wait_for "終了してよろしいですか？"
keys y
for ((i = 0; i < 200; i++)); do
  tmuxc display -p -t e2e '#{alternate_on}' | grep -qx 0 && break
  sleep 0.05
done
sleep 0.2
type_text 'echo status=$?'
keys Enter
wait_for "status=0"
echo PASS
