#!/usr/bin/env bash
# The example's mail exported and opened in a real mail reader (mutt or
# neomutt) in a terminal: the subjects and senders on its index, a body in
# its pager.
source "$(dirname "$0")/lib.sh"

reader=$(command -v mutt || command -v neomutt || true)
[ -n "$reader" ] || { echo "neither mutt nor neomutt is installed"; exit 1; }
dir=$(demo_dir)
"$ZAZIR" --export "$WORK/out" "$dir/DEMO.LOG" </dev/null || fail "export status $?"

tmuxc -f /dev/null -u new-session -d -s e2e -x 80 -y 25 \
  "env TERM=screen $(printf '%q' "$reader") -n -F /dev/null -e 'set folder=$WORK/out' -R -f $WORK/out/mail.mbox; sleep 600"
wait_for "Msgs:3"
expect_row_match 1 -E "1 .*かずや .*来週のオフ会について"
expect_row_match 2 -E "2 .*Hiro .*モデムの設定、うまくいきました"
expect_row_match 3 -E "3 .*まさる .*Re:写真の件"
keys Enter
wait_for "みさきさん、こんばんは。かずやです。"
wait_for "Subject: 来週のオフ会について"
echo PASS
