"""What trancor tells while it runs: the progress record a front end reads
(natively from /dev/shm) and the progress line on a terminal."""
import os
import pty
import subprocess
import unittest

from trancor_helpers import (FAILED, REASONS, RUNNING, SUCCEEDED, EncoderTestCase, make_clip,
                             progress_record_exists, program_args, run_trancor, run_with_named_record,
                             watch_progress)

FRAME_US = 1001 * 1000000 / 30000  # one picture of the 29.97 output


class Record(EncoderTestCase):

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        # Long enough for many snapshots while it converts.
        cls.clip = make_clip(cls.path("clip.avi"), seconds=10, size="640x480")

    def assert_progresses(self, snapshots, final):
        running = [s for s in snapshots if s["state"] == RUNNING]
        self.assertAlmostEqual(final["done_us"], final["frames"] * FRAME_US, delta=1)
        self.assertGreater(len({s["done_us"] for s in running}), 3, "too few distinct snapshots")
        for earlier, later in zip(running, running[1:]):
            self.assertLessEqual(earlier["done_us"], later["done_us"])
            self.assertLessEqual(earlier["frames"], later["frames"])
        for s in running:
            # The length is known once the source is open, before any picture.
            if s["frames"]:
                self.assertEqual(s["duration_us"], final["duration_us"])
            # done_us is the end of the last picture encoded: the two agree.
            self.assertAlmostEqual(s["done_us"], s["frames"] * FRAME_US, delta=1)

    def test_conversion_is_followed_to_its_end(self):
        target = self.path("M4V00001.MP4")
        code, snapshots, final, pid = watch_progress(program_args(self.clip, target))
        self.assertEqual(code, 0)
        self.assertEqual(final["state"], SUCCEEDED)
        self.assert_progresses(snapshots, final)
        # The container's length (sound included) and the pictures written
        # agree within rounding: the end is reached.
        self.assertAlmostEqual(final["duration_us"], 10_000_000, delta=100_000)
        self.assertAlmostEqual(final["done_us"], final["duration_us"], delta=100_000)
        self.assertEqual((final["reason"], final["message"]), (REASONS["None"], ""))
        # The name is gone with the encoder; the reader's mapping stayed valid.
        self.assertFalse(progress_record_exists(pid))

    def test_source_of_unknown_length(self):
        # A raw MPEG-2 elementary stream states no length; its bit rate
        # would only give a guess.
        raw = make_clip(self.path("raw.m2v"), seconds=6, size="640x480", audio=None,
                        vcodec=("-c:v", "mpeg2video", "-q:v", "4"), container=("-f", "mpeg2video"))
        code, snapshots, final, _ = watch_progress(program_args(raw, self.path("M4V00002.MP4")))
        self.assertEqual(code, 0)
        self.assertEqual((final["state"], final["duration_us"]), (SUCCEEDED, -1))
        self.assert_progresses(snapshots, final)
        self.assertAlmostEqual(final["done_us"], 6_000_000, delta=100_000)

    def test_failures_publish_their_reason_and_line(self):
        # Longer than the record's 255 bytes, in characters of 3 bytes each.
        long_name = self.path("视" * 100 + ".avi")
        cases = [
            (program_args(self.clip, self.path("M4V00003.MP4"), size="abc"), 2, "BadCommandLine"),
            (["-i", self.clip, "-y"], 2, "BadCommandLine"),
            (program_args(long_name, self.path("M4V00004.MP4")), 1, None),
        ]
        for args, exit_code, reason in cases:
            with self.subTest(args=args[-3:]):
                # Read only after the exit, from a record the caller made:
                # however quick the failure, nothing depends on timing.
                code, final, name_kept = run_with_named_record(args, f"vq-progress-{os.getpid()}")
                self.assertEqual((code, name_kept), (exit_code, True))
                self.assertEqual(final["state"], FAILED)
                if reason:
                    self.assertEqual(final["reason"], REASONS[reason])
                else:
                    self.assertNotIn(final["reason"], (REASONS["None"], REASONS["BadCommandLine"]))
                # The line printed, without the program's name, cut whole.
                line = run_trancor(args).stderr.decode("utf-8").strip().removeprefix("trancor: ")
                if len(line.encode()) <= 255:
                    self.assertEqual(final["message"], line)
                else:
                    self.assertTrue(line.startswith(final["message"]), (line, final["message"]))
                    self.assertGreater(len(final["message"].encode()), 255 - 3)

    def test_missing_source_reads_source_unreadable(self):
        _, final, _ = run_with_named_record(program_args(self.path("missing.avi"), self.path("M4V00005.MP4")),
                                            f"vq-progress-{os.getpid()}")
        self.assertEqual(final["reason"], REASONS["SourceUnreadable"])

    def test_a_record_the_caller_named_follows_a_conversion_and_stays_the_callers(self):
        name = f"vq-progress-{os.getpid()}"
        code, final, name_kept = run_with_named_record(program_args(self.clip, self.path("M4V00007.MP4")), name)
        self.assertEqual((code, name_kept), (0, True))
        self.assertEqual((final["state"], final["reason"], final["message"]), (SUCCEEDED, REASONS["None"], ""))
        self.assertAlmostEqual(final["done_us"], final["duration_us"], delta=100_000)
        # A name nobody created is refused, not made up.
        result = run_trancor(program_args(self.clip, self.path("M4V00008.MP4")) + ["-progress-name", "/" + name])
        self.assertEqual(result.returncode, 2)
        self.assertIn(b"-progress-name: no progress record", result.stderr)
        self.assertFalse(os.path.exists(f"/dev/shm/{name}"))

    def test_a_run_without_reader_leaves_nothing(self):
        # Nobody reads: the record goes with the encoder, at once.
        missing = program_args(self.path("missing.avi"), self.path("M4V00006.MP4"))
        for args, code in ((["-h"], 0), (["-nonsense"], 2), (missing, 1)):
            encoder = subprocess.Popen([os.environ["TRANCOR"]] + args, stdin=subprocess.DEVNULL,
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            self.assertEqual(encoder.wait(timeout=60), code)
            self.assertFalse(progress_record_exists(encoder.pid))


class TerminalLine(EncoderTestCase):

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.clip = make_clip(cls.path("clip.avi"), seconds=8, size="640x480")

    def run_on_terminal(self, args):
        """trancor with stderr on a pseudo-terminal: (exit code, what the terminal got)."""
        main, secondary = pty.openpty()
        encoder = subprocess.Popen([os.environ["TRANCOR"]] + args, stdin=subprocess.DEVNULL,
                                   stdout=subprocess.DEVNULL, stderr=secondary)
        os.close(secondary)
        received = b""
        while True:
            try:
                chunk = os.read(main, 4096)
            except OSError:  # EIO: the encoder has closed the terminal
                break
            if not chunk:
                break
            received += chunk
        os.close(main)
        return encoder.wait(), received.decode("utf-8")

    def test_line_on_a_terminal_and_nothing_when_piped(self):
        code, shown = self.run_on_terminal(program_args(self.clip, self.path("M4V00001.MP4")))
        self.assertEqual(code, 0)
        # Redrawn in place, then one last line ended by a newline (which the
        # terminal shows as \r\n).
        self.assertTrue(shown.startswith("\r") and shown.endswith("\r\n"), repr(shown))
        *updates, last = shown[1:-2].split("\r")
        self.assertGreaterEqual(len(updates), 1, repr(shown))
        for text in updates:
            self.assertRegex(text, r"^0:0\d / 0:08 +\d+%  \d+\.\dx  left (--|0:\d\d) *$")
        self.assertRegex(last, r"^0:08 / 0:08  100%  \d+\.\dx  took 0:\d\d *$")

        raw = make_clip(self.path("raw.m2v"), seconds=3, audio=None, vcodec=("-c:v", "mpeg2video"),
                        container=("-f", "mpeg2video"))
        code, shown = self.run_on_terminal(program_args(raw, self.path("M4V00002.MP4")))
        self.assertEqual(code, 0)
        self.assertRegex(shown.split("\r")[-2], r"^0:03  \d+\.\dx  took 0:\d\d *$")

        # A failure ends with its own line, not glued to a progress line.
        code, shown = self.run_on_terminal(program_args(self.path("missing.avi"), self.path("M4V00003.MP4")))
        self.assertEqual(code, 1)
        self.assertRegex(shown, r"^trancor: .*missing\.avi.*\r\n$")

        result = run_trancor(program_args(self.clip, self.path("M4V00004.MP4")))
        self.assertEqual(result.returncode, 0)
        self.assertEqual(result.stderr, b"")


if __name__ == "__main__":
    unittest.main(verbosity=2)
