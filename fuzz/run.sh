#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs one libFuzzer target for a while:  fuzz/run.sh TARGET SECONDS [libFuzzer flags...]
# or each of its corpus inputs once:      fuzz/run.sh TARGET replay
# TARGET is header, load, parse_number, format or cli. Builds build-fuzz (clang) if
# needed. The committed corpus fuzz/corpus/TARGET (and for the readers the
# bundled data and the hostile corpus) seed the run; new inputs go to
# fuzz/out/TARGET/corpus, failures to fuzz/out/TARGET/, the log to
# fuzz/out/TARGET/log. To keep what was found:
#   build-fuzz/fuzz/fuzz_TARGET -merge=1 fuzz/corpus/TARGET fuzz/out/TARGET/corpus
set -euo pipefail
cd "$(dirname "$0")/.."

if (($# < 2)); then
    echo "usage: fuzz/run.sh header|load|parse_number|format|cli SECONDS [libFuzzer flags...]" >&2
    exit 2
fi
target=$1
seconds=$2
shift 2

case $target in
header | load)
    seeds=(quenrow-data tests/data/hostile)
    # Room for the stretch of fuzz_support.h to make 64 KiB lines.
    max_len=16384
    ;;
parse_number) seeds=() max_len=256 ;;
format) seeds=() max_len=64 ;;
cli) seeds=() max_len=4096 ;;
*)
    echo "unknown target: $target" >&2
    exit 2
    ;;
esac

# Two runs may start together: one builds, the other waits.
mkdir -p build-fuzz
(
    flock 9
    [[ -f build-fuzz/CMakeCache.txt ]] || cmake --preset fuzz >/dev/null
    cmake --build build-fuzz -j2 --target "fuzz_$target" >/dev/null
) 9>build-fuzz/.lock

if [[ $seconds == replay ]]; then
    log=$(mktemp)
    trap 'rm -f "$log"' EXIT
    status=0
    "build-fuzz/fuzz/fuzz_$target" -runs=0 "fuzz/corpus/$target" "${seeds[@]}" >"$log" 2>&1 ||
        status=$?
    grep -E '^(INFO: seed corpus|#[0-9]+[[:space:]]+INITED)' "$log" || true
    ((status == 0)) || cat "$log" >&2
    echo "fuzz_$target replay: exit $status"
    exit "$status"
fi

out=fuzz/out/$target
mkdir -p "$out/corpus"
# -malloc_limit_mb: no single allocation may approach the size of a big file.
# -timeout: any input taking seconds is a hang.
set +e
"build-fuzz/fuzz/fuzz_$target" \
    -max_total_time="$seconds" -max_len="$max_len" -timeout=10 -malloc_limit_mb=16 \
    -print_final_stats=1 -artifact_prefix="$out/" "$@" \
    "$out/corpus" "fuzz/corpus/$target" "${seeds[@]}" >"$out/log" 2>&1
status=$?
set -e
grep -E '^(stat::|SUMMARY|.*check failed)' "$out/log" || true
crashes=$(find "$out" -maxdepth 1 -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) | wc -l)
echo "fuzz_$target: exit $status, $crashes failing inputs in $out"
exit "$status"
