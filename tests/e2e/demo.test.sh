#!/usr/bin/env bash
# scripts/demo builds the program alone, in Release, without tests,
# sanitizers or fuzzing (a cmake first on PATH records what it is asked and
# makes a stand-in program), then runs it on the example in a scratch
# directory.
set -euo pipefail
source_dir=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

mkdir "$work/bin"
cat >"$work/bin/cmake" <<'EOF'
#!/usr/bin/env bash
echo "$*" >>"$DEMO_CALLS"
if [ "$1" = -S ]; then mkdir -p "$4"; fi
if [ "$1" = --build ]; then
  printf '#!/bin/sh\necho "ran $* in $PWD" >>"$DEMO_CALLS"\n' >"$2/zazir"
  chmod +x "$2/zazir"
fi
EOF
chmod +x "$work/bin/cmake"
export DEMO_CALLS=$work/calls
PATH="$work/bin:$PATH" ZAZIR_DEMO_BUILD="$work/build" TMPDIR="$work" \
  bash "$source_dir/scripts/demo" </dev/null >"$work/out" 2>&1 || fail "demo: $(cat "$work/out")"

configure=$(sed -n 1p "$work/calls")
for option in -DCMAKE_BUILD_TYPE=Release -DZAZIR_TESTS=OFF -DZAZIR_SANITIZE=OFF -DZAZIR_FUZZ=OFF; do
  [[ " $configure " == *" $option "* ]] || fail "configured without $option: $configure"
done
build=$(sed -n 2p "$work/calls")
[[ $build =~ ^--build\ $work/build\ .*--target\ zazir$ ]] || fail "built more than the program: $build"
[[ $(sed -n 3p "$work/calls") =~ ^ran\ DEMO.LOG\ in\ $work/zazir-demo\. ]] ||
  fail "not run on the example: $(cat "$work/calls")"
echo PASS
