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
# #104 answers #99, which no log holds.
python3 "$source_dir/tests/export/thread_links.py" "$work/out" \
  "pc98 101 -" "pc98 102 101 101" "pc98 103 102 101 102" "pc98 104 -" "pc98 105 101 101" "hobby 7 101 101"
echo PASS
