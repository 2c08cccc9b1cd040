#!/usr/bin/env bash
# Two visits exported one after the other into the same directory: the
# replies of the second name their parents of the first by In-Reply-To and
# References, and the mailboxes are those of one export of both logs at
# once, also when the index was lost between the two. Read back by
# Python's mailbox module.
set -euo pipefail
zazir=$(realpath "$1")
source_dir=$(realpath "$2")
command -v python3 >/dev/null || { echo "python3 is not installed"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

for visit in 1 2; do
  iconv -f UTF-8 -t CP932 "$source_dir/tests/export/threads_visit$visit.txt" | sed 's/$/\r/' \
    >"$work/VISIT$visit.LOG"
done
"$zazir" --export "$work/once" "$work/VISIT1.LOG" "$work/VISIT2.LOG" </dev/null || fail "both at once: status $?"
for way in kept lost; do
  "$zazir" --export "$work/$way" "$work/VISIT1.LOG" </dev/null || fail "$way: first: status $?"
  [ $way = lost ] && rm "$work/$way/.zazir-index"
  "$zazir" --export "$work/$way" "$work/VISIT2.LOG" </dev/null 2>"$work/$way.err" ||
    fail "$way: second: status $?"
  diff -r -x .zazir-index "$work/once" "$work/$way" >/dev/null || fail "$way: not the mailboxes of one export"
done
grep -q "missing; made again" "$work/lost.err" || fail "the lost index was not said"

# #103 of the second visit under #102 of the first; hobby #7 moved from
# the first visit's board.
python3 "$source_dir/tests/export/thread_links.py" "$work/kept" \
  pc98=101,102,103,104,105 hobby=7 "pc98 102 101 101" "pc98 103 102 101 102" "pc98 104 -" "pc98 105 101 101" "hobby 7 102 101 102"
echo PASS
