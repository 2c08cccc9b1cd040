#!/usr/bin/env bash
# An archive kept visit by visit: the first visit exported, then the
# second into the same directory, and the board opened in a real mail
# reader sorted by threads: the second visit's replies under their
# parents of the first.
source "$(dirname "$0")/lib.sh"

reader=$(command -v mutt || command -v neomutt || true)
[ -n "$reader" ] || { echo "neither mutt nor neomutt is installed"; exit 1; }
for visit in 1 2; do
  sj <"$SOURCE/tests/export/threads_visit$visit.txt" | crlf >"$WORK/VISIT$visit.LOG"
done
"$ZAZIR" --export "$WORK/bbs" "$WORK/VISIT1.LOG" </dev/null || fail "first export status $?"
"$ZAZIR" --export "$WORK/bbs" "$WORK/VISIT2.LOG" </dev/null || fail "second export status $?"

# Threads by the headers only, not guessed from the subjects.
new_terminal "env TERM=screen $(printf '%q' "$reader") -n -F /dev/null -e 'set folder=$WORK/bbs' -e 'set sort=threads strict_threads' -R -f $WORK/bbs/boards/pc98.mbox; sleep 600"
wait_for "Msgs:5"
expect_row_match 1 -E "1 .*山田太郎 .*初めての投稿$"
expect_row_match 2 -E "2 .*tanaka .*├─>$"
expect_row_match 3 -E "3 .*Hiro .*│ └─>$"
expect_row_match 4 -E "4 .*けん .*└─>一括レス:#101$"
expect_row_match 5 -E "5 .*かずや .*\) 前回の話の続き$"
# The second visit's reply is the one under the first visit's.
keys Down Down Enter
wait_for "tanaka さん、素早いですね。"
echo PASS
