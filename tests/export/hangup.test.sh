#!/usr/bin/env bash
# An export that a hang-up ends while it writes leaves nothing of what it
# wrote, ends with status 129, and the same export run again works.
set -euo pipefail
zazir=$(realpath "$1")
command -v python3 >/dev/null || { echo "python3 is not installed"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

# A board of many messages: the export takes long enough to be caught.
python3 - "$work/BIG.LOG" <<'PY'
import sys
sj = lambda text: text.encode('cp932')
with open(sys.argv[1], 'wb') as log:
    log.write(b'CONNECT 9600\r\n' + b'   1: big'.ljust(49) + sj('検索中') + b'\r\n')
    body = (sj('本文の行です。') + b'x' * 60 + b'\r\n') * 10
    for n in range(1, 15001):
        log.write(b'Message  #%d is from: AKN%05d h\r\nDate: 96/06/01 10:00:00\r\n' % (n, n))
        log.write(sj('題名: ') + b't%d\r\n' % n + body + b'\r\n')
    log.write(b'*CH >\r\n')
PY

"$zazir" --export "$work/out" "$work/BIG.LOG" </dev/null 2>"$work/err.txt" &
pid=$!
for _ in $(seq 1 3000); do
  [ -n "$(find "$work/out" -type f -size +0 2>/dev/null)" ] && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.01
done
kill -HUP "$pid" 2>/dev/null || fail "the export ended before the hang-up: $(cat "$work/err.txt")"
status=0
wait "$pid" || status=$?
[ "$status" = 129 ] || fail "status $status after a hang-up: $(cat "$work/err.txt")"
grep -q 'Hangup; nothing was written' "$work/err.txt" || fail "not told: $(cat "$work/err.txt")"
[ ! -e "$work/out" ] || fail "left behind: $(find "$work/out")"

status=0
"$zazir" --export "$work/out" "$work/BIG.LOG" </dev/null 2>"$work/err.txt" || status=$?
[ "$status" = 0 ] || fail "the second export: status $status: $(cat "$work/err.txt")"
[ "$(grep -c '^From ' "$work/out/boards/big.mbox")" = 15000 ] || fail "the second export is not whole"
