"""The progress record of trancor.exe under Wine, made by its front end
before the encoder runs (progress_reader.exe, whose report this checks): as
the program does, under the process id of the encoder held suspended, or
under a name given with -progress-name.
Usage: wine_progress_test.py EMULATOR... (TRANCOR names trancor.exe,
PROGRESS_READER the reader)."""
import os
import subprocess
import sys
import tempfile
import unittest

import trancor_helpers
from trancor_helpers import FAILED, REASONS, SUCCEEDED, EncoderTestCase, make_clip, program_args
from wine_test import windows_path

READER = os.environ.get("PROGRESS_READER", "")


def read_through_reader(args, named=False):
    """What progress_reader.exe saw of a trancor.exe run, as a dict of texts."""
    mode = ["--named"] if named else []
    with tempfile.TemporaryFile() as out:  # a file, not a pipe (see run_trancor)
        subprocess.run(trancor_helpers.EMULATOR + [READER, *mode, windows_path(trancor_helpers.TRANCOR), *args],
                       stdout=out, stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL, timeout=240, check=True)
        out.seek(0)
        lines = out.read().decode("utf-8").splitlines()
    return dict(line.split("=", 1) for line in lines)


class ProgressUnderWine(EncoderTestCase):

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.clip = make_clip(cls.path("clip.avi"), seconds=10, size="640x480")

    def test_conversion_is_followed_to_its_end(self):
        seen = read_through_reader(program_args(windows_path(self.clip), windows_path(self.path("M4V00001.MP4"))))
        self.assertEqual((seen["exit"], seen["monotonic"]), ("0", "1"), seen)
        self.assertGreater(int(seen["distinct_done"]), 3, seen)
        self.assertEqual(seen["durations"], "1", seen)
        # Read after the exit through the view still held: the final state.
        self.assertEqual(int(seen["state"]), SUCCEEDED, seen)
        self.assertAlmostEqual(int(seen["duration_us"]), 10_000_000, delta=100_000)
        self.assertAlmostEqual(int(seen["done_us"]), int(seen["duration_us"]), delta=100_000)
        self.assertEqual(seen["message"], "")
        # The section lives as long as a handle to it does.
        self.assertEqual(seen["reopened_after_close"], "0", seen)

    def test_failures_reach_the_front_end_however_quick(self):
        missing = os.path.join(self.dir, "源文件-한.avi")
        cases = [
            (program_args(windows_path(self.clip), windows_path(self.path("M4V00002.MP4")), rate="x"), "2",
             REASONS["BadCommandLine"], "-r"),
            (program_args(windows_path(missing), windows_path(self.path("M4V00003.MP4"))), "1", None,
             "源文件-한.avi"),
        ]
        for (args, code, reason, text), named in [(case, named) for case in cases for named in (False, True)]:
            with self.subTest(text=text, named=named):
                seen = read_through_reader(args, named)
                self.assertEqual(seen["exit"], code, seen)
                self.assertEqual(int(seen["state"]), FAILED, seen)
                if reason is not None:
                    self.assertEqual(int(seen["reason"]), reason)
                else:
                    self.assertNotIn(int(seen["reason"]), (REASONS["None"], REASONS["BadCommandLine"]))
                self.assertIn(text, seen["message"])
                self.assertEqual(seen["reopened_after_close"], "0", seen)


if __name__ == "__main__":
    trancor_helpers.EMULATOR = sys.argv[1:]
    if not READER:
        raise SystemExit("PROGRESS_READER is not set")
    unittest.main(argv=sys.argv[:1], verbosity=2)
