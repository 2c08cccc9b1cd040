# Harness for the end-to-end tests: the built program in a real terminal
# (tmux, 80 x 25, UTF-8), driven with send-keys and read with capture-pane.
# Sourced by every *.test.sh with the program and the source tree as $1, $2.
set -euo pipefail

ZAZIR=$(realpath "$1")
SOURCE=$(realpath "$2")
command -v tmux >/dev/null || { echo "tmux is not installed"; exit 1; }

export LANG=C.UTF-8 LC_ALL=C.UTF-8
WORK=$(mktemp -d)
# Each run of the program gets a tmux server of its own: a server that a
# test has just killed may still be going away, and a new session started
# on its socket then dies with it ("server exited unexpectedly").
SOCKET_STEM="zazir-e2e-$$"
STARTS=0
SOCKET="$SOCKET_STEM-0"
# Nothing of the user's own configuration or of an installed one may take
# part, nor the user's choices of colours and codeset.
export HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/home/.config" XDG_CONFIG_DIRS="$WORK/xdg"
unset NO_COLOR ZAZIR_CHARSET
mkdir -p "$HOME"

cleanup() {
  local n
  for ((n = 0; n <= STARTS; n++)); do tmux -L "$SOCKET_STEM-$n" kill-server 2>/dev/null || true; done
  # A program ended by the hang-up may still be writing its read marks.
  rm -rf "$WORK" 2>/dev/null || { sleep 0.5; rm -rf "$WORK"; }
}
trap cleanup EXIT

tmuxc() { tmux -L "$SOCKET" "$@"; }

