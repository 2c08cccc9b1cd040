#!/usr/bin/env python3
"""Reads every mailbox of an export of the example log with Python's own
mailbox module, as a mail reader would: the count of messages, their
decoded subjects and senders, and bodies byte for byte against the log.
Usage: read_mailboxes.py EXPORT_DIR EXAMPLE_LOG"""
import email
import email.policy
import mailbox
import pathlib
import sys

out, log = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2]).read_bytes()

# (subject, handle, ID) of every message, in the example's order.
EXPECTED = {
    "mail.mbox": [
        ("来週のオフ会について", "かずや", "AKN00412"),
        ("モデムの設定、うまくいきました", "Hiro", "AKN00208"),
        ("Re:写真の件", "まさる", "AKN00153"),
    ],
    "boards/pc98.mbox": [
        ("ハードディスクの増設", "かずや", "AKN00412"),
        ("Re:ハードディスクの増設", "Hiro", "AKN00208"),
        ("Memory", "tanaka", "AKN00315"),
    ],
    "boards/travel.mbox": [
        ("草津に行ってきました", "まさる", "AKN00153"),
        ("Re:草津に行ってきました", "のりこ", "AKN00521"),
    ],
    "boards/hobby.mbox": [
        ("プラモデル再開しました", "けん", "AKN00089"),
        ("Re:プラモデル再開しました", "Hiro", "AKN00208"),
        ("押し花のしおり", "みどり", "AKN00602"),
        ("オフ会のお知らせ", "かずや", "AKN00412"),
    ],
}


def body_in_log(first_line, ends):
    """The lines after a message's three header lines and the blank line
    after them, up to the first that begins with `ends`, as UTF-8 with LF."""
    lines = log[log.index(first_line.encode("cp932")):].split(b"\r\n")[3:]
    if lines and not lines[0]:
        lines = lines[1:]
    body = []
    for line in lines:
        if line.startswith(ends.encode("cp932")):
            break
        body.append(line.decode("cp932") + "\n")
    return "".join(body).encode("utf-8")


def messages(name):
    return list(mailbox.mbox(out / name, factory=lambda f: email.message_from_binary_file(
        f, policy=email.policy.default)))


failures = []
found = sorted(str(p.relative_to(out)) for p in out.rglob("*.mbox"))
if found != sorted(EXPECTED):
    failures.append(f"mailboxes {found}, expected {sorted(EXPECTED)}")
for name, expected in EXPECTED.items():
    got = [(m["Subject"], m["From"].addresses[0].display_name, m["From"].addresses[0].username)
           for m in messages(name)]
    if got != expected:
        failures.append(f"{name}: {got}\n  expected {expected}")

bodies = [
    ("mail.mbox", 1, body_in_log("Private Message is from: AKN00208", "削除しますか")),
    ("boards/hobby.mbox", 3, body_in_log("Message  #1305", "0006:hobby")),
]
for name, at, expected in bodies:
    got = messages(name)[at].get_payload(decode=True)
    if got != expected:
        failures.append(f"{name} message {at + 1}: body\n{got.decode(errors='replace')}"
                        f"\n  expected\n{expected.decode()}")

for failure in failures:
    print("FAIL:", failure)
print("PASS" if not failures else f"{len(failures)} failed")
sys.exit(1 if failures else 0)
