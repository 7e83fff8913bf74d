#!/usr/bin/env python3
"""Crash-consistency harness for chengjing-cli's index and its copy.

Drives the command line as a black box and checks the promise of the data
folder: after any interruption of a refresh, the next search sees the whole
previous index or the whole new one, never a mix, never a shard whose record
count disagrees with its file, and the next refresh leaves no temporary file
behind.

Two trees of files with different names (set A, set B) are made; an index of
A is built, then a refresh of B is interrupted:
  syscalls     killed (SIGKILL through strace) on entry to each write, open,
               rename, fsync, unlink... it makes, in turn; with the same
               thread count, with 2 -> 3 and with 3 -> 2 threads;
  enospc       every write from the Nth on fails with ENOSPC (a disk that
               fills up), for each N: a refresh that says it succeeded must
               have written B;
  random       SIGKILL at random instants of a refresh of a large tree;
  concurrency  two refreshes (A with 2 threads, B with 3) and a search loop at
               once: every search sees one whole set; each refresh exits 0 or
               fails saying that another refresh runs.
After each interruption: a search listing every record must give exactly A or
exactly B, each shard's line count must equal its count in chengjing.ini, and
a second, uninterrupted refresh of B must succeed and leave only the names
--allow accepts in data/ (plus no shard numbered above the thread count).

The copy's parts (copy-syscalls, copy-random, copy-pair) are in
copy_crash.py.

Prints a summary and exits 1 when any interruption left a mixed or torn index,
a failed search or refresh, or a leftover file; 2 for a problem of the
harness itself (strace missing, the binary not working at all).

The short form (the default, for CI) samples every 5th syscall, 20 random
kills of a 5,000-file refresh and 10 concurrency trials; --long takes every
syscall, 200 random kills of a 50,000-file refresh and 100 trials.
"""
import argparse
import collections
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import copy_crash  # noqa: E402

# Syscalls whose entry is a kill point: every call that changes the data
# folder or opens a file in it, and the locks a refresh may take.
DEFAULT_SYSCALLS = ("openat,creat,write,pwrite64,writev,ftruncate,fsync,fdatasync,"
                    "rename,renameat,renameat2,link,linkat,unlink,unlinkat,mkdir,"
                    "mkdirat,rmdir,flock,fcntl,close")
WRITE_SYSCALLS = "write,pwrite64,writev"
# Names data/ may hold after a refresh: shards and the configuration file.
# The commit protocol adds its lock and commit record with --allow.
# The data folder's lock file stays; the commit record never outlives a
# refresh that ended.
DEFAULT_ALLOWED = [r"[0-9]+\.txt", r"chengjing\.ini", r"\.chengjing\.lock"]
# What a refresh says when it is refused because another one runs.
DEFAULT_BUSY = r"another refresh|refresh (is )?(already )?running|already runs|locked|busy"

# The copy's parts (copy_crash.py).
COPY_PARTS = ["copy-syscalls", "copy-random", "copy-pair"]

SHARD_NAME = re.compile(r"([0-9]+)\.txt")
SYSCALL_LINE = re.compile(r"^(?:\[pid\s+\d+\]\s+|\d+\s+)?([a-z0-9_]+)\(")


def log(args, text):
    if args.verbose:
        print(text, flush=True)


class Findings:
    """Counts every check and keeps a few examples of each failure."""

    FAILURES = ("mixed", "torn", "foreign", "search_failed", "count_mismatch",
                "false_success", "recovery_failed", "leftover", "refresh_failed",
                "timeout", "torn_copy")

    def __init__(self, verbose=False):
        self.verbose = verbose  # Print every failure as it is found.
        self.counts = collections.Counter()
        self.examples = collections.defaultdict(list)
        self.part = ""  # The scenario running now, for the breakdown.
        self.by_part = collections.defaultdict(collections.Counter)

    def tried(self, kind):
        self.counts["tried:" + kind] += 1
        self.by_part[self.part]["interruptions"] += 1

    def note(self, kind, text):
        self.counts[kind] += 1
        self.by_part[self.part][kind] += 1
        if self.verbose:
            print("  %s: %s" % (kind, text), flush=True)
        if len(self.examples[kind]) < 8:
            self.examples[kind].append(text)

    def failed(self):
        return any(self.counts[k] for k in self.FAILURES)


