#!/usr/bin/env bash
# Engine benchmarks: chengjing-cli against grep, find, fd and the scan-limit
# yardstick, side by side in one run, warm cache, medians over RUNS runs.
#
#   bench/engine_bench.sh            set up what is missing, then measure and print the ratios
#   bench/engine_bench.sh setup      only build the corpora, scanlimit and chengjing-cli
#   bench/engine_bench.sh run        only measure (after a setup)
#   bench/engine_bench.sh refresh    only the refresh groups, warm and cold (after a setup)
#   bench/engine_bench.sh batch      only the batch search of 1,000 and 10,000 numbers (sets
#                                    up its number lists; the commands are interleaved unless
#                                    INTERLEAVE=0)
#   RUNS=15 bench/engine_bench.sh    more runs per command (default 10, after 2 warm-ups)
#   INTERLEAVE=1 bench/engine_bench.sh run   take the commands of a group in turn, round
#                                    after round, instead of hyperfine's one after the other
#
# Data lives in D (default /var/tmp/cj-bench, off /tmp, shared with the
# corpus tools' own anchors.sh): the 300k tree, the 10M path list and its two
# shards (about 1.5 GB). The corpus tools are in SHARED (default ../shared/bench
# beside the repository, or /work/shared/bench).
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
REPO=$(cd "$HERE/.." && pwd)
SHARED=${SHARED:-$(cd "$REPO/../shared/bench" 2>/dev/null && pwd || echo /work/shared/bench)}
D=${D:-/var/tmp/cj-bench}
RUNS=${RUNS:-10}
FEW=SF1400000000001   # 5 file names (7 full paths) at every size
MANY=SF               # 1,262,157 names in 10M records, 24,315 in the 300k tree
O=$D/out
SL=$D/scanlimit
CJ10=$D/cj10m         # run directory over the 10M shards
CJ3=$D/cj300k         # run directory over our own refresh of the 300k tree
NUM=$D/batch          # the batch search's number lists (batch_numbers.py)
RESULTS=$D/results-engine

