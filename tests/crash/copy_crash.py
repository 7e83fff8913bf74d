"""The copy's part of the crash harness: `chengjing-cli copy --to DIR` cut
short at every step, alone and beside a second copy into the same folder.

The copy promises that a copy cut short at any instant leaves no file under a
real name that differs from its source, and that the next copy into the
folder removes the killed one's temporary and copies the file again:
  copy syscalls   killed (SIGKILL through strace) on entry to each write,
                  copy_file_range, rename, link, unlink... of a copy, in turn;
                  again with renameat2 refused (EINVAL, as NFS does), so that
                  the copy publishes with link and unlink;
  copy random     SIGKILL at random instants of a copy;
  copy pair       two copies of the same list into one folder at once, one of
                  them killed at a random instant: the other must leave every
                  file whole under its name (the one it skipped as existing
                  included).
After each: every file under a real name in the target folder is byte-equal
to its source; then a second, uninterrupted copy exits 0, every target is
whole and the folder holds nothing else (no temporary).
"""
import os
import random
import re
import signal
import subprocess
import threading
import time

COPY_SYSCALLS = ("openat,write,copy_file_range,renameat2,rename,link,linkat,unlink,"
                 "unlinkat,flock,fchmod,utimensat,close,syncfs,mkdir")
TEMPORARY = re.compile(r"^\.cjcopy-[0-9a-f]{16}\.part$")
# Sizes that cover the copy's cases: empty, smaller than a chunk, and a file
# of two 8 MiB chunks, so that a kill lands between chunks of one file.
SIZES = (0, 1000, 70000, 300000, 9 * 1024 * 1024, 5000, 123457)


def make_sources(root, sizes=SIZES, seed=7):
    """Files of random bytes; returns {name: bytes}."""
    rng = random.Random(seed)
    os.makedirs(root, exist_ok=True)
    files = {}
    for n, size in enumerate(sizes):
        name = "SF14%08d.jpg" % n
        data = rng.randbytes(size)
        with open(os.path.join(root, name), "wb") as f:
            f.write(data)
        files[name] = data
    return files


def target_problems(target, files, whole_required):
    """What is wrong in target: a name holding bytes that differ from its
    source (always), a missing file or anything else left (when the copy
    should have completed). Lists of texts."""
    problems = []
    names = set(os.listdir(target)) if os.path.isdir(target) else set()
    for name in sorted(names):
        path = os.path.join(target, name)
        if name in files:
            with open(path, "rb") as f:
                data = f.read()
            if data != files[name]:
                problems.append("%s holds %d of %d bytes, or other bytes"
                                % (name, len(data), len(files[name])))
        elif whole_required:
            problems.append("left: %s" % name)
        elif not TEMPORARY.match(name):
            problems.append("unknown: %s" % name)
    if whole_required:
        problems += ["missing: %s" % name for name in sorted(set(files) - names)]
    return problems


