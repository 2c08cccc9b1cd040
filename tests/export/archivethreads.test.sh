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

python3 - "$work/kept" <<'PY'
import email
import email.policy
import mailbox
import pathlib
import sys

out = pathlib.Path(sys.argv[1])


def board(name):
    box = mailbox.mbox(out / "boards" / name, factory=lambda f: email.message_from_binary_file(
        f, policy=email.policy.default))
    return {int(m["X-Message-Number"]): m for m in box}


pc98, hobby = board("pc98.mbox"), board("hobby.mbox")
ids = {number: m["Message-ID"] for number, m in pc98.items()}
expected = {
    ("pc98", 102): (ids[101], [ids[101]]),
    ("pc98", 103): (ids[102], [ids[101], ids[102]]),  # the second visit's, under the first's
    ("pc98", 104): (None, []),
    ("pc98", 105): (ids[101], [ids[101]]),
    ("hobby", 7): (ids[102], [ids[101], ids[102]]),  # moved from the first visit's board
}
failures = []
if sorted(pc98) != [101, 102, 103, 104, 105] or sorted(hobby) != [7]:
    failures.append(f"messages {sorted(pc98)} and {sorted(hobby)}")
for (name, number), (parent, references) in expected.items():
    message = (pc98 if name == "pc98" else hobby)[number]
    got = (message["In-Reply-To"], str(message["References"] or "").split())
    if got != (parent, references):
        failures.append(f"{name} #{number}: {got}, expected {(parent, references)}")
for failure in failures:
    print("FAIL:", failure)
sys.exit(1 if failures else 0)
PY
echo PASS
