#!/usr/bin/env bash
# zazir --search over the bundled example, as a script runs it: the hits
# and their fields, folding, a directory of logs and other files, and the
# exit statuses.
set -euo pipefail
zazir=$(realpath "$1")
source_dir=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
cd "$work"
cp "$source_dir/examples/DEMO.LOG" .
export LANG=C LC_ALL=C  # the lines come in UTF-8

# run STATUS ARGS...: stdout in out.txt, stderr in err.txt.
run() {
  local want=$1 status=0
  shift
  "$zazir" "$@" >out.txt 2>err.txt </dev/null || status=$?
  [ "$status" = "$want" ] || fail "$* gave status $status, not $want: $(cat err.txt)"
}
tab=$'\t'

# Each hit: log, section, board, number, ID, title, the line.
run 0 --search 温泉 DEMO.LOG
cat >want.txt <<EOF
DEMO.LOG${tab}board${tab}travel${tab}1105${tab}AKN00153${tab}草津に行ってきました${tab}まさるです。週末に草津温泉へ行ってきました。
DEMO.LOG${tab}board${tab}travel${tab}1105${tab}AKN00153${tab}草津に行ってきました${tab}おみやげの温泉まんじゅうは職場で大人気でした。
DEMO.LOG${tab}fileboard${tab}data${tab}3${tab}${tab}003:ONSEN.TXT       4210 96/06/02 AKN00153 関東近郊の温泉リスト${tab}003:ONSEN.TXT       4210 96/06/02 AKN00153 関東近郊の温泉リスト
DEMO.LOG${tab}fileboard${tab}data${tab}3${tab}${tab}003:ONSEN.TXT       4210 96/06/02 AKN00153 関東近郊の温泉リスト${tab}    日帰りで行ける温泉を、泉質と料金つきでまとめました。
EOF
diff want.txt out.txt || fail "the hits of 温泉"
[ ! -s err.txt ] || fail "told on standard error: $(cat err.txt)"

# text|hits|a field the first hit holds: mail, chat and Notewall; case,
# full and half width, half-width kana with their marks.
while IFS='|' read -r text hits first; do
  run 0 --search "$text" DEMO.LOG
  [ "$(wc -l <out.txt)" = "$hits" ] || fail "$text: $(wc -l <out.txt) hits, not $hits: $(cat out.txt)"
  head -1 out.txt | grep -qF -- "$first" || fail "$text: the first hit is $(head -1 out.txt)"
  [ "$(cut -f7 out.txt | grep -c .)" = "$hits" ] || fail "$text: a hit without its line"
done <<'EOF'
オフ会について|1|DEMO.LOG	mail		1	AKN00412	来週のオフ会について	題名: 来週のオフ会について
今日は一日雨|1|DEMO.LOG	chat	#雑談	2	AKN00208		AKN00208      >こんばんは。今日は一日雨でしたね
ＭＥＭＯＲＹ|2|DEMO.LOG	board	pc98	1023	AKN00315	Memory	題名: Memory
memory advice|1|DEMO.LOG	notewall		3	AKN00315		AKN00315      :(tanaka) Thanks for the memory advice.
ﾊｰﾄﾞﾃﾞｨｽｸ|3|	pc98	1021	AKN00412	ハードディスクの増設	題名: ハードディスクの増設
EOF

# None: 1, nothing printed. Bad arguments: 2, before any log is read.
run 1 --search ＺＡＺＩＲ DEMO.LOG
[ ! -s out.txt ] || fail "printed without a hit: $(cat out.txt)"
run 2 --search '' DEMO.LOG
run 2 --search 温泉
run 2 --search 温泉 -x DEMO.LOG
run 2 --search "$(printf 'a\tb')" DEMO.LOG
run 2 --search $'\xff' DEMO.LOG
grep -q 'Shift-JIS' err.txt || fail "an unconvertible text not told: $(cat err.txt)"

# A directory: its files in name order, those that read as logs; the rest
# (an upload file, notes) counted on standard error.
mkdir logs
cp DEMO.LOG logs/B.LOG
cp DEMO.LOG logs/A.LOG
printf '温泉\r\n' >logs/A.LOG.UP
printf 'notes on 温泉\n' >logs/NOTES.TXT
run 0 --search 温泉 logs/ DEMO.LOG
[ "$(cut -f1 out.txt | uniq | tr '\n' ' ')" = "logs/A.LOG logs/B.LOG DEMO.LOG " ] ||
  fail "the logs' order: $(cut -f1 out.txt | uniq)"
[ "$(wc -l <out.txt)" = 12 ] || fail "$(wc -l <out.txt) hits in three logs"
grep -q '^zazir: 2 files of the directories do not read as a log; not searched$' err.txt ||
  fail "the skipped files not told: $(cat err.txt)"
# A file named by itself is searched, even one that reads as no log.
run 1 --search 温泉 logs/NOTES.TXT

# A log that cannot be read ends the search before anything is printed, a
# FIFO too (never waited for).
mkfifo fifo
run 50 --search 温泉 DEMO.LOG fifo
[ ! -s out.txt ] || fail "printed before a FIFO: $(cat out.txt)"
run 50 --search 温泉 DEMO.LOG missing.LOG
grep -q 'missing.LOG' err.txt || fail "the missing log is not named: $(cat err.txt)"
# Output that cannot be written is a failure, not a search without hits.
status=0
"$zazir" --search 温泉 DEMO.LOG >/dev/full 2>err.txt || status=$?
[ "$status" = 50 ] || fail "a full standard output gave status $status"
grep -q 'standard output' err.txt || fail "the failed output is not told: $(cat err.txt)"
[ "$(ls -A logs | tr '\n' ' ')" = "A.LOG A.LOG.UP B.LOG NOTES.TXT " ] || fail "files written: $(ls -A logs)"
cmp -s DEMO.LOG "$source_dir/examples/DEMO.LOG" || fail "the log changed"
