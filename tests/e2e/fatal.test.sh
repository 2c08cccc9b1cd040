#!/usr/bin/env bash
# Fatal start-up errors end with status 50 and, once the terminal is
# restored, their message on standard error followed by the file and what
# is wrong with it; an unknown option gets the usage line and status 2.
source "$(dirname "$0")/lib.sh"

# expect_stderr LINE...: standard error holds exactly these lines.
expect_stderr() {
  printf '%s\n' "$@" >"$WORK/stderr.expected"
  cmp -s "$WORK/stderr" "$WORK/stderr.expected" ||
    fail "standard error: $(cat "$WORK/stderr"), expected: $*"
}

# An invalid policy in the configuration file.
bad="$WORK/bad"
mkdir -p "$bad"
printf 'EDITOR=true\r\nDELETENULLLINE=MAYBE\r\n' >"$bad/ZAZIR.CFG"
start_zazir "$bad" some.log
expect_status 50
expect_terminal_restored
wait_for "ZAZIR.CFG内のDELETENULLLINE=の行で、不正な指定があります。"
expect_stderr "ZAZIR.CFG内のDELETENULLLINE=の行で、不正な指定があります。" \
  "zazir: ZAZIR.CFG:2: not a value this setting takes (it takes FALSE or TRUE)"
tmuxc kill-server

# An unknown option: the usage line and status 2, the terminal untouched;
# -h is --help.
start_zazir "$WORK" --bogus
expect_status 2
expect_terminal_restored
expect_stderr "zazir: unknown option --bogus" \
  "Usage: zazir [LOG | PATTERN | DIRECTORY] | --list LOG... | --export DIR LOG... |" \
  "       --search TEXT LOG... | --help"
tmuxc kill-server
"$ZAZIR" -h </dev/null | grep -q '^Usage: zazir' || fail "-h"

# A log that cannot be opened: which file, and why.
dir=$(demo_dir)
start_zazir "$dir" missing.log
expect_status 50
expect_terminal_restored
wait_for "通信ログファイルが開けません。"
expect_stderr "通信ログファイルが開けません。" "zazir: missing.log: No such file or directory"
tmuxc kill-server
start_zazir "$dir" 'logs/*.LOG'
expect_status 1
expect_stderr "指定されたディレクトリにファイルがありません。" "zazir: logs/*.LOG: no file matches"
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
