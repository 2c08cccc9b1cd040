#!/usr/bin/env bash
# An archive kept as the README says: two visits exported one after the
# other into the same directory, then both again. Python's mailbox module
# reads it back: each message once by its Message-ID, nothing written
# twice, and the bytes of the first export unchanged at the start of each
# file.
set -euo pipefail
zazir=$(realpath "$1")
command -v python3 >/dev/null || { echo "python3 is not installed"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

# Two visits: the second sees mail 2 and messages 102 and 103 again.
python3 - "$work" <<'PY'
import sys
sj = lambda text: text.encode('cp932')
def visit(path, mails, messages, notewall):
    with open(path, 'wb') as log:
        log.write(b'CONNECT 9600\r\n')
        for n in mails:
            log.write(b'Private Message is from: AKN%05d h\r\nDate: 96/06/%02d 21:40:12\r\n' % (n, n))
            log.write(sj('題名: お知らせ %d\r\n本文 %d\r\n削除しますか (Y/N) > N\r\n' % (n, n)))
        log.write(sj('   1: pc98 パソコン').ljust(49) + sj('検索中\r\n新しいメッセージが 3 件あります。\r\n'))
        for n in messages:
            log.write(b'Message  #%d is from: AKN%05d h\r\nDate: 96/06/01 10:00:00\r\n' % (n, n))
            log.write(sj('題名: 話題 %d\r\n本文 %d\r\n\r\n' % (n, n)))
        log.write(b'*CH >\r\nMAIN > P\r\n' + sj('《 気軽な伝言板 》\r\n') + b'-----\r\n')
        for n in notewall:
            log.write(b'AKN%05d      :' % n + sj('(名前) 伝言 %d\r\n' % n))
        log.write(b'-----\r\n')
visit(sys.argv[1] + '/0601.LOG', [1, 2], [101, 102, 103], [1, 2, 3])
visit(sys.argv[1] + '/0608.LOG', [2, 3], [102, 103, 104, 105], [3, 4, 5])
PY

"$zazir" --export "$work/bbs" "$work/0601.LOG" </dev/null || fail "first export: status $?"
cp -r "$work/bbs" "$work/first"
"$zazir" --export "$work/bbs" "$work/0608.LOG" </dev/null || fail "second export: status $?"
cp -r "$work/bbs" "$work/second"
"$zazir" --export "$work/bbs" "$work"/*.LOG </dev/null || fail "both again: status $?"
diff -r "$work/second" "$work/bbs" >/dev/null || fail "the same logs again changed the archive"

python3 - "$work" <<'PY'
import mailbox, pathlib, sys
work = pathlib.Path(sys.argv[1])
failures = []
expected = {"mail.mbox": 3, "boards/pc98.mbox": 5}
for name, count in expected.items():
    box = mailbox.mbox(work / "bbs" / name)
    ids = [message["Message-ID"] for message in box]
    if len(ids) != count or len(set(ids)) != count:
        failures.append(f"{name}: {len(ids)} messages, {len(set(ids))} Message-IDs, expected {count}")
    numbers = [message["X-Message-Number"] for message in box]
    if name.startswith("boards") and numbers != ["101", "102", "103", "104", "105"]:
        failures.append(f"{name}: messages {numbers}")
for old in (work / "first").rglob("*"):
    if old.is_file() and not old.name.startswith("."):
        new = (work / "bbs" / old.relative_to(work / "first")).read_bytes()
        if not new.startswith(old.read_bytes()):
            failures.append(f"{old.relative_to(work / 'first')}: what the first export wrote changed")
lines = (work / "bbs" / "notewall.txt").read_text().splitlines()
if len(lines) != 5 or len(set(lines)) != 5:
    failures.append(f"notewall.txt: {lines}")
for failure in failures:
    print("FAIL:", failure)
sys.exit(1 if failures else 0)
PY
echo PASS
