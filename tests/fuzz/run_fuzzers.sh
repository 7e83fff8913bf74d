#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build/fuzz and runs each one from
# seeds made by make_seeds.py (nothing binary is kept in the repository).
#   tests/fuzz/run_fuzzers.sh                  short form, 15 s a target (CI)
#   tests/fuzz/run_fuzzers.sh --long           10 million executions a target
#   tests/fuzz/run_fuzzers.sh [--long] TARGET... [-- LIBFUZZER_FLAG...]
# Exits 1 when a target crashes, fails a check or a sanitizer reports; the
# input that did it is kept in build/fuzz/artifacts/.
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD

limits=(-max_total_time=15)
if [ "${1:-}" = --long ]; then
    limits=(-runs=10000000)
    shift
fi
targets=()
while [ $# -gt 0 ] && [ "$1" != -- ]; do
    targets+=("$1")
    shift
done
[ "${1:-}" = -- ] && shift
[ ${#targets[@]} -gt 0 ] || targets=(backup_fuzzer profile_fuzzer shard_file_fuzzer shard_scan_fuzzer)

if ! command -v clang++ >/dev/null; then
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq clang >/dev/null
fi
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCJ_FUZZ=ON -DCJ_BUILD_TESTS=OFF \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
cmake --build build/fuzz --target "${targets[@]}" -j2 >/dev/null

work=$(mktemp -d -p "$([ -d /dev/shm ] && echo /dev/shm || echo "${TMPDIR:-/tmp}")")
trap 'rm -rf "$work"' EXIT
export CJ_FUZZ_SCRATCH=$work
python3 tests/fuzz/make_seeds.py "$work/corpus"
mkdir -p build/fuzz/artifacts

status=0
for target in "${targets[@]}"; do
    dict=$root/tests/fuzz/shard.dict
    extra=()
    case $target in
        backup_fuzzer) dict=$root/tests/fuzz/backup.dict ;;
        # Every input's file is read about 25 times, and longer files are
        # mostly more directory lists, each title compared with those before
        # it: at 2 KB a run is half as fast as at 256 bytes and reaches no
        # new code (724 edges against 722).
        profile_fuzzer) dict=$root/tests/fuzz/profile.dict extra=(-max_len=512) ;;
        # The naive reference reads GBK records in quadratic time.
        shard_scan_fuzzer) extra=(-max_len=2048) ;;
    esac
    mkdir -p "$work/corpus/$target"
    started=$SECONDS
    if (cd "$work" && "$root/build/fuzz/bin/$target" -dict="$dict" "${extra[@]}" "${limits[@]}" \
            -print_final_stats=1 -artifact_prefix="$root/build/fuzz/artifacts/$target-" \
            "$@" "$work/corpus/$target") >"$work/$target.log" 2>&1; then
        result=passed
    else
        result=FAILED
        status=1
        grep -E -A30 'ERROR|check failed|runtime error' "$work/$target.log" | head -60 || true
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/$target.log")
    cov=$(grep -oE 'cov: [0-9]+ ft: [0-9]+' "$work/$target.log" | tail -1)
    echo "$target: $result, ${runs:-?} executions in $((SECONDS - started)) s, $cov"
done
exit $status
