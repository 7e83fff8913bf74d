#!/usr/bin/env python3
"""Waybill-number lists for the batch search benchmark, from a path list.

  batch_numbers.py LIST OUTDIR

Writes OUTDIR/numbers1000.txt (900 numbers that occur in file names of LIST, 100
that do not) and OUTDIR/numbers10000.txt (9,000 and 1,000), one number a line,
shuffled. A present number is the first waybill-like token (an optional 2-3
letter carrier prefix and 10-15 digits) of every 97th record's file name, from
names that are not camera or messenger exports (whose digits are time stamps);
an absent one has the same shape with random digits (one in 10^13 to exist).
Deterministic: the same LIST always gives the same lists.
"""
import os
import random
import re
import sys

TOKEN = re.compile(r"(?:[A-Z]{2,3})?[0-9]{10,15}")
EXPORTS = ("mmexport", "IMG", "wx_camera", "Screenshot", "微信图片")


def main():
    path, outdir = sys.argv[1], sys.argv[2]
    rng = random.Random(1)
    seen, present = set(), []
    with open(path, "rb") as f:
        for k, line in enumerate(f):
            if k % 97:
                continue
            name = line.rstrip(b"\r\n").rsplit(b"/", 1)[-1].decode("utf-8", "replace")
            m = TOKEN.search(name)
            if m and m.group(0) not in seen and not name.startswith(EXPORTS):
                seen.add(m.group(0))
                present.append(m.group(0))
    rng.shuffle(present)
    os.makedirs(outdir, exist_ok=True)
    for total in (1000, 10000):
        count = total * 9 // 10
        if len(present) < count:
            sys.exit("batch_numbers: only %d numbers in %s" % (len(present), path))
        numbers = present[:count]
        while len(numbers) < total:
            prefix = rng.choice(["SF", "JT", "YT", "JD", ""])
            numbers.append(prefix + "".join(rng.choice("0123456789") for _ in range(13)))
        rng.shuffle(numbers)
        with open(os.path.join(outdir, "numbers%d.txt" % total), "w") as out:
            out.write("\n".join(numbers) + "\n")


if __name__ == "__main__":
    main()
