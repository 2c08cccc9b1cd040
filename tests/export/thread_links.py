#!/usr/bin/env python3
"""Reads the boards pc98 and hobby of an export with Python's own mailbox
module and checks each reply's In-Reply-To and References, as a mail
reader threads them. Usage: thread_links.py EXPORT_DIR [BOARD=N,N...] LINK...
where BOARD=N,N... gives every message number the board must hold, and a
LINK "BOARD N PARENT REF..." gives a message's parent and references by
their numbers on pc98 ("-" for none)."""
import email
import email.policy
import mailbox
import pathlib
import sys

out = pathlib.Path(sys.argv[1])


def board(name):
    box = mailbox.mbox(out / "boards" / f"{name}.mbox", factory=lambda f: email.message_from_binary_file(
        f, policy=email.policy.default))
    return {int(m["X-Message-Number"]): m for m in box}


boards = {"pc98": board("pc98"), "hobby": board("hobby")}
ids = {number: m["Message-ID"] for number, m in boards["pc98"].items()}
failures = []
for arg in sys.argv[2:]:
    if "=" in arg:
        name, numbers = arg.split("=")
        if sorted(boards[name]) != [int(n) for n in numbers.split(",")]:
            failures.append(f"{name} holds {sorted(boards[name])}")
        continue
    name, number, parent, *references = arg.split()
    message = boards[name][int(number)]
    got = (message["In-Reply-To"], str(message["References"] or "").split())
    expected = (None if parent == "-" else ids[int(parent)], [ids[int(r)] for r in references])
    if got != expected:
        failures.append(f"{name} #{number}: {got}, expected {expected}")
for failure in failures:
    print("FAIL:", failure)
sys.exit(1 if failures else 0)
