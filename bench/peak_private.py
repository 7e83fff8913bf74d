#!/usr/bin/env python3
"""Peak private (anonymous) memory of a command, sampled from /proc every 0.5 ms.

  peak_private.py COMMAND [ARG...]     (stdout of the command goes to /dev/null)

Prints "peak_anon_kib=N peak_rss_kib=M": N counts heap, stacks and other private
pages, not the page-cache pages of a mapped file; M is the whole resident set.
"""
import subprocess
import sys
import time


def sample(pid):
    anon = rss = 0
    try:
        with open("/proc/%d/status" % pid) as f:
            for line in f:
                if line.startswith("RssAnon:"):
                    anon = int(line.split()[1])
                elif line.startswith("VmRSS:"):
                    rss = int(line.split()[1])
    except (FileNotFoundError, ProcessLookupError, ValueError):
        pass
    return anon, rss


def main():
    p = subprocess.Popen(sys.argv[1:], stdout=subprocess.DEVNULL)
    peak_anon = peak_rss = 0
    while p.poll() is None:
        anon, rss = sample(p.pid)
        peak_anon, peak_rss = max(peak_anon, anon), max(peak_rss, rss)
        time.sleep(0.0005)
    print("peak_anon_kib=%d peak_rss_kib=%d" % (peak_anon, peak_rss))
    sys.exit(p.returncode)


if __name__ == "__main__":
    main()
