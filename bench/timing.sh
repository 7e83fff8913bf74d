# shellcheck shell=bash
# Timing helpers shared by the benchmark scripts; source it after setting
# HERE (this folder), RESULTS (where figures go) and RUNS.

# group GROUP NAME=COMMAND...: times the commands side by side and leaves each
# median in ms in $RESULTS/GROUP-NAME.ms. hyperfine by default; INTERLEAVE=1
# takes the commands in turn, round after round (for a machine under load).
# Per call: GROUP_RUNS (default RUNS), WARMUPS (default 2) and PREPARE, a
# command run before every run, warm-ups included.
group() {
    local grp=$1 pair name cmd
    shift
    local runs=${GROUP_RUNS:-$RUNS} warmups=${WARMUPS:-2}
    if [ "${INTERLEAVE:-0}" = 1 ]; then
        PREPARE=${PREPARE:-} python3 "$HERE/interleave.py" "$runs" "$warmups" "$@" | while read -r name med _; do
            echo "$med" > "$RESULTS/$grp-$name.ms"
        done
    else
        for pair in "$@"; do
            name=${pair%%=*}
            cmd=${pair#*=}
            hyperfine --style none --output=pipe -w "$warmups" -r "$runs" --prepare "${PREPARE:-true}" \
                --export-json "$RESULTS/$grp-$name.json" "$cmd" >/dev/null
            python3 -c 'import json,statistics,sys; t=json.load(open(sys.argv[1]))["results"][0]["times"]; print("%.1f" % (1e3*statistics.median(t)))' \
                "$RESULTS/$grp-$name.json" > "$RESULTS/$grp-$name.ms"
        done
    fi
    for pair in "$@"; do
        name=${pair%%=*}
        printf '  %-18s %8s ms   %s\n' "$name" "$(cat "$RESULTS/$grp-$name.ms")" "${pair#*=}"
    done
}

ms() { cat "$RESULTS/$1.ms"; }
min_ms() { python3 -c 'import sys; print(min(float(open(f).read()) for f in sys.argv[1:]))' "${@/#/$RESULTS/}"; }

# ratio LABEL NUMERATOR_MS DENOMINATOR_MS TARGET: prints the ratio against its
# target and adds the line to $RESULTS/summary.txt.
ratio() {
    python3 -c '
import sys
label, a, b, target = sys.argv[1], float(sys.argv[2]), float(sys.argv[3]), float(sys.argv[4])
r = a / b
print("  %-58s %5.2f  (target <= %.2f)  %s" % (label, r, target, "met" if r <= target else "NOT MET by %.0f%%" % (100 * (r / target - 1))))
' "$@" | tee -a "$RESULTS/summary.txt"
}