# A scratch copy of the bundled example.
demo_dir() {
  mkdir -p "$WORK/demo"
  cp "$SOURCE"/examples/* "$WORK/demo/"
  echo "$WORK/demo"
}

# new_terminal COMMAND: a fresh tmux server with one 80x25 pane running
# COMMAND.
new_terminal() {
  STARTS=$((STARTS + 1))
  SOCKET="$SOCKET_STEM-$STARTS"
  tmuxc -f /dev/null -u new-session -d -s e2e -x 80 -y 25 "$1"
  tmuxc set -s escape-time 0
}

# start_zazir DIR [ARGS...]: runs the program in DIR in a fresh terminal.
# EDITOR may be set by the caller; it is passed through, and so are the
# variable assignments in RUN_ENV ("LANG=C TERM=dumb").
start_zazir() {
  local dir=$1
  shift
  local args=""
  for a in "$@"; do args+=" $(printf '%q' "$a")"; done
  # No leak check at the program's exit here (the unit tests make it): on a
  # loaded machine it may outlast a test's wait, and the hang-up of the
  # killed terminal then leaves the check spinning for ever.
  cat >"$WORK/run.sh" <<RUN
export ASAN_OPTIONS="\${ASAN_OPTIONS:+\$ASAN_OPTIONS:}detect_leaks=0"
stty -g > "$WORK/stty.before"
printf '\033='  # the keypad in application mode, as a crashed editor may leave it
cd $(printf '%q' "$dir")
env ${RUN_ENV:-} $(printf '%q' "$ZAZIR")$args 2> "$WORK/stderr"
echo \$? > "$WORK/status.tmp"
stty -g > "$WORK/stty.after"
mv "$WORK/status.tmp" "$WORK/status"
printf 'ZAZIR-ENDED\n'
cat "$WORK/stderr"
sleep 600
RUN
  rm -f "$WORK/status"
  new_terminal "env EDITOR=$(printf '%q' "${EDITOR:-true}") VISUAL= PATH=$(printf '%q' "$PATH") bash --norc --noprofile $WORK/run.sh"
}

# start_shell DIR: an interactive shell (job control on) in DIR, with the
# prompt "$ ". It keeps no history: killed with its terminal, it would write
# one into $HOME while the clean-up removes it.
start_shell() {
  new_terminal "cd $(printf '%q' "$1") && env PS1='$ ' HISTFILE= EDITOR=true VISUAL= bash --norc --noprofile -i"
  wait_for '$'
}

screen() { tmuxc capture-pane -p -t e2e; }

fail() {
  echo "FAIL: $*"
  echo "--- screen ---"
  screen || true
  exit 1
}

# wait_for TEXT [SECONDS]: until TEXT is on the screen.
wait_for() {
  local text=$1 limit=${2:-10} i
  for ((i = 0; i < limit * 20; i++)); do
    if screen | grep -qF -- "$text"; then return 0; fi
    sleep 0.05
  done
  fail "waited for: $text"
}

# row N: screen row N (0-based) without trailing blanks.
row() { screen | sed -n "$(($1 + 1))p" | sed 's/ *$//'; }

# expect_row N TEXT: row N becomes TEXT within ten seconds (a capture may
# fall in the middle of a redraw, so one look is not enough).
expect_row() {
  local actual i
  for ((i = 0; i < 200; i++)); do
    actual=$(row "$1")
    [ "$actual" = "$2" ] && return 0
    sleep 0.05
  done
  fail "row $1 is [$actual], expected [$2]"
}

# expect_row_match N GREP-OPTION PATTERN: row N comes to match within ten
# seconds.
expect_row_match() {
  local n=$1 i
  shift
  for ((i = 0; i < 200; i++)); do
    row "$n" | grep -q "$@" && return 0
    sleep 0.05
  done
  fail "row $n is [$(row "$n")], expected to match [${*: -1}]"
}

keys() { tmuxc send-keys -t e2e "$@"; }
type_text() { tmuxc send-keys -t e2e -l "$1"; }

# wait_exit: waits for the program to end and prints its exit status.
wait_exit() {
  local i
  for ((i = 0; i < 200; i++)); do
    if [ -f "$WORK/status" ]; then
      cat "$WORK/status"
      return 0
    fi
    sleep 0.05
  done
  fail "the program did not end"
}

expect_status() {
  local status
  status=$(wait_exit) || { echo "$status"; exit 1; }
  [ "$status" = "$1" ] || fail "exit status $status, expected $1"
}

# at_main_menu: past the back-log question, answered no, to the main menu.
at_main_menu() {
  wait_for "ﾊﾞｯｸﾛｸﾞﾌｧｲﾙに記録してよいですか？"
  keys n
  wait_for "メール ......"
}

# to_message_1021: from the main menu to message #1021 of the board
# "pc98"; back_to_main_menu: from there back.
to_message_1021() {
  keys Down Enter
  wait_for "パソコン何でも相談室"
  keys Down Enter
  wait_for "Message  #1021"
}
back_to_main_menu() {
  keys Escape
  wait_for "パソコン何でも相談室"
  keys Escape
  wait_for "メール ......"
}

# quit_zazir: the quit answered yes; the program ends with status 0.
quit_zazir() {
  keys q
  wait_for "終了してよろしいですか？"
  keys y
  expect_status 0
}

expect_terminal_restored() {
  cmp -s "$WORK/stty.before" "$WORK/stty.after" || fail "terminal modes not restored"
  # tmux may not have read the program's last output yet when the status
  # file appears.
  local i
  for ((i = 0; i < 200; i++)); do
    tmuxc display -p -t e2e '#{alternate_on}' | grep -qx 0 && return 0
    sleep 0.05
  done
  fail "still on the alternate screen"
}

# Texts of the host: CP932 from UTF-8, CR LF line ends.
sj() { iconv -f UTF-8 -t CP932; }
crlf() { sed 's/$/\r/'; }

# expect_same_bytes ACTUAL EXPECTED WHAT: the two files are equal byte for byte.
expect_same_bytes() {
  cmp -s "$1" "$2" || fail "$3: $(diff <(od -c "$1") <(od -c "$2") | head -20)"
}
