#!/usr/bin/env bash
# Runs the guard-page test (badinput_guard.exe) with its output in a file. The test initialises
# COM, whose window needs Wine's desktop process; when the test is the run's first program to
# need it, Wine starts that process, which inherits the test's standard error and would keep a
# pipe of ctest's open until the whole run ends.
set -euo pipefail

arch=${1:?usage: guard.sh x64|x86}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=${FWSETUP_BUILD_DIR:-$root/build}
out=$(mktemp)
trap 'rm -f "$out"' EXIT

rc=0
"$root/tools/wine" "$build/$arch/bin/badinput_guard.exe" </dev/null >"$out" 2>&1 || rc=$?
cat "$out"
exit "$rc"
