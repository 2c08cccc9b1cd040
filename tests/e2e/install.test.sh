#!/usr/bin/env bash
# cmake --install puts the program and its man page in place; --help and
# --version print and exit 0 without a terminal.
set -euo pipefail
zazir=$(realpath "$1")
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

cmake --install "$(dirname "$zazir")" --prefix "$prefix" >/dev/null
[ -x "$prefix/bin/zazir" ] || fail "no program in $prefix/bin"
man=$(find "$prefix" -name zazir.1)
[ -n "$man" ] || fail "no man page"
for section in "EXIT STATUS" ENVIRONMENT EXAMPLES; do
  grep -q "^\.SH $section" "$man" || fail "the man page has no $section section"
done
# The sample configuration, searched after the user's own.
cmp -s "$prefix/etc/xdg/zazir/ZAZIR.CFG" "$(dirname "$0")/../../examples/ZAZIR.CFG" ||
  fail "no sample configuration in $prefix/etc/xdg/zazir"

"$prefix/bin/zazir" --version </dev/null | grep -qE '^zazir [0-9]+\.[0-9]+\.[0-9]+$' ||
  fail "--version"
"$prefix/bin/zazir" --help </dev/null | grep -q '^Usage: zazir' || fail "--help"
# Without a terminal the program refuses to start, and says so.
status=0
"$prefix/bin/zazir" some.log </dev/null >/dev/null 2>"$prefix/err" || status=$?
[ "$status" = 1 ] || fail "status $status without a terminal"
grep -q 'terminal' "$prefix/err" || fail "no message without a terminal"
echo PASS