def make_tree(root, prefix, count, width=100):
    """count empty files named <prefix>_<n>.dat, width to a folder."""
    os.makedirs(root)
    for n in range(count):
        folder = os.path.join(root, "d%03d" % (n // width))
        if n % width == 0:
            os.mkdir(folder)
        open(os.path.join(folder, "%s_%06d.dat" % (prefix, n)), "wb").close()
    return {os.path.join(root, "d%03d" % (n // width), "%s_%06d.dat" % (prefix, n))
            for n in range(count)}


def read_ini(path):
    """{section: {key: value}} read as the program does: names fold ASCII
    case, the first section and key of a name win. None when unreadable."""
    try:
        with open(path, "rb") as f:
            text = f.read().decode("utf-8", "replace")
    except OSError:
        return None
    if text.startswith("\ufeff"):
        text = text[1:]
    sections = {}
    current = None
    for line in text.split("\n"):
        line = line.rstrip("\r").strip()
        if line.startswith("[") and line.endswith("]"):
            name = line[1:-1].strip().lower()
            current = None if name in sections else sections.setdefault(name, {})
        elif current is not None and "=" in line and not line.startswith(";"):
            key, value = line.split("=", 1)
            current.setdefault(key.strip().lower(), value.strip().strip('"'))
    return sections


def to_int(text):
    match = re.match(r"[+-]?[0-9]+", text or "")
    return int(match.group(0)) if match else 0


class RunDirectory:
    """The program folder under test and the commands run on it."""

    def __init__(self, args, path):
        self.args = args
        self.path = path
        self.data = os.path.join(path, "data")

    def cli(self, *words):
        return [self.args.cli, "--run-dir", self.path] + list(words)

    def refresh_command(self, tree, threads):
        return self.cli("--threads", str(threads), "--folder", tree, "refresh")

    def run(self, command, timeout=None):
        try:
            done = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                  timeout=timeout or self.args.timeout)
            return done.returncode, done.stdout.decode("utf-8", "replace"), \
                done.stderr.decode("utf-8", "replace")
        except subprocess.TimeoutExpired:
            return None, "", "timed out"

    def refresh(self, tree, threads):
        return self.run(self.refresh_command(tree, threads))

    def search_all(self):
        """(exit code, records, stderr): no words lists every record."""
        rc, out, err = self.run(self.cli("search"))
        return rc, [line for line in out.split("\n") if line], err

    def save(self, snapshot):
        shutil.rmtree(snapshot, ignore_errors=True)
        shutil.copytree(self.data, snapshot, symlinks=True)

    def restore(self, snapshot):
        shutil.rmtree(self.data)
        shutil.copytree(snapshot, self.data, symlinks=True)

    def shard_problems(self):
        """Shards whose line count differs from their count in the
        configuration file, for every shard of the stored thread count."""
        ini = read_ini(os.path.join(self.data, "chengjing.ini"))
        if ini is None:
            return []
        threads = to_int(ini.get("xcs", {}).get("ma"))
        counts = ini.get("syjs", {})
        problems = []
        for n in range(1, threads + 1):
            try:
                with open(os.path.join(self.data, "%d.txt" % n), "rb") as f:
                    body = f.read()
            except OSError:
                body = b""
            body = body.split(b"\0", 1)[0]
            lines = len([line for line in re.split(b"[\n\x1a]", body) if line.strip(b"\r")])
            stored = to_int(counts.get(str(n)))
            if lines != stored:
                problems.append("shard %d holds %d records, its count says %d" % (n, lines, stored))
        return problems

    def leftovers(self):
        """Names in data/ that a finished refresh must not leave."""
        ini = read_ini(os.path.join(self.data, "chengjing.ini")) or {}
        threads = to_int(ini.get("xcs", {}).get("ma"))
        allowed = [re.compile(p) for p in self.args.allow]
        found = []
        for name in sorted(os.listdir(self.data)):
            shard = SHARD_NAME.fullmatch(name)
            if shard and int(shard.group(1)) > threads:
                found.append(name + " (a shard past the thread count %d)" % threads)
            elif not any(p.fullmatch(name) for p in allowed):
                found.append(name)
        return found


def classify(records, set_a, set_b):
    """'A', 'B', or the kind of failure the listed records are."""
    found = set(records)
    if len(found) != len(records):
        return "torn"  # a record listed twice
    if found == set_a:
        return "A"
    if found == set_b:
        return "B"
    if found & set_a and found & set_b:
        return "mixed"
    if found <= set_a or found <= set_b:
        return "torn"  # part of one index, maybe nothing at all
    return "foreign"


def describe(kind, records, set_a, set_b):
    found = set(records)
    return "%s: %d records listed, %d of A (%d), %d of B (%d), %d of neither" % (
        kind, len(records), len(found & set_a), len(set_a), len(found & set_b), len(set_b),
        len(found - set_a - set_b))


def check_index(args, run, findings, label, set_a, set_b, expect=None):
    """Searches and checks the index after an interruption. expect, when
    given, is the only set the index may hold. Returns what it held."""
    rc, records, err = run.search_all()
    if rc != 0:
        findings.note("search_failed", "%s: search exit %s: %s" % (label, rc, err.strip()[:200]))
        return None
    kind = classify(records, set_a, set_b)
    if kind in ("A", "B"):
        findings.counts["whole:" + kind] += 1
        if expect is not None and kind != expect:
            findings.note("false_success", "%s: the refresh succeeded but the index is %s"
                          % (label, kind))
    else:
        findings.note(kind, "%s: %s" % (label, describe(kind, records, set_a, set_b)))
    for problem in run.shard_problems():
        findings.note("count_mismatch", "%s: %s" % (label, problem))
    return kind


def recover(args, run, findings, label, tree_b, set_a, set_b, threads):
    """The uninterrupted refresh after an interruption: it must succeed, give
    B and leave no temporary file."""
    rc, out, err = run.refresh(tree_b, threads)
    if rc != 0:
        findings.note("recovery_failed", "%s: refresh after it exit %s: %s"
                      % (label, rc, err.strip()[:200]))
        return
    rc, records, err = run.search_all()
    kind = classify(records, set_a, set_b) if rc == 0 else "search failed"
    if kind != "B":
        findings.note("recovery_failed", "%s: after the next refresh the index is %s"
                      % (label, kind))
    for problem in run.shard_problems():
        findings.note("count_mismatch", "%s (after the next refresh): %s" % (label, problem))
    left = run.leftovers()
    if left:
        findings.note("leftover", "%s: %s" % (label, ", ".join(left)))


def strace_base(args):
    return ["strace", "-f", "-q", "--seccomp-bpf"] if args.seccomp else ["strace", "-f", "-q"]


def count_syscalls(args, run, command, syscalls, trace_file):
    """How many times the refresh makes each syscall of the list."""
    subprocess.run(strace_base(args) + ["-o", trace_file, "-e", "trace=" + syscalls] + command,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False,
                   timeout=args.timeout)
    return count_lines(trace_file)


def count_lines(trace_file):
    """How many times each syscall shows in strace's output file."""
    counts = collections.Counter()
    with open(trace_file, encoding="utf-8", errors="replace") as f:
        for line in f:
            match = SYSCALL_LINE.match(line)
            if match and "resumed>" not in line:
                counts[match.group(1)] += 1
    return counts


def present_syscalls(args, names):
    """The names of the list that this strace knows (renameat is missing on
    some architectures, for example)."""
    known = []
    for name in names.split(","):
        done = subprocess.run(["strace", "-e", "trace=" + name, "true"],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if done.returncode == 0:
            known.append(name)
    return ",".join(known)


def syscall_scenarios(args, work, run, findings, tree_a, tree_b, set_a, set_b):
    """Kills, or a full disk, at each syscall of a refresh of B in turn."""
    syscalls = present_syscalls(args, args.syscalls)
    writes = present_syscalls(args, WRITE_SYSCALLS)
    plans = [("kill", 3, 3, syscalls), ("kill 2->3 threads", 2, 3, syscalls),
             ("kill 3->2 threads", 3, 2, syscalls), ("enospc", 3, 3, writes),
             ("enospc 2->3 threads", 2, 3, writes)]
    for name, threads_a, threads_b, traced in plans:
        findings.part = name
        snapshot = os.path.join(work, "snapshot")
        shutil.rmtree(run.data, ignore_errors=True)
        os.mkdir(run.data)
        rc, _, err = run.refresh(tree_a, threads_a)
        if rc != 0:
            findings.note("refresh_failed", "%s: building the index of A: %s" % (name, err.strip()))
            continue
        run.save(snapshot)
        command = run.refresh_command(tree_b, threads_b)
        counts = count_syscalls(args, run, command, traced, os.path.join(work, "trace.txt"))
        run.restore(snapshot)
        log(args, "%s: syscalls of a refresh of B: %s" % (name, dict(counts)))
        enospc = name.startswith("enospc")
        for syscall in sorted(counts):
            points = range(1, counts[syscall] + 1, args.step)
            for n in points:
                if enospc:
                    inject = "inject=%s:error=ENOSPC:when=%d+" % (syscall, n)
                else:
                    inject = "inject=%s:signal=SIGKILL:when=%d" % (syscall, n)
                label = "%s at %s #%d" % (name, syscall, n)
                run.restore(snapshot)
                rc, out, err = run.run(strace_base(args) + ["-o", "/dev/null", "-e",
                                                            "trace=" + syscall, "-e", inject]
                                       + command)
                if rc is None:
                    findings.note("timeout", label)
                    continue
                killed = rc in (-signal.SIGKILL, 128 + signal.SIGKILL)
                if not enospc and not killed:
                    findings.counts["not reached"] += 1
                    continue
                findings.tried("enospc" if enospc else "syscall kill")
                expect = "B" if enospc and rc == 0 else None
                check_index(args, run, findings, label, set_a, set_b, expect)
                recover(args, run, findings, label, tree_b, set_a, set_b, threads_b)
                log(args, "%s: exit %s" % (label, rc))


def random_kills(args, work, run, findings, tree_a, tree_b, set_a, set_b):
    """SIGKILL at random instants of a refresh of a large tree."""
    threads = 3
    findings.part = "random kill"
    shutil.rmtree(run.data, ignore_errors=True)
    os.mkdir(run.data)
    rc, _, err = run.refresh(tree_a, threads)
    if rc != 0:
        findings.note("refresh_failed", "random: building the index of A: %s" % err.strip())
        return
    snapshot = os.path.join(work, "snapshot-big")
    run.save(snapshot)
    # The fastest of three, so that most kills land before the end.
    full = float("inf")
    for _ in range(3):
        run.restore(snapshot)
        start = time.monotonic()
        run.refresh(tree_b, threads)
        full = min(full, time.monotonic() - start)
    log(args, "random: an uninterrupted refresh of %d files takes %.3f s" % (len(set_b), full))
    rng = random.Random(args.seed)
    for trial in range(args.random_kills):
        run.restore(snapshot)
        delay = rng.uniform(0, full)
        label = "random kill #%d after %.4f s" % (trial + 1, delay)
        process = subprocess.Popen(run.refresh_command(tree_b, threads),
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(delay)
        process.send_signal(signal.SIGKILL)
        rc = process.wait()
        if rc == 0:
            findings.counts["finished before the kill"] += 1
            continue
        findings.tried("random kill")
        check_index(args, run, findings, label, set_a, set_b)
        recover(args, run, findings, label, tree_b, set_a, set_b, threads)


def concurrency(args, work, run, findings, tree_a, tree_b, set_a, set_b):
    """Two refreshes and a search loop at once."""
    busy = re.compile(args.busy, re.IGNORECASE)
    findings.part = "concurrency"
    shutil.rmtree(run.data, ignore_errors=True)
    os.mkdir(run.data)
    run.refresh(tree_a, 2)
    for trial in range(args.trials):
        label = "concurrency #%d" % (trial + 1)
        stop = threading.Event()
        searches = []

        def search_loop():
            while not stop.is_set():
                searches.append(run.search_all())

        searcher = threading.Thread(target=search_loop)
        searcher.start()
        first = subprocess.Popen(run.refresh_command(tree_a, 2), stdout=subprocess.PIPE,
                                 stderr=subprocess.PIPE)
        second = subprocess.Popen(run.refresh_command(tree_b, 3), stdout=subprocess.PIPE,
                                  stderr=subprocess.PIPE)
        results = []
        for process, which in ((first, "A"), (second, "B")):
            try:
                _, err = process.communicate(timeout=args.timeout)
            except subprocess.TimeoutExpired:
                process.kill()
                _, err = process.communicate()
                findings.note("timeout", "%s: the refresh of %s" % (label, which))
            results.append((which, process.returncode, err.decode("utf-8", "replace").strip()))
        stop.set()
        searcher.join()
        findings.tried("concurrency trial")
        succeeded = []
        for which, rc, err in results:
            if rc == 0:
                succeeded.append(which)
            elif busy.search(err):
                findings.counts["refused: another refresh runs"] += 1
            else:
                findings.note("refresh_failed", "%s: the refresh of %s exit %s: %s"
                              % (label, which, rc, err[:200]))
        if not succeeded and all(rc is not None for _, rc, _ in results):
            findings.note("refresh_failed", "%s: neither refresh succeeded" % label)
        findings.counts["searches during refreshes"] += len(searches)
        for n, (rc, records, err) in enumerate(searches):
            search_label = "%s, search %d" % (label, n + 1)
            if rc != 0:
                findings.note("search_failed", "%s: exit %s: %s"
                              % (search_label, rc, err.strip()[:200]))
                continue
            kind = classify(records, set_a, set_b)
            if kind not in ("A", "B"):
                findings.note(kind, "%s: %s" % (search_label, describe(kind, records, set_a,
                                                                       set_b)))
        kind = check_index(args, run, findings, label + ", after both", set_a, set_b)
        if len(succeeded) == 1 and kind in ("A", "B") and kind != succeeded[0]:
            findings.note("false_success", "%s: only the refresh of %s succeeded, the index is %s"
                          % (label, succeeded[0], kind))
        left = run.leftovers()
        if left:
            findings.note("leftover", "%s: %s" % (label, ", ".join(left)))


def ensure_strace():
    if shutil.which("strace"):
        return True
    if os.geteuid() == 0 and shutil.which("apt-get"):
        subprocess.run(["apt-get", "update", "-qq"], check=False)
        subprocess.run(["apt-get", "install", "-y", "-qq", "strace"], check=False,
                       env=dict(os.environ, DEBIAN_FRONTEND="noninteractive"))
    return shutil.which("strace") is not None


def summary(findings, elapsed):
    c = findings.counts
    kills = c["tried:syscall kill"] + c["tried:random kill"]
    print("crash harness summary (%.0f s)" % elapsed)
    print("  kills tried:            %d (%d at syscalls, %d at random instants; "
          "%d syscall points not reached, %d refreshes finished before the kill)"
          % (kills, c["tried:syscall kill"], c["tried:random kill"], c["not reached"],
             c["finished before the kill"]))
    print("  full-disk runs:         %d" % c["tried:enospc"])
    print("  concurrency trials:     %d (%d searches during them, %d refreshes refused "
          "as busy)" % (c["tried:concurrency trial"], c["searches during refreshes"],
                        c["refused: another refresh runs"]))
    print("  whole index seen:       %d times A, %d times B" % (c["whole:A"], c["whole:B"]))
    print("  mixed indexes:          %d" % c["mixed"])
    print("  torn indexes:           %d (part of one set, or a record twice)" % c["torn"])
    print("  records of neither set: %d" % c["foreign"])
    print("  shard counts wrong:     %d" % c["count_mismatch"])
    print("  searches failed:        %d" % c["search_failed"])
    print("  success with old index: %d" % c["false_success"])
    print("  refreshes failed:       %d (+%d next refreshes that did not recover, %d timeouts)"
          % (c["refresh_failed"], c["recovery_failed"], c["timeout"]))
    print("  temporaries left:       %d (after the next refresh or copy)" % c["leftover"])
    print("  copies cut short:       %d (%d at syscalls, %d at random instants, %d pairs "
          "into one folder); cut files under a real name: %d"
          % (c["tried:copy kill"] + c["tried:copy random kill"] + c["tried:copy pair trial"],
             c["tried:copy kill"], c["tried:copy random kill"], c["tried:copy pair trial"],
             c["torn_copy"]))
    print("  by part:")
    for part, counts in findings.by_part.items():
        found = ", ".join("%s %d" % (kind, counts[kind]) for kind in Findings.FAILURES
                          if counts[kind])
        print("    %-20s %4d interruptions: %s" % (part, counts["interruptions"],
                                                  found or "nothing wrong"))
    for kind in Findings.FAILURES:
        for example in findings.examples[kind]:
            print("    %s: %s" % (kind, example))
    print("RESULT: %s" % ("FAIL" if findings.failed() else "PASS"))


def parse_args(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0],
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--cli", required=True, help="the chengjing-cli binary")
    parser.add_argument("--long", action="store_true",
                        help="every syscall, 200 random kills of 50k files, 100 trials")
    parser.add_argument("--files", type=int, default=300, help="files in each small tree")
    parser.add_argument("--step", type=int, help="kill at every STEPth syscall (5; long 1)")
    parser.add_argument("--random-kills", type=int, help="random kills (20; long 200)")
    parser.add_argument("--big-files", type=int, help="files of the random-kill tree "
                        "(5000; long 50000)")
    parser.add_argument("--trials", type=int, help="concurrency trials (10; long 100)")
    parser.add_argument("--copy-kills", type=int, help="random kills of a copy (10; long 100)")
    parser.add_argument("--only", action="append",
                        choices=["syscalls", "random", "concurrency"] + COPY_PARTS,
                        help="run only these parts (repeatable)")
    parser.add_argument("--syscalls", default=DEFAULT_SYSCALLS,
                        help="syscalls whose entry is a kill point")
    parser.add_argument("--allow", action="append", default=list(DEFAULT_ALLOWED),
                        metavar="REGEX", help="a name data/ may hold after a refresh "
                        "(repeatable; shards and chengjing.ini are always allowed)")
    parser.add_argument("--busy", default=DEFAULT_BUSY,
                        help="regex of a refresh's message when another refresh runs")
    parser.add_argument("--seed", type=int, default=1, help="seed of the random instants")
    parser.add_argument("--timeout", type=float, default=120, help="seconds per command")
    parser.add_argument("--workdir", help="keep the trees and run folder here")
    parser.add_argument("--seccomp", action="store_true",
                        help="pass --seccomp-bpf to strace (faster, but strace 6.1 then "
                        "injects nothing into a multi-threaded refresh)")
    parser.add_argument("--report-only", action="store_true",
                        help="exit 0 even when the index was found mixed or torn (for CI "
                        "until the data folder commits a refresh all at once)")
    parser.add_argument("-v", "--verbose", action="store_true")
    args = parser.parse_args(argv)
    args.cli = os.path.abspath(args.cli)
    if args.step is None:
        args.step = 1 if args.long else 5
    if args.random_kills is None:
        args.random_kills = 200 if args.long else 20
    if args.big_files is None:
        args.big_files = 50000 if args.long else 5000
    if args.trials is None:
        args.trials = 100 if args.long else 10
    if args.copy_kills is None:
        args.copy_kills = 100 if args.long else 10
    args.only = args.only or ["syscalls", "random", "concurrency"] + COPY_PARTS
    return args


def main(argv):
    args = parse_args(argv)
    started = time.monotonic()
    if not os.access(args.cli, os.X_OK):
        print("crash_harness: %s is not an executable" % args.cli, file=sys.stderr)
        return 2
    if ("syscalls" in args.only or "copy-syscalls" in args.only) and not ensure_strace():
        print("crash_harness: strace is missing and could not be installed", file=sys.stderr)
        return 2
    work = args.workdir or tempfile.mkdtemp(prefix="cj-crash-")
    os.makedirs(work, exist_ok=True)
    findings = Findings(args.verbose)
    try:
        run = RunDirectory(args, os.path.join(work, "run"))
        os.makedirs(run.path, exist_ok=True)
        tree_a = os.path.join(work, "treeA")
        tree_b = os.path.join(work, "treeB")
        for tree in (tree_a, tree_b):
            shutil.rmtree(tree, ignore_errors=True)
        set_a = make_tree(tree_a, "a", args.files)
        # B has a different size, so that each shard's count changes too.
        set_b = make_tree(tree_b, "b", args.files + args.files // 3 + 1)
        if "syscalls" in args.only:
            syscall_scenarios(args, work, run, findings, tree_a, tree_b, set_a, set_b)
        if "concurrency" in args.only:
            concurrency(args, work, run, findings, tree_a, tree_b, set_a, set_b)
        if "random" in args.only:
            big_a = os.path.join(work, "bigA")
            big_b = os.path.join(work, "bigB")
            for tree in (big_a, big_b):
                shutil.rmtree(tree, ignore_errors=True)
            set_big_a = make_tree(big_a, "a", args.big_files)
            set_big_b = make_tree(big_b, "b", args.big_files + args.big_files // 10)
            random_kills(args, work, run, findings, big_a, big_b, set_big_a, set_big_b)
        copy_crash.copy_scenarios(sys.modules[__name__], args, work, run, findings, args.only)
    finally:
        if not args.workdir:
            shutil.rmtree(work, ignore_errors=True)
    summary(findings, time.monotonic() - started)
    if findings.failed() and args.report_only:
        print("(--report-only: not failing)")
        return 0
    return 1 if findings.failed() else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
