#!/usr/bin/env bash
# Runs every test: the formatting check, the host tests, bounded fuzzing of the portable code, then the Windows tests
# under Wine.
# Exits non-zero when any test fails.
set -uo pipefail
cd "$(dirname "$0")/.."

status=0
echo "== formatting (clang-format) =="
scripts/format.sh --check || status=1
echo "== host tests (native, sanitizers) =="
ctest --preset host -j2 || status=1
echo "== fuzzing (libFuzzer, ${FUZZ_SECONDS:-30} s per target) =="
scripts/fuzz.sh || status=1
echo "== Windows tests (under Wine) =="
# The first run in a fresh tree creates the Wine prefix; do it before the clock of any test starts.
scripts/wine-run.sh --env >/dev/null
ctest --preset windows || status=1
scripts/wine-run.sh --stop
exit $status
