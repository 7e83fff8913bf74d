#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into OUT/<target>/.

The seeds are made here in code, so that no binary file is kept in the
repository: real configuration files and shards as the program writes them,
and the hand edits and damage they meet (a BOM, CR-less lines, NUL bytes,
0x1A, counts past the end, GBK names, doubled or missing backup separators).

Usage: make_seeds.py OUT
"""
import os
import sys

CONFIG = (
    "[syml]\r\nphotos=/srv/photos*/*/mnt/scans*/*\r\nlist 2=/home/a*/*\r\n"
    "[syml_p]\r\nphotos=1\r\n[syml_a]\r\nphotos=jpg|.png\r\n"
    "[syjs]\r\n1=120\r\n2=119\r\n3=119\r\n"
    "[ckzt]\r\nzt=2\r\nkd=1280\r\ngd=720\r\n[sjms]\r\nma=1\r\n"
    "[xcs]\r\nma=3\r\n[mbml]\r\nma=/tmp/out\r\n"
).encode()

CONFIG_SEEDS = [
    CONFIG,
    b"\xef\xbb\xbf" + CONFIG,
    CONFIG.replace(b"\r\n", b"\n"),
    CONFIG[:-2],  # no line end after the last item
    b"; comment\r\n[ SYJS ]\r\n 1 = \"5\" \r\n1=6\r\n[syjs]\r\n2=7\r\n",
    b"[xcs]\r\nma=99\r\n[ckzt]\r\nzt=-1\r\nkd=-5\r\ngd=999999999999999999999\r\n",
    b"[syml]\r\n=/a*/*\r\nPhotos=/b*/*\r\nphotos=/c*/*\r\n[syml_a]\r\nphotos='x'\r\n",
    b"[syjs\r\n1=2\r\n]\r\n[a]b]\r\nk\r\n=v\r\n\x00[xcs]\r\nma=2\r\n",
    b"[\xd6\xd0\xce\xc4]\r\n\xd6\xd0=\xce\xc4\r\n[syjs]\r\n1=18446744073709551616\r\n",
    b"",
]


def shard(records, line_end=b"\r\n"):
    return b"".join(r + line_end for r in records)


RECORDS = [b"/srv/photos/2023/SF1234567890.jpg", b"/srv/a b/ab.txt",
           "/srv/照片/中文 名.txt".encode(), b"/srv/x/1 2 3", b"/srv/.hidden"]
GBK_RECORDS = [b"/srv/\xd6\xd0\xce\xc4/\x81\x40ab.txt", b"/srv/\xb1\x5c/a\\b"]

SHARD_BODIES = [
    shard(RECORDS),
    shard(RECORDS, b"\n"),
    shard(RECORDS)[:-2],                     # the last line unterminated
    shard(RECORDS[:2]) + b"\r\n\r\n" + shard(RECORDS[2:]),  # empty lines
    shard(RECORDS[:2]) + b"\x00" + shard(RECORDS[2:]),      # text ends at NUL
    b"/a/b\x1a/c/d\x1a\r\n/e/f.txt\r\n",
    b"\r\r\n\r\n/a/b\r\r\n",
    shard(GBK_RECORDS),
    b"",
]


SEP = b"*#*\\"
BACKUP_BODIES = [
    b"",
    "/srv/快递/SF1234567890.jpg".encode() + SEP + b"/srv/a b/c.txt" + SEP,
    b"/a" + SEP + SEP + b"/b" + SEP,               # an empty path between two
    b"/a" + SEP + b"/b",                           # the last separator missing
    b"/a" + SEP + b"\x00/b" + SEP,                  # text ends at NUL
    b"/\xd6\xd0\xce\xc4/\x81" + SEP + b"x" + SEP,   # a GBK lead before the separator
    b"*#*/\\*#" + SEP + b"*#*",
]


def write(folder, name, data):
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    out = sys.argv[1]
    for i, body in enumerate(CONFIG_SEEDS):
        for choice in (0, 9, 30):
            write(os.path.join(out, "profile_fuzzer"), f"seed-{i}-{choice}", bytes([choice]) + body)
    for i, body in enumerate(BACKUP_BODIES):
        for flags in (0, 1, 2, 3):  # bit 0: GBK; bit 1: through a file
            write(os.path.join(out, "backup_fuzzer"), f"seed-{i}-{flags}", bytes([flags]) + body)
    for i, body in enumerate(SHARD_BODIES):
        # count byte, stop-after byte, shard-count byte (shard_file_fuzzer)
        for count, stop, shards in ((5, 0, 3), (2, 1, 1), (0xFF, 3, 12), (0, 0, 2)):
            write(os.path.join(out, "shard_file_fuzzer"), f"seed-{i}-{count}-{stop}",
                  bytes([count, stop, shards]) + body)
        # flags, count byte, table byte (shard_scan_fuzzer); flag bit 1 takes
        # the keywords from the input up to a NUL.
        for flags, count, table in ((0x00, 0xFF, 1), (0x01, 0xFF, 14), (0x10, 3, 3),
                                    (0x02, 0xFF, 0), (0x8C, 0xFF, 0xF5)):
            keywords = b"txt a\x00" if flags & 2 else b""
            write(os.path.join(out, "shard_scan_fuzzer"), f"seed-{i}-{flags}-{table}",
                  bytes([flags, count, table]) + keywords + body)


if __name__ == "__main__":
    main()