class CopyRun:
    def __init__(self, run, source, target, files):
        self.run = run
        self.paths = "".join(os.path.join(source, name) + "\n" for name in files).encode()
        self.target = target
        self.files = files

    def command(self):
        return self.run.cli("copy", "--to", self.target)

    def copy(self, prefix=(), timeout=None):
        try:
            done = subprocess.run(list(prefix) + self.command(), input=self.paths,
                                  stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                  timeout=timeout or self.run.args.timeout)
            return done.returncode, done.stderr.decode("utf-8", "replace")
        except subprocess.TimeoutExpired:
            return None, "timed out"

    def length(self):
        """Seconds one whole copy into an empty folder takes."""
        reset(self.target)
        started = time.monotonic()
        self.copy()
        return max(time.monotonic() - started, 0.01)

    def start(self):
        process = subprocess.Popen(self.command(), stdin=subprocess.PIPE,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        process.stdin.write(self.paths)
        process.stdin.close()
        return process

    def check(self, findings, label):
        """Right after an interruption: no real name holds a cut file."""
        for problem in target_problems(self.target, self.files, False):
            findings.note("torn_copy", "%s: %s" % (label, problem))

    def recover(self, findings, label):
        """The next copy completes the folder and leaves nothing else."""
        rc, err = self.copy()
        if rc != 0:
            findings.note("recovery_failed", "%s: next copy exit %s: %s"
                          % (label, rc, err.strip()[-300:]))
        for problem in target_problems(self.target, self.files, True):
            findings.note("leftover" if problem.startswith("left") else "torn_copy",
                          "%s, after the next copy: %s" % (label, problem))


def reset(target):
    if os.path.isdir(target):
        for name in os.listdir(target):
            os.unlink(os.path.join(target, name))


def copy_syscalls(harness, args, work, copy_run, findings):
    """A kill on entry to each syscall of a copy in turn, with renameat2 and
    with the link fallback."""
    syscalls = harness.present_syscalls(args, COPY_SYSCALLS)
    trace = os.path.join(work, "copy-trace.txt")
    plans = [("copy kill", [], syscalls),
             ("copy kill, link", ["-e", "inject=renameat2:error=EINVAL"],
              syscalls + ",renameat2")]
    for name, extra, traced in plans:
        findings.part = name
        reset(copy_run.target)
        command = copy_run.command()
        subprocess.run(harness.strace_base(args) + ["-o", trace, "-e", "trace=" + traced]
                       + extra + command, input=copy_run.paths, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, check=False, timeout=args.timeout)
        counts = harness.count_lines(trace)
        harness.log(args, "%s: syscalls of a copy: %s" % (name, dict(counts)))
        for syscall in sorted(counts):
            if name.endswith("link") and syscall == "renameat2":
                continue  # Refused, never a kill point here.
            for n in range(1, counts[syscall] + 1, args.step):
                label = "%s at %s #%d" % (name, syscall, n)
                reset(copy_run.target)
                inject = "inject=%s:signal=SIGKILL:when=%d" % (syscall, n)
                rc, _ = copy_run.copy(harness.strace_base(args) + [
                    "-o", "/dev/null", "-e", "trace=" + traced] + extra + ["-e", inject])
                if rc is None:
                    findings.note("timeout", label)
                    continue
                if rc not in (-signal.SIGKILL, 128 + signal.SIGKILL):
                    findings.counts["not reached"] += 1
                    continue
                findings.tried("copy kill")
                copy_run.check(findings, label)
                copy_run.recover(findings, label)


def copy_random(args, copy_run, findings):
    """SIGKILL at random instants of a copy, up to the length of one."""
    findings.part = "copy random"
    rng = random.Random(args.seed)
    length = copy_run.length()
    for trial in range(args.copy_kills):
        reset(copy_run.target)
        process = copy_run.start()
        time.sleep(rng.uniform(0, length))
        process.kill()
        process.wait()
        process.stderr.close()
        findings.tried("copy random kill")
        label = "copy random kill %d" % trial
        copy_run.check(findings, label)
        copy_run.recover(findings, label)


def copy_pair(args, copy_run, findings):
    """Two copies into one folder at once, one killed at a random instant:
    the other's success must mean every file is there, whole."""
    findings.part = "copy pair"
    rng = random.Random(args.seed + 1)
    length = copy_run.length()
    for trial in range(args.trials):
        reset(copy_run.target)
        victim = copy_run.start()
        survivor_result = []
        survivor = threading.Thread(target=lambda: survivor_result.append(copy_run.copy()))
        survivor.start()
        time.sleep(rng.uniform(0, length))
        victim.kill()
        victim.wait()
        victim.stderr.close()
        survivor.join()
        findings.tried("copy pair trial")
        label = "copy pair %d" % trial
        rc, err = survivor_result[0]
        if rc != 0:
            findings.note("timeout" if rc is None else "recovery_failed",
                          "%s: the copy beside the killed one: exit %s: %s"
                          % (label, rc, err.strip()[-300:]))
        # Each file was copied by the survivor or skipped because the other
        # had published it: either way it is there, whole.
        for problem in target_problems(copy_run.target, copy_run.files, True):
            if not TEMPORARY.match(problem.split(": ", 1)[-1]):
                findings.note("torn_copy", "%s: %s" % (label, problem))
        copy_run.recover(findings, label)


def copy_scenarios(harness, args, work, run, findings, parts):
    files = make_sources(os.path.join(work, "copy-src"))
    copy_run = CopyRun(run, os.path.join(work, "copy-src"), os.path.join(work, "copy-out"),
                       files)
    if "copy-syscalls" in parts:
        copy_syscalls(harness, args, work, copy_run, findings)
    if "copy-random" in parts:
        copy_random(args, copy_run, findings)
    if "copy-pair" in parts:
        copy_pair(args, copy_run, findings)
