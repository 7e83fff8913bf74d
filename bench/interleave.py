#!/usr/bin/env python3
"""Times shell commands in turn, round after round, and prints each one's median.

  interleave.py ROUNDS WARMUP NAME=COMMAND [NAME=COMMAND ...]

For a busy machine: hyperfine runs all runs of one command before the next, so a
change of load between them skews their ratio; taking the commands in turn spreads
the load over all of them alike. Prints "NAME median_ms min_ms" lines. The
environment variable PREPARE, when set, is a command run before every timed run.
"""
import os
import statistics
import subprocess
import sys
import time


def main():
    rounds, warmup = int(sys.argv[1]), int(sys.argv[2])
    named = [arg.split("=", 1) for arg in sys.argv[3:]]
    times = {name: [] for name, _ in named}
    for r in range(warmup + rounds):
        for name, command in named:
            if os.environ.get("PREPARE"):
                subprocess.run(os.environ["PREPARE"], shell=True, check=True)
            start = time.perf_counter()
            subprocess.run(command, shell=True, check=True, stdout=subprocess.DEVNULL)
            if r >= warmup:
                times[name].append(1e3 * (time.perf_counter() - start))
    for name, _ in named:
        print("%s %.1f %.1f" % (name, statistics.median(times[name]), min(times[name])))


if __name__ == "__main__":
    main()
