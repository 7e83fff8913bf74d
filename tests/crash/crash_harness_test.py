#!/usr/bin/env python3
"""Tests of the crash harness's own judgement: a harness that called a torn
index whole, or a temporary file allowed, would pass any code."""
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import copy_crash  # noqa: E402
import crash_harness  # noqa: E402


class Classify(unittest.TestCase):
    A = {"/a/1", "/a/2", "/a/3"}
    B = {"/b/1", "/b/2"}

    def test_whole_sets_and_every_way_to_miss_them(self):
        cases = [
            (["/a/3", "/a/1", "/a/2"], "A"),       # any order
            (["/b/1", "/b/2"], "B"),
            (["/a/1", "/a/2", "/b/1"], "mixed"),
            (["/a/1", "/a/2", "/a/3", "/b/1", "/b/2"], "mixed"),
            (["/a/1", "/a/2"], "torn"),            # a shard missing
            ([], "torn"),                          # the index gone
            (["/a/1", "/a/1", "/a/2", "/a/3"], "torn"),  # a record twice
            (["/b/1", "/b/2", "/b/2"], "torn"),
            (["/a/1", "/a/2", "/a/3", "/a/3x"], "foreign"),  # a cut or joined record
            (["/b/1", "/a/2x"], "foreign"),
        ]
        for records, expected in cases:
            with self.subTest(records=records):
                self.assertEqual(crash_harness.classify(records, self.A, self.B), expected)


class DataFolder(unittest.TestCase):
    def setUp(self):
        self.temp = tempfile.TemporaryDirectory()
        self.addCleanup(self.temp.cleanup)
        os.mkdir(os.path.join(self.temp.name, "data"))
        args = crash_harness.parse_args(["--cli", "/bin/true"])
        self.run_dir = crash_harness.RunDirectory(args, self.temp.name)

    def write(self, name, data):
        with open(os.path.join(self.run_dir.data, name), "wb") as f:
            f.write(data)

    def test_ini_reads_as_the_program_reads_it(self):
        self.write("chengjing.ini", b"\xef\xbb\xbf[XCS]\r\n ma = 2 \r\nma=9\r\n"
                   b"[syjs]\r\n1=\"5\"\r\n[xcs]\r\nma=7\r\n")
        ini = crash_harness.read_ini(os.path.join(self.run_dir.data, "chengjing.ini"))
        self.assertEqual(ini["xcs"]["ma"], "2")  # first section and key win
        self.assertEqual(ini["syjs"]["1"], "5")  # quotes go

    def test_counts_that_disagree_with_their_shard_are_reported(self):
        self.write("chengjing.ini", b"[xcs]\r\nma=3\r\n[syjs]\r\n1=2\r\n2=1\r\n3=2\r\n")
        self.write("1.txt", b"/a/1\r\n/a/2\r\n")
        self.write("2.txt", b"/a/3\r\n/a/4\r\n")       # one more than its count
        self.write("3.txt", b"/a/5\r\n\x00/a/6\r\n")   # the text ends at the NUL
        problems = self.run_dir.shard_problems()
        self.assertEqual(len(problems), 2, problems)
        self.assertIn("shard 2 holds 2 records, its count says 1", problems)
        self.assertIn("shard 3 holds 1 records, its count says 2", problems)

    def test_leftovers_are_temporaries_unknown_names_and_stale_shards(self):
        self.write("chengjing.ini", b"[xcs]\r\nma=2\r\n")
        for name in ("1.txt", "2.txt", "3.txt", ".1.txt.tmp-Ab12Cd", "commit.rec"):
            self.write(name, b"")
        left = self.run_dir.leftovers()
        self.assertEqual(left, [".1.txt.tmp-Ab12Cd",
                                "3.txt (a shard past the thread count 2)", "commit.rec"])
        self.run_dir.args.allow.append(r"commit\.rec")
        self.assertEqual(len(self.run_dir.leftovers()), 2)


class CopyTarget(unittest.TestCase):
    FILES = {"a.jpg": b"photo a", "b.jpg": b"photo b", "c.jpg": b""}

    def test_a_cut_file_is_torn_and_a_temporary_passes_only_mid_copy(self):
        cases = [
            # (what the folder holds, problems mid-copy, after the next copy)
            ({"a.jpg": b"photo a"}, 0, 2),                       # b, c missing
            ({"a.jpg": b"pho"}, 1, 3),                           # cut: never allowed
            ({"a.jpg": b"photo a", ".cjcopy-00000000000000ff.part": b"ph"}, 0, 3),
            ({"a.jpg": b"photo a", "b.jpg": b"photo b", "c.jpg": b""}, 0, 0),
            ({"a.jpg": b"photo a", "b.jpg": b"photo b", "c.jpg": b"", "x": b""}, 1, 1),
        ]
        for held, mid, after in cases:
            with self.subTest(held=sorted(held)), tempfile.TemporaryDirectory() as target:
                for name, data in held.items():
                    with open(os.path.join(target, name), "wb") as f:
                        f.write(data)
                self.assertEqual(len(copy_crash.target_problems(target, self.FILES, False)), mid)
                self.assertEqual(len(copy_crash.target_problems(target, self.FILES, True)), after)


if __name__ == "__main__":
    unittest.main()
