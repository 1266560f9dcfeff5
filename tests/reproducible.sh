#!/usr/bin/env bash
# Two clean builds give the same bytes: builds the shipped programs again in a
# scratch build folder and compares them with the ones `make` made.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
again=build/again
rm -rf "$again"
if ! make --no-print-directory B="$again" "$again/setup.exe" >"$root/build/again.log" 2>&1; then
    echo "FAILED: the second build did not finish (build/again.log)"; echo "0 passed, 1 failed"; exit 1
fi
passed=0 failed=0
for file in setup.exe apps/Quillmark.exe apps/qmkuins1.exe; do
    if cmp -s "build/$file" "$again/$file"; then passed=$((passed + 1)); else
        failed=$((failed + 1)); echo "FAILED: build/$file differs from $again/$file"; fi
done
rm -rf "$again"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
