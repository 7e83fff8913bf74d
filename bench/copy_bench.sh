#!/usr/bin/env bash
# Copy benchmark: chengjing-cli copy against cp -n on the same files, each
# into an empty folder on the same file system, warm cache, medians. The copy
# ends with one flush of the target's file system (syncfs), so it is also
# compared with cp -n followed by sync, which does the same work.
#
#   bench/copy_bench.sh            set up what is missing, then measure and print the ratios
#   bench/copy_bench.sh setup      only build the files and a release chengjing-cli
#   bench/copy_bench.sh run        only measure (after a setup)
#   CLI=path bench/copy_bench.sh setup   take that chengjing-cli instead of building one
#   RUNS=15 bench/copy_bench.sh    more runs of the small files (default 10; the 1 GiB
#                                  file gets half as many, at least 3)
#   INTERLEAVE=1 bench/copy_bench.sh run   take the commands of a group in turn, round
#                                  after round (interleave.py), for a machine under load
#
# Data lives in D (default /var/tmp/cj-bench, off /tmp): copy/small holds
# 10,000 files of 20 to 40 KB, copy/big one 1 GiB file, both of random bytes
# (so that nothing is sparse or compresses); about 1.3 GB, and as much again
# for the copies while it runs. Every run starts with empty target folders and
# a sync, so that no run waits for the previous one's writes.
#
# The copies go to D/copy-out, or to OUT when it is set: a file system of its
# own, e.g. an ext4 image on /dev/shm, takes the disk's scatter out of the
# small files' figures (bench/notes/copy.md):
#   truncate -s 3G /dev/shm/cj.img && mkfs.ext4 -q -F /dev/shm/cj.img
#   mkdir -p /mnt/cjx && mount -o loop /dev/shm/cj.img /mnt/cjx
#   OUT=/mnt/cjx/out bench/copy_bench.sh run
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
REPO=$(cd "$HERE/.." && pwd)
D=${D:-/var/tmp/cj-bench}
RUNS=${RUNS:-10}
C=$D/copy
T=${OUT:-$D/copy-out}
CJ=$D/cjcopy/chengjing-cli
RESULTS=$D/results-copy

setup() {
    command -v hyperfine >/dev/null || {
        local sudo=""
        [ "$(id -u)" -eq 0 ] || sudo=sudo
        $sudo apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq hyperfine >/dev/null
    }
    mkdir -p "$C/small" "$C/big" "$RESULTS"
    if [ ! -f "$C/small.txt" ]; then
        python3 - "$C/small" <<'EOF'
import os, random, sys
folder = sys.argv[1]
rng = random.Random(1400)
for i in range(10000):
    with open(os.path.join(folder, "SF14%011d.jpg" % i), "wb") as f:
        f.write(os.urandom(rng.randint(20000, 40000)))
EOF
        find "$C/small" -type f | sort > "$C/small.txt"
    fi
    if [ ! -f "$C/big.txt" ]; then
        head -c 1G /dev/urandom > "$C/big/scans.bin"
        echo "$C/big/scans.bin" > "$C/big.txt"
    fi
    # The report goes to data/ beside the executable, as the window's does.
    mkdir -p "$(dirname "$CJ")/data"
    if [ -n "${CLI:-}" ]; then
        cp "$CLI" "$CJ"
        return
    fi
    (cd "$REPO" && scripts/deps.sh && cmake --preset release >/dev/null &&
        cmake --build --preset release --target chengjing-cli >/dev/null)
    cp "$REPO/build/release/bin/chengjing-cli" "$CJ"
}

# shellcheck source-path=SCRIPTDIR
. "$HERE/timing.sh"

# Run before every timed run and warm-up: empty target folders and a synced
# disk, so that no run waits for the previous one's writes.
EMPTY_TARGETS="rm -rf $T && mkdir -p $T/cj $T/cp $T/cpp $T/cps && sync"

run() {
    mkdir -p "$RESULTS"
    rm -f "$RESULTS/summary.txt"
    # cp gets the same paths as arguments that chengjing-cli reads from its
    # list; cpp keeps the modification time and mode as chengjing-cli does.
    echo "== 10,000 files of 20-40 KB"
    PREPARE=$EMPTY_TARGETS WARMUPS=1 GROUP_RUNS=$RUNS group small \
        "cj=$CJ copy --to $T/cj < $C/small.txt > /dev/null" \
        "cp=xargs -a $C/small.txt -d '\n' -s 1000000 cp -n -t $T/cp" \
        "cpp=xargs -a $C/small.txt -d '\n' -s 1000000 cp -n --preserve=mode,timestamps -t $T/cpp" \
        "cps=xargs -a $C/small.txt -d '\n' -s 1000000 cp -n -t $T/cps && sync -f $T/cps"
    echo "== one 1 GiB file"
    local bigRuns=$((RUNS / 2 > 3 ? RUNS / 2 : 3))
    PREPARE=$EMPTY_TARGETS WARMUPS=1 GROUP_RUNS=$bigRuns group big \
        "cj=$CJ copy --to $T/cj < $C/big.txt > /dev/null" \
        "cp=cp -n $C/big/scans.bin $T/cp/" \
        "cpp=cp -n --preserve=mode,timestamps $C/big/scans.bin $T/cpp/" \
        "cps=cp -n $C/big/scans.bin $T/cps/ && sync -f $T/cps"
    echo "== checks"
    "$CJ" copy --to "$T/check" < "$C/big.txt" >/dev/null
    cmp "$C/big/scans.bin" "$T/check/scans.bin" && echo "  the 1 GiB copy is byte for byte the source"
    rm -rf "$T"
    echo "== ratios (same run)"
    ratio "10,000 small files: cj / cp -n" "$(ms small-cj)" "$(ms small-cp)" 1.1
    ratio "one 1 GiB file: cj / cp -n" "$(ms big-cj)" "$(ms big-cp)" 1.1
    ratio "10,000 small files: cj / (cp -n; sync -f)" "$(ms small-cj)" "$(ms small-cps)" 1.1
    ratio "one 1 GiB file: cj / (cp -n; sync -f)" "$(ms big-cj)" "$(ms big-cps)" 1.1
}

case "${1:-}" in
    setup) setup ;;
    run) run ;;
    "") setup; run ;;
    *) echo "usage: $0 [setup|run]" >&2; exit 2 ;;
esac
