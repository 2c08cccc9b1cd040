#!/usr/bin/env bash
# A board whose replies name what they answer, exported and opened in a
# real mail reader sorted by threads: each reply under its parent, the
# reply whose parent no log holds on its own.
source "$(dirname "$0")/lib.sh"

reader=$(command -v mutt || command -v neomutt || true)
[ -n "$reader" ] || { echo "neither mutt nor neomutt is installed"; exit 1; }
sj <"$SOURCE/tests/export/threads_log.txt" | crlf >"$WORK/THREADS.LOG"
"$ZAZIR" --export "$WORK/out" "$WORK/THREADS.LOG" </dev/null || fail "export status $?"

# Threads by the headers only, not guessed from the subjects.
new_terminal "env TERM=screen $(printf '%q' "$reader") -n -F /dev/null -e 'set folder=$WORK/out' -e 'set sort=threads strict_threads' -R -f $WORK/out/boards/pc98.mbox; sleep 600"
wait_for "Msgs:5"
expect_row_match 1 -E "1 .*山田太郎 .*初めての投稿$"
expect_row_match 2 -E "2 .*tanaka .*├─>$"
expect_row_match 3 -E "3 .*Hiro .*│ └─>$"
expect_row_match 4 -E "4 .*けん .*└─>一括レス:#101$"
expect_row_match 5 -E "5 .*かずや .*\) 前回の話の続き$"
keys Down Enter
wait_for "山田太郎さんの #101「初めての投稿」へのレスです。"
echo PASS
