#!/usr/bin/env bash
# Builds the libFuzzer targets (preset `fuzz`) and runs each for a bounded time, one result line each.
#   FUZZ_SECONDS  seconds per target (default 30)
#   FUZZ_TARGETS  the targets to run, separated by blanks (default: all)
# The seeds in tests/fuzz/corpus/<target>/ are copied into build/fuzz/corpus-work/<target>/, which
# the fuzzer grows and later runs start from; the checked-in seeds are never changed.
# A crash, a sanitizer report, a leak, a slow input (over 10 s) or memory use over 2 GB fails the run:
# the script exits non-zero and the input is left in build/fuzz/crashes/, the output in build/fuzz/logs/.
set -uo pipefail
cd "$(dirname "$0")/.."

seconds="${FUZZ_SECONDS:-30}"
targets="${FUZZ_TARGETS:-fuzz_settings_record fuzz_list_file fuzz_picture_claim}"
build=build/fuzz

if ! [[ "$seconds" =~ ^[1-9][0-9]*$ ]]; then
    echo "fuzz: FUZZ_SECONDS must be a positive number of seconds, not '$seconds'" >&2
    exit 2
fi

mkdir -p "$build"
if ! cmake --preset fuzz >"$build/configure.log" 2>&1; then
    cat "$build/configure.log" >&2
    echo "fuzz: configuring the fuzz preset failed (clang and libclang-rt-14-dev are needed)" >&2
    exit 1
fi
if ! cmake --build --preset fuzz; then
    echo "fuzz: building the fuzz targets failed" >&2
    exit 1
fi

mkdir -p "$build/corpus-work" "$build/crashes" "$build/logs"
status=0
for target in $targets; do
    seeds="tests/fuzz/corpus/$target"
    work="$build/corpus-work/$target"
    log="$build/logs/$target.log"
    if [ ! -x "$build/bin/$target" ] || [ ! -d "$seeds" ]; then
        echo "$target: FAILED, no such fuzz target or no seeds in $seeds"
        status=1
        continue
    fi
    mkdir -p "$work"
    cp -p "$seeds"/* "$work"/ 2>/dev/null || true

    "$build/bin/$target" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
        -print_final_stats=1 -artifact_prefix="$build/crashes/$target-" "$work" >"$log" 2>&1
    rc=$?

    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    coverage=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1 | cut -d' ' -f2)
    inputs=$(find "$work" -type f | wc -l)
    if [ "$rc" -eq 0 ]; then
        echo "$target: ok, ${runs:-?} runs in ${seconds} s, coverage ${coverage:-?}, corpus $inputs inputs"
    else
        artifact=$(sed -n 's/.*Test unit written to \(.*\)$/\1/p' "$log" | tail -n 1)
        kind=$(basename "${artifact:-unknown-}" | sed "s/^$target-//; s/-.*//")
        echo "$target: FAILED ($kind, exit $rc), input ${artifact:-not written}, log $log"
        # The start of the report that explains it, and its summary.
        { sed -n '/ERROR: \|check failed\|runtime error\|deadly signal\|ALARM\|out-of-memory/,$p' "$log" |
            head -n 8; grep -m 1 '^SUMMARY: ' "$log"; } | cut -c 1-200 | sed 's/^/    /'
        status=1
    fi
done
exit $status
