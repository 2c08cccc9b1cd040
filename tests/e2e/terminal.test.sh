#!/usr/bin/env bash
# The terminals people have: LANG=C (Japanese still shown, in UTF-8), a
# terminal that cannot place the cursor (refused before any escape
# sequence), the terminal's own colours and NO_COLOR, and a window made
# smaller than 80x24 and back.
source "$(dirname "$0")/lib.sh"

dir=$(demo_dir)

# LANG=C: the locale cannot show Japanese; the screen is UTF-8 all the same.
RUN_ENV="LANG=C LC_ALL=C" start_zazir "$dir" DEMO.LOG
at_main_menu
expect_row_match 9 -E '^メール \.\.\..* \[→ ?\]$'
quit_zazir
tmuxc kill-server

# No cursor addressing: a message, status 1, and nothing on standard output.
for term in TERM=dumb TERM=unknown "-u TERM"; do
  status=0
  (cd "$dir" && env $term "$ZAZIR" DEMO.LOG >"$WORK/out" 2>"$WORK/err") || status=$?
  [ "$status" = 1 ] || fail "$term: status $status"
  [ ! -s "$WORK/out" ] || fail "$term: wrote to the terminal: $(od -c "$WORK/out" | head -3)"
  grep -q "cannot place the cursor" "$WORK/err" || fail "$term: $(cat "$WORK/err")"
done

# Colours: white on black is the terminal's own; the highlight keeps its
# green. NO_COLOR: no colour at all, the bar and the highlight reversed.
colours='\[(3[0-7]|4[0-7]|9[0-7]|10[0-7])m'
start_zazir "$dir" DEMO.LOG
at_main_menu
tmuxc capture-pane -e -p -t e2e >"$WORK/colours"
grep -q $'\e\\[42m' "$WORK/colours" || fail "no green highlight: $(cat -v "$WORK/colours")"
! grep -q $'\e\\[40m' "$WORK/colours" || fail "black backgrounds: $(cat -v "$WORK/colours")"
quit_zazir
tmuxc kill-server
RUN_ENV="NO_COLOR=1" start_zazir "$dir" DEMO.LOG
at_main_menu
tmuxc capture-pane -e -p -t e2e >"$WORK/colours"
! grep -qE "$colours" "$WORK/colours" || fail "colours under NO_COLOR: $(cat -v "$WORK/colours")"
grep -q $'\e\\[7m' "$WORK/colours" || fail "no reverse video: $(cat -v "$WORK/colours")"

# Smaller than 80x24: the notice until it is large enough, keys ignored
# meanwhile (q would have asked to quit), then the screen as it was.
tmuxc resize-window -t e2e -x 60 -y 20
wait_for "Please make the terminal at least 80x24."
expect_row 0 "端末の大きさを 80x24 以上にしてください。"
keys q Down
sleep 0.3
tmuxc resize-window -t e2e -x 80 -y 24
wait_for "メール ......"
expect_row_match 9 -E '^メール \.\.\..* \[→ ?\]$'
screen | grep -qF "終了してよろしいですか？" && fail "a key answered the hidden screen"
quit_zazir
echo PASS