install_tools() {
    local missing=()
    command -v hyperfine >/dev/null || missing+=(hyperfine)
    command -v fdfind >/dev/null || missing+=(fd-find)
    command -v python3 >/dev/null || missing+=(python3)
    command -v gcc >/dev/null || missing+=(gcc)
    [ ${#missing[@]} -eq 0 ] && return
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
}

setup() {
    install_tools
    mkdir -p "$D" "$O" "$RESULTS"
    # Same commands as the corpus tools' anchors, plus --tiny so that sizes are real.
    [ -d "$D/tree" ] || python3 "$SHARED/make_corpus.py" tree "$D/tree" --files 300000 --tiny \
        --list "$D/index300k.txt" --summary "$D/tree300k.summary.json" >/dev/null
    [ -f "$D/list10m.txt" ] || python3 "$SHARED/make_corpus.py" list /data/scans --records 10000000 \
        -o "$D/list10m.txt" --summary "$D/list10m.summary.json" >/dev/null
    [ -f "$D/shards10m/2.txt" ] || python3 "$SHARED/make_shards.py" "$D/list10m.txt" "$D/shards10m" -n 2
    [ -x "$SL" ] || gcc -O3 -pthread -o "$SL" "$SHARED/scanlimit.c"

    (cd "$REPO" && scripts/deps.sh && cmake --preset release >/dev/null &&
        cmake --build --preset release --target chengjing-cli >/dev/null)
    for dir in "$CJ10" "$CJ3"; do
        mkdir -p "$dir/data"
        cp "$REPO/build/release/bin/chengjing-cli" "$dir/"
    done
    # The 10M shards as the program's index: shard files and their counts.
    ln -sf "$D/shards10m/1.txt" "$CJ10/data/1.txt"
    ln -sf "$D/shards10m/2.txt" "$CJ10/data/2.txt"
    { cat "$D/shards10m/syjs.ini"; printf '[xcs]\r\nma=2\r\n'; } > "$CJ10/data/chengjing.ini"
    # The 300k index is our own refresh of the tree.
    "$CJ3/chengjing-cli" refresh --threads 2 --folder "$D/tree" >/dev/null
}

# shellcheck source-path=SCRIPTDIR
. "$HERE/timing.sh"

# The refresh with a cold cache: the kernel's caches dropped before every run
# (needs root), so that every folder is read from the disk, as on the first
# refresh of the morning. Fewer runs: each one rereads the whole tree.
refresh_cold() {
    local drop="sync; echo 3 > /proc/sys/vm/drop_caches"
    if ! sh -c "$drop" 2>/dev/null; then
        echo "== cold refresh skipped: the caches cannot be dropped here (root needed)"
        return
    fi
    echo "== refresh of the 300k tree, cold cache (caches dropped before every run)"
    PREPARE=$drop GROUP_RUNS=${COLD_RUNS:-5} group cold \
        "cj-refresh=$CJ3/chengjing-cli refresh --threads 2 --folder $D/tree > /dev/null" \
        "find-list=find $D/tree -name '.*' -type d -prune -o -type f -print > $O/find_list.txt" \
        "fd=fdfind -u -t f . $D/tree > $O/fd_list.txt"
}

# Only the refresh groups, warm and cold, with their ratios.
run_refresh() {
    mkdir -p "$RESULTS" "$O"
    echo "== refresh of the 300k tree, warm (sync before every run)"
    PREPARE=sync group walk \
        "cj-refresh=$CJ3/chengjing-cli refresh --threads 2 --folder $D/tree > /dev/null" \
        "find-list=find $D/tree -name '.*' -type d -prune -o -type f -print > $O/find_list.txt" \
        "fd=fdfind -u -t f . $D/tree > $O/fd_list.txt"
    refresh_cold
    echo "== ratios (same run)"
    ratio "refresh 300k: cj / find -prune -print > list" "$(ms walk-cj-refresh)" "$(ms walk-find-list)" 0.6
    ratio "refresh 300k: cj / fdfind -u -t f" "$(ms walk-cj-refresh)" "$(ms walk-fd)" 1.0
    if [ -f "$RESULTS/cold-fd.ms" ]; then
        ratio "refresh 300k cold: cj / fdfind -u -t f" "$(ms cold-cj-refresh)" "$(ms cold-fd)" 1.0
        ratio "refresh 300k cold: cj / find -prune -print > list" "$(ms cold-cj-refresh)" "$(ms cold-find-list)" 1.0
    fi
}

# The batch search of many waybill numbers against the single rare search and
# against grep -F -f with the same numbers on both shards. The machine is
# shared: by default the commands are taken in turn, round after round.
run_batch() {
    mkdir -p "$RESULTS" "$O"
    [ -f "$NUM/numbers10000.txt" ] || python3 "$HERE/batch_numbers.py" "$D/list10m.txt" "$NUM"
    local s10="$D/shards10m" n1="$NUM/numbers1000.txt" n10="$NUM/numbers10000.txt"
    echo "== batch search, 10M records, 2 shards (INTERLEAVE=${INTERLEAVE:-1})"
    INTERLEAVE=${INTERLEAVE:-1} group batch \
        "cj-few=$CJ10/chengjing-cli search $FEW > $O/cj-few.txt" \
        "cj-batch1k=$CJ10/chengjing-cli search --batch $n1 > $O/cj-batch1k.txt" \
        "grep-batch1k=LC_ALL=C grep -F -f $n1 $s10/1.txt > $O/g-batch1k.1 & LC_ALL=C grep -F -f $n1 $s10/2.txt > $O/g-batch1k.2 & wait" \
        "cj-batch10k=$CJ10/chengjing-cli search --batch $n10 > $O/cj-batch10k.txt" \
        "cj-batch1k-i=$CJ10/chengjing-cli search -i --batch $n1 > $O/cj-batch1k-i.txt" \
        "cj-batch10k-i=$CJ10/chengjing-cli search -i --batch $n10 > $O/cj-batch10k-i.txt"
    echo "== checks"
    echo "  1,000 numbers: $("$CJ10/chengjing-cli" search --batch "$n1" --missing | wc -l) missing, $(grep -vc $'\t$' "$O/cj-batch1k.txt") hits; grep lines $(cat "$O"/g-batch1k.? | wc -l) (folders too)"
    echo "  10,000 numbers: $("$CJ10/chengjing-cli" search --batch "$n10" --missing | wc -l) missing, $(grep -vc $'\t$' "$O/cj-batch10k.txt") hits"
    echo "== ratios (same run)"
    ratio "batch of 1,000 numbers: cj / cj single rare search" "$(ms batch-cj-batch1k)" "$(ms batch-cj-few)" 2.0
    ratio "batch of 1,000 numbers: cj / grep -F -f on both shards" "$(ms batch-cj-batch1k)" "$(ms batch-grep-batch1k)" 0.5
    ratio "batch of 10,000 numbers: cj / cj single rare search" "$(ms batch-cj-batch10k)" "$(ms batch-cj-few)" 3.0
    # Ignoring case and width: the same targets.
    ratio "batch of 1,000 numbers -i: cj / cj single rare search" "$(ms batch-cj-batch1k-i)" "$(ms batch-cj-few)" 2.0
    ratio "batch of 1,000 numbers -i: cj / grep -F -f on both shards" "$(ms batch-cj-batch1k-i)" "$(ms batch-grep-batch1k)" 0.5
    ratio "batch of 10,000 numbers -i: cj / cj single rare search" "$(ms batch-cj-batch10k-i)" "$(ms batch-cj-few)" 3.0
}

run() {
    mkdir -p "$RESULTS" "$O"
    rm -f "$RESULTS/summary.txt"
    local s10="$D/shards10m" s3="$CJ3/data"
    echo "== search 10M records, 2 shards"
    group s10 \
        "cj-few=$CJ10/chengjing-cli search $FEW > $O/cj-few.txt" \
        "grep-few=LC_ALL=C grep -F $FEW $s10/1.txt > $O/g-few.1 & LC_ALL=C grep -F $FEW $s10/2.txt > $O/g-few.2 & wait" \
        "limit-few=$SL -m name $s10/1.txt,$s10/2.txt $FEW" \
        "limitx-few=$SL -x -m name $s10/1.txt,$s10/2.txt $FEW" \
        "cj-few-i=$CJ10/chengjing-cli search -i $FEW > $O/cj-few-i.txt" \
        "cj-many=$CJ10/chengjing-cli search $MANY > $O/cj-many.txt" \
        "cj-many-i=$CJ10/chengjing-cli search -i $MANY > $O/cj-many-i.txt" \
        "grep-many=LC_ALL=C grep -F $MANY $s10/1.txt > $O/g-many.1 & LC_ALL=C grep -F $MANY $s10/2.txt > $O/g-many.2 & wait" \
        "limit-many=$SL -m name $s10/1.txt,$s10/2.txt $MANY" \
        "limitx-many=$SL -x -m name $s10/1.txt,$s10/2.txt $MANY"

    echo "== search the 300k tree's index with sizes (three times the runs: 30 ms commands)"
    GROUP_RUNS=$((3 * RUNS)) group s300 \
        "cj-long-many=$CJ3/chengjing-cli search --long $MANY > $O/cj-long-many.txt" \
        "limit-stat-many=$SL -m name -z stat $s3/1.txt,$s3/2.txt $MANY" \
        "limitx-stat-many=$SL -x -m name -z stat $s3/1.txt,$s3/2.txt $MANY"

    echo "== refresh of the 300k tree (sync before every run: the refresh flushes its shards"
    echo "   to disk, and must not wait for the search outputs written just before)"
    PREPARE=sync group walk \
        "cj-refresh=$CJ3/chengjing-cli refresh --threads 2 --folder $D/tree > /dev/null" \
        "find-list=find $D/tree -name '.*' -type d -prune -o -type f -print > $O/find_list.txt" \
        "fd=fdfind -u -t f . $D/tree > $O/fd_list.txt"

    refresh_cold

    echo "== memory of a 10M search (peak private pages; the mapped shards are page cache)"
    local hitsFew hitsMany
    hitsFew=$("$CJ10/chengjing-cli" search --count $FEW)
    hitsMany=$("$CJ10/chengjing-cli" search --count $MANY)
    local memFew memMany
    memFew=$(python3 "$HERE/peak_private.py" "$CJ10/chengjing-cli" search $FEW)
    memMany=$(python3 "$HERE/peak_private.py" "$CJ10/chengjing-cli" search $MANY)
    echo "  rare:   $memFew  hits=$hitsFew"
    echo "  common: $memMany  hits=$hitsMany (shard 1's go straight out; the others' paths are 16 bytes each)"

    echo "== checks"
    echo "  hits: cj rare $(wc -l < "$O/cj-few.txt") (-i $(wc -l < "$O/cj-few-i.txt")), cj common $(wc -l < "$O/cj-many.txt") (-i $(wc -l < "$O/cj-many-i.txt")), 300k common $(( $(wc -l < "$O/cj-long-many.txt") / 3 ))"

    echo "== ratios (same run)"
    ratio "search 10M rare: cj / grep -F on both shards" "$(ms s10-cj-few)" "$(ms s10-grep-few)" 0.65
    ratio "search 10M rare: cj / scanlimit (2 threads, mmap, best)" "$(ms s10-cj-few)" "$(min_ms s10-limit-few.ms s10-limitx-few.ms)" 1.5
    ratio "search 10M common, paths: cj / grep -F on both shards" "$(ms s10-cj-many)" "$(ms s10-grep-many)" 1.0
    # Ignoring case and width (-i): the same targets.
    ratio "search 10M rare -i: cj / grep -F on both shards" "$(ms s10-cj-few-i)" "$(ms s10-grep-few)" 0.65
    ratio "search 10M rare -i: cj / scanlimit (2 threads, mmap, best)" "$(ms s10-cj-few-i)" "$(min_ms s10-limit-few.ms s10-limitx-few.ms)" 1.5
    ratio "search 10M common -i, paths: cj / grep -F on both shards" "$(ms s10-cj-many-i)" "$(ms s10-grep-many)" 1.0
    ratio "search 300k common with sizes: cj --long / scanlimit -z stat" "$(ms s300-cj-long-many)" "$(min_ms s300-limit-stat-many.ms s300-limitx-stat-many.ms)" 1.2
    ratio "refresh 300k: cj / find -prune -print > list" "$(ms walk-cj-refresh)" "$(ms walk-find-list)" 0.6
    ratio "refresh 300k: cj / fdfind -u -t f" "$(ms walk-cj-refresh)" "$(ms walk-fd)" 1.0
    if [ -f "$RESULTS/cold-fd.ms" ]; then
        ratio "refresh 300k cold: cj / fdfind -u -t f" "$(ms cold-cj-refresh)" "$(ms cold-fd)" 1.0
    fi
    python3 -c '
import re, sys
anon = int(re.search(r"peak_anon_kib=(\d+)", sys.argv[1]).group(1)) / 1024
print("  %-58s %5.1f MiB  (target <= 64 besides the hits)  %s" % ("peak private memory of a 10M common search, hits included", anon, "met" if anon <= 64 else "NOT MET"))
' "$memMany" | tee -a "$RESULTS/summary.txt"
}

case "${1:-}" in
    setup) setup ;;
    run) run ;;
    refresh) run_refresh ;;
    batch) run_batch ;;
    "") setup; run ;;
    *) echo "usage: $0 [setup|run|refresh|batch]" >&2; exit 2 ;;
esac
