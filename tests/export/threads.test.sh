#!/usr/bin/env bash
# A board's replies exported and read back by Python's mailbox module: a
# thread of three and a batch reply by In-Reply-To and References, a moved
# reply linked to the board it names, and no such headers for a reply
# whose parent no log holds.
set -euo pipefail
zazir=$(realpath "$1")
source_dir=$(realpath "$2")
command -v python3 >/dev/null || { echo "python3 is not installed"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

iconv -f UTF-8 -t CP932 "$source_dir/tests/export/threads_log.txt" | sed 's/$/\r/' \
  >"$work/THREADS.LOG"
"$zazir" --export "$work/out" "$work/THREADS.LOG" </dev/null
python3 - "$work/out" <<'PY'
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
    ("pc98", 101): (None, []),
    ("pc98", 102): (ids[101], [ids[101]]),
    ("pc98", 103): (ids[102], [ids[101], ids[102]]),
    ("pc98", 104): (None, []),  # answers #99, which no log holds
    ("pc98", 105): (ids[101], [ids[101]]),
    ("hobby", 7): (ids[101], [ids[101]]),
}
failures = []
for (name, number), (parent, references) in expected.items():
    message = (pc98 if name == "pc98" else hobby)[number]
    got = (message["In-Reply-To"], str(message["References"] or "").split())
    if got != (parent, references):
        failures.append(f"{name} #{number}: {got}, expected {(parent, references)}")
for failure in failures:
    print("FAIL:", failure)
print("PASS" if not failures else f"{len(failures)} failed")
sys.exit(1 if failures else 0)
PY
