#!/usr/bin/env bash
# The window's search against the command line's, on the 300k tree's index,
# with a keyword every file name holds (about 300k hits): from the Enter key to
# the result list's rows painted (window_search_bench, offscreen, one window
# searching RUNS times) against `chengjing-cli search WORD > file` (hyperfine,
# warm cache). Prints both medians and their ratio against the target; the
# figures of each run are added to $D/results-window/summary.txt.
#
#   bench/window_search_bench.sh          set up what is missing, build, measure
#   RUNS=30 bench/window_search_bench.sh  more runs of each a round (default 20, after 2 warm-ups)
#   ROUNDS=5 bench/window_search_bench.sh more rounds (default 3): the command line and
#                                         the window take turns, round after round
#   WORD=jpg bench/window_search_bench.sh another keyword (default ".": every file
#                                         name has an extension or is a dot file)
#
# Data lives in D (default /var/tmp/cj-bench), shared with engine_bench.sh:
# only its 300k part is made here (the tree and cj300k, the run directory
# whose index is our own refresh of the tree), not the 10M path list.
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
REPO=$(cd "$HERE/.." && pwd)
SHARED=${SHARED:-$(cd "$REPO/../shared/bench" 2>/dev/null && pwd || echo /work/shared/bench)}
D=${D:-/var/tmp/cj-bench}
RUNS=${RUNS:-20}
ROUNDS=${ROUNDS:-3}
WORD=${WORD:-.}
TARGET=1.3
O=$D/out
CJ3=$D/cj300k
RESULTS=$D/results-window
BIN=$REPO/build/release/bin

setup() {
    if ! command -v hyperfine >/dev/null; then
        local sudo=""
        [ "$(id -u)" -eq 0 ] || sudo=sudo
        $sudo apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq hyperfine >/dev/null
    fi
    mkdir -p "$D" "$O" "$RESULTS" "$CJ3/data"
    # The same command as engine_bench.sh's.
    [ -d "$D/tree" ] || python3 "$SHARED/make_corpus.py" tree "$D/tree" --files 300000 --tiny \
        --list "$D/index300k.txt" --summary "$D/tree300k.summary.json" >/dev/null
    # ccache when the machine has it; the build does not need it.
    local launcher=()
    command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    (cd "$REPO" && scripts/deps.sh &&
        cmake --preset release "${launcher[@]}" >/dev/null &&
        cmake --build --preset release -j2 --target chengjing-cli window_search_bench >/dev/null)
    # Renamed into place: a copy over the file fails while another script runs it.
    cp "$BIN/chengjing-cli" "$CJ3/.chengjing-cli.new"
    mv -f "$CJ3/.chengjing-cli.new" "$CJ3/chengjing-cli"
    if [ ! -f "$CJ3/data/1.txt" ] || [ ! -f "$CJ3/data/2.txt" ]; then
        "$CJ3/chengjing-cli" refresh --threads 2 --folder "$D/tree" >/dev/null
    fi
}

median_ms() {
    python3 -c 'import json,statistics,sys; t=json.load(open(sys.argv[1]))["results"][0]["times"]; print("%.1f" % (1e3*statistics.median(t)))' "$1"
}

run() {
    local records hits
    records=$(python3 -c '
import re, sys
text = open(sys.argv[1], encoding="utf-8", errors="replace").read()
section = re.search(r"^\[syjs\]\s*$(.*?)(?=^\[|\Z)", text, re.M | re.S).group(1)
print(sum(int(v) for v in re.findall(r"^\s*\d+\s*=\s*(\d+)\s*$", section, re.M)))
' "$CJ3/data/chengjing.ini")
    hits=$("$CJ3/chengjing-cli" search --count "$WORD")
    if [ "$hits" -eq 0 ]; then
        echo "no file name holds \"$WORD\"" >&2
        exit 1
    fi
    echo "== $D/tree's index: $records records; \"$WORD\" is held by $hits file names"
    if [ "$hits" != "$records" ]; then
        echo "   (not every file name holds \"$WORD\": the figures are for $hits hits)"
    fi

    # The shared machine's load moves within seconds, so the two sides take
    # turns, round after round, and each side's figure is the median of its
    # round medians.
    local round cli count window written
    local clis=() windows=()
    for round in $(seq 1 "$ROUNDS"); do
        echo "== round $round of $ROUNDS ($(date '+%H:%M:%S'), load average $(cut -d' ' -f1-3 /proc/loadavg))"
        hyperfine --style none --output=pipe -w 2 -r "$RUNS" --export-json "$RESULTS/cli-paths-$round.json" \
            "$CJ3/chengjing-cli search $WORD > $O/cj-window-word.txt" >/dev/null
        hyperfine --style none --output=pipe -w 2 -r "$RUNS" --export-json "$RESULTS/cli-count-$round.json" \
            "$CJ3/chengjing-cli search --count $WORD > $O/cj-window-count.txt" >/dev/null
        cli=$(median_ms "$RESULTS/cli-paths-$round.json")
        count=$(median_ms "$RESULTS/cli-count-$round.json")
        written=$(wc -l < "$O/cj-window-word.txt")
        if [ "$written" != "$hits" ]; then
            echo "  the command line wrote $written paths, expected $hits" >&2
            exit 1
        fi
        printf '  command line (hyperfine, %s runs after 2 warm-ups):\n' "$RUNS"
        printf '    %-38s %8s ms   (%s lines written)\n' "search $WORD > file (paths)" "$cli" "$written"
        printf '    %-38s %8s ms   (no output: scan and count)\n' "search --count $WORD" "$count"
        echo "  window (offscreen, $RUNS searches after 2 warm-ups in one window):"
        RUNS=$RUNS "$BIN/window_search_bench" "$CJ3" "$WORD" "$hits" > "$RESULTS/window-$round.txt"
        sed 's/^/    /' "$RESULTS/window-$round.txt"
        window=$(sed -n 's/^median_ms=\([0-9.]*\).*/\1/p' "$RESULTS/window-$round.txt")
        clis+=("$cli")
        windows+=("$window")
    done

    echo "== ratio ($(date '+%Y-%m-%d %H:%M'), load average $(cut -d' ' -f1-3 /proc/loadavg))"
    python3 -c '
import statistics, sys
target, rounds = float(sys.argv[1]), int(sys.argv[2])
cli = [float(x) for x in sys.argv[3:3 + rounds]]
window = [float(x) for x in sys.argv[3 + rounds:]]
for i, (w, c) in enumerate(zip(window, cli), 1):
    print("  round %d: window %.1f ms / cli %.1f ms = %.2f" % (i, w, c, w / c))
w, c = statistics.median(window), statistics.median(cli)
r = w / c
print("  %-58s %5.2f  (target <= %.2f)  %s" % ("window Enter to rows painted / cli search > file",
      r, target, "met" if r <= target else "NOT MET by %.0f%%" % (100 * (r / target - 1))))
print("  (medians of the round medians: window %.1f ms, cli %.1f ms)" % (w, c))
' "$TARGET" "$ROUNDS" "${clis[@]}" "${windows[@]}" | tee "$RESULTS/last.txt"
    { echo "$(date '+%F %T'), load $(cut -d' ' -f1-3 /proc/loadavg), $hits hits:"; cat "$RESULTS/last.txt"; } \
        >> "$RESULTS/summary.txt"
}

setup
run
