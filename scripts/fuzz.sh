#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and UBSan on) in build-fuzz
# and runs them, each for the given time, on a scratch corpus outside the repository
# seeded from tests/fuzz/corpus. Findings (crash-*, leak-*, oom-*, timeout-*) land in
# the scratch folder's artifacts/ and end the run of their target with an error.
#
# Usage: scripts/fuzz.sh [-t seconds] [-n runs] [-j jobs] [-w dir] [target...] [-- options]
#   (options after -- go to libFuzzer as they are)
#   -t  seconds per target (default 60)
#   -n  executions per target at most (default: no limit)
#   -j  parallel fuzzing processes per target (default 1)
#   -w  scratch folder (default $TMPDIR/rq730-fuzz); kept between runs, so a campaign
#       goes on from the corpus the last one grew
#   targets: document_reader settings_reader download_parse realtime_frame
#            receive_handler (default: all, one after the other)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
all_targets=(document_reader settings_reader download_parse realtime_frame receive_handler)

seconds=60
runs=-1
jobs=1
work=${TMPDIR:-/tmp}/rq730-fuzz
while getopts "t:n:j:w:" opt; do
    case $opt in
    t) seconds=$OPTARG ;;
    n) runs=$OPTARG ;;
    j) jobs=$OPTARG ;;
    w) work=$OPTARG ;;
    *) sed -n '2,17p' "$0"; exit 2 ;;
    esac
done
shift $((OPTIND - 1))
targets=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do
    targets+=("$1")
    shift
done
[ "${1:-}" = "--" ] && shift
extra=("$@")
[ ${#targets[@]} -gt 0 ] || targets=("${all_targets[@]}")

FUZZ_DEPS=1 scripts/deps.sh
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DRQ730_FUZZ=ON >/dev/null
cmake --build build-fuzz -j 4 --target "${targets[@]/#/fuzz_}"

export QT_QPA_PLATFORM=offscreen
# The targets keep their files in a private folder under TMPDIR: on a memory file
# system their writes (and the save file's sync) cost next to nothing.
[ -d /dev/shm ] && [ -w /dev/shm ] && export TMPDIR=/dev/shm
export ASAN_OPTIONS="halt_on_error=1:abort_on_error=1:detect_leaks=1"
export LSAN_OPTIONS="suppressions=$root/tests/support/lsan.supp"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"

status=0
for target in "${targets[@]}"; do
    dir=$work/$target
    mkdir -p "$dir/corpus" "$dir/artifacts"
    cp -n "tests/fuzz/corpus/$target"/* "$dir/corpus"/ || true
    echo "== $target: ${seconds}s, $jobs job(s), corpus $dir/corpus, log $dir/last.log"
    options=(-max_total_time="$seconds" -runs="$runs" -max_len=16384 -rss_limit_mb=2048
             -malloc_limit_mb=512 -timeout=10 -print_final_stats=1
             -artifact_prefix="$dir/artifacts/")
    [ "$jobs" -gt 1 ] && options+=(-fork="$jobs")
    if (cd "$dir" && "$root/build-fuzz/tests/fuzz/fuzz_$target" "${options[@]}" "${extra[@]}" \
        "$dir/corpus" >"$dir/last.log" 2>&1); then
        # One process ends with its final stats; fork mode only with its last status line.
        grep -E '^(stat::|#[0-9]+ +DONE)' "$dir/last.log" ||
            grep -E '^#[0-9]+: ' "$dir/last.log" | tail -n 1 || true
    else
        tail -n 40 "$dir/last.log"
        echo "== $target: FINDING, input in $dir/artifacts"
        status=1
    fi
done
exit $status
