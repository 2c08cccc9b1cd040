#!/usr/bin/env bash
# The bundled example exported and read back by Python's mailbox module;
# the export writes nothing beside the log and leaves it as it was. The
# commands are in --help; an unknown option gets the usage line.
set -euo pipefail
zazir=$(realpath "$1")
source_dir=$(realpath "$2")
command -v python3 >/dev/null || { echo "python3 is not installed"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

mkdir "$work/logs"
cp "$source_dir/examples/DEMO.LOG" "$work/logs/"
status=0
LANG=C LC_ALL=C "$zazir" --export "$work/out" "$work/logs/DEMO.LOG" </dev/null || status=$?
[ "$status" = 0 ] || fail "export status $status"
[ "$(ls -A "$work/logs")" = DEMO.LOG ] || fail "files beside the log: $(ls -A "$work/logs")"
cmp -s "$work/logs/DEMO.LOG" "$source_dir/examples/DEMO.LOG" || fail "the log changed"
# Under LANG=C the names are UTF-8 too.
[ -f "$work/out/chat/#雑談.txt" ] || fail "no chat/#雑談.txt: $(ls "$work/out/chat")"
"$zazir" --help | grep -q -- '--export DIR LOG' || fail "--export is not in --help"
"$zazir" --help | grep -q -- '--list LOG' || fail "--list is not in --help"
status=0
"$zazir" --frobnicate >"$work/out.txt" 2>"$work/err.txt" </dev/null || status=$?
[ "$status" = 2 ] || fail "an unknown option gave status $status"
grep -q '^Usage: zazir' "$work/err.txt" || fail "no usage line: $(cat "$work/err.txt")"
[ ! -s "$work/out.txt" ] || fail "an unknown option printed on standard output"

python3 "$source_dir/tests/export/read_mailboxes.py" "$work/out" "$source_dir/examples/DEMO.LOG"
