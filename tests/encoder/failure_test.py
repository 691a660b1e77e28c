"""What must never happen: a success reported for a file that is not
complete, or an earlier file damaged by a failed or interrupted run."""
import os
import signal
import time
import unittest

from trancor_helpers import (EncoderTestCase, ffmpeg, make_clip, probe, program_args, read_bytes, run_trancor,
                             start_trancor)

OLD_CONTENT = b"the earlier conversion, which must survive"


class Refusals(EncoderTestCase):
    """Bad command lines and bad sources: non-zero exit, one clear line, no new files."""

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.good = make_clip(cls.path("good.avi"), seconds=1)

    def setUp(self):
        # An earlier output under the target's name, as when a batch is rerun.
        self.target = self.path("M4V30000.MP4")
        with open(self.target, "wb") as f:
            f.write(OLD_CONTENT)

    def tearDown(self):
        for name in os.listdir(self.dir):
            if name.startswith("M4V30000"):
                os.remove(self.path(name))

    def assert_refused(self, args, message, code=1, leftovers=()):
        result = run_trancor(args)
        err = result.stderr.decode("utf-8", "replace")
        self.assertEqual(result.returncode, code, err)
        lines = [l for l in err.splitlines() if l.startswith("trancor:")]
        self.assertEqual(len(lines), 1, err)
        self.assertIn(message, lines[0])
        self.assertEqual(read_bytes(self.target), OLD_CONTENT)
        self.assertEqual(sorted(n for n in os.listdir(self.dir) if n.startswith("M4V30000")),
                         sorted(["M4V30000.MP4", *leftovers]))

    def source_file(self, name, content):
        path = self.path(name)
        with open(path, "wb") as f:
            f.write(content)
        return path

    def test_bad_options_are_refused_before_anything_is_touched(self):
        cases = [
            (program_args(self.good, self.target, size=""), "-s: empty value"),
            (program_args(self.good, self.target, video_kbits="abc"), "-b: 'abc'"),
            (program_args(self.good, self.target, volume="-5"), "-vol: '-5'"),
            (program_args(self.good, self.target) + ["-title2", "x"], "unrecognized option '-title2'"),
            (["-i", self.good, "-s", "-r", "29.97", "-y", self.target], "-s: missing value"),
            (["-i", self.good, "-acodec", "mp3", "-y", self.target], "unsupported audio codec"),
        ]
        # Not even the ".part" file a killed run left behind is touched.
        self.source_file("M4V30000.MP4.part", b"stale")
        for args, message in cases:
            with self.subTest(message=message):
                self.assert_refused(args, message, code=2, leftovers=["M4V30000.MP4.part"])

    def test_help(self):
        result = run_trancor(["-h"])
        self.assertEqual(result.returncode, 0)
        self.assertIn(b"-vol N", result.stdout)
        self.assertIn(b"percent", result.stdout)

    def test_probe_tells_each_length_and_minus_one_for_what_it_cannot_read(self):
        noise = self.source_file("probe-noise.avi", bytes((i * 31 + 7) % 251 for i in range(4096)))
        result = run_trancor(["-probe", self.good, self.path("nothing.avi"), noise, self.good])
        self.assertEqual(result.returncode, 0)
        lengths = [int(line) for line in result.stdout.decode().split()]
        self.assertEqual(len(lengths), 4)
        self.assertEqual(lengths[1:3], [-1, -1])
        self.assertEqual(lengths[0], lengths[3])
        self.assertAlmostEqual(lengths[0] / 1e6, 1.0, delta=0.1)

    def test_unreadable_sources(self):
        good = read_bytes(self.good)
        cases = [
            ("empty.avi", b"", "empty.avi"),
            ("noise.avi", bytes((i * 7919 + 13) % 251 for i in range(65536)), "noise.avi"),
            ("cut.avi", good[: len(good) // 2], "incomplete"),
            ("header_only.avi", good[:12000], "incomplete"),
        ]
        for name, content, message in cases:
            with self.subTest(source=name):
                self.assert_refused(program_args(self.source_file(name, content), self.target), message)

    def test_missing_source_and_a_stale_part_file(self):
        # A run that gets as far as the source clears what a killed run left.
        self.source_file("M4V30000.MP4.part", b"left by a killed run")
        self.source_file("M4V30000.THM.part", b"left by a killed run")
        self.assert_refused(program_args(self.path("nothing here.avi"), self.target), "nothing here.avi")

    def test_sources_without_moving_pictures(self):
        sound = self.path("sound.wav")
        make_clip(sound, seconds=1, vcodec=("-vn",), acodec=("-c:a", "pcm_s16le"))
        # A song with a cover image, which is a picture stream but no video.
        plain = make_clip(self.path("plain.mp3"), seconds=1, vcodec=("-vn",), acodec=("-c:a", "libmp3lame"))
        cover = self.path("cover.png")
        ffmpeg("-f", "lavfi", "-i", "testsrc2=size=320x240", "-frames:v", "1", cover)
        song = self.path("song.mp3")
        ffmpeg("-i", plain, "-i", cover, "-map", "0", "-map", "1", "-c", "copy", "-disposition:v", "attached_pic",
               song)
        self.assertEqual(probe(song)["video"]["disposition"]["attached_pic"], 1)
        for source in (sound, song):
            with self.subTest(source=source):
                self.assert_refused(program_args(source, self.target), "no video")

    def test_source_and_target_are_the_same_file(self):
        self.assert_refused(program_args(self.target, self.target), "is the input")

    def test_output_named_like_its_thumbnail(self):
        thumb = self.path("M4V30000.thm")
        result = run_trancor(program_args(self.good, thumb))
        self.assertEqual(result.returncode, 1)
        self.assertIn(b"thumbnail", result.stderr)
        self.assertFalse(os.path.exists(thumb))

    def test_missing_output_folder(self):
        target = self.path("no such folder/M4V30000.MP4")
        result = run_trancor(program_args(self.good, target))
        self.assertNotEqual(result.returncode, 0)
        self.assertIn(b"cannot create", result.stderr)

    def test_sources_cut_short_are_refused_in_every_container(self):
        # Each states its length up front (MP4 with its index first, ASF,
        # FLV, Matroska); cut to 40 %, what is left must not pass as whole.
        cases = [
            ("faststart.mp4", ("-c:v", "mpeg4"), ("-c:a", "aac"), ("-movflags", "+faststart")),
            ("asf.wmv", ("-c:v", "wmv2"), ("-c:a", "wmav2"), ()),
            ("flash.flv", ("-c:v", "flv"), ("-c:a", "libmp3lame", "-ar", "44100"), ()),
            ("matroska.mkv", ("-c:v", "libx264"), ("-c:a", "libvorbis"), ()),
        ]
        for name, vcodec, acodec, container in cases:
            with self.subTest(source=name):
                full = make_clip(self.path(name), seconds=5, vcodec=vcodec, acodec=acodec, container=container)
                data = read_bytes(full)
                cut = self.source_file("cut-" + name, data[: len(data) * 2 // 5])
                self.assert_refused(program_args(cut, self.target), "the file is incomplete")

    def test_thumbnail_that_cannot_replace_the_earlier_one_is_only_a_warning(self):
        # The earlier thumbnail is in the way (here a folder under its name;
        # on Windows a read-only or locked file): the video is still made.
        thumb = self.path("M4V30000.THM")
        os.mkdir(thumb)
        try:
            result = run_trancor(program_args(self.good, self.target))
            err = result.stderr.decode("utf-8", "replace")
            self.assertEqual(result.returncode, 0, err)
            self.assertEqual(len(err.splitlines()), 1, err)
            self.assertIn("warning", err)
            self.assertNotEqual(read_bytes(self.target), OLD_CONTENT)
            self.assertEqual(probe(self.target)["video"]["codec_name"], "mpeg4")
            self.assertTrue(os.path.isdir(thumb))
            self.assertEqual(sorted(n for n in os.listdir(self.dir) if n.startswith("M4V30000")),
                             ["M4V30000.MP4", "M4V30000.THM"])
        finally:
            os.rmdir(thumb)


class Interruption(EncoderTestCase):
    """The program cancels a conversion by killing the encoder."""

    def test_kill_leaves_the_earlier_file_and_the_next_run_cleans_up(self):
        source = make_clip(self.path("long.avi"), seconds=40, size="640x480")
        target = self.path("M4V30001.MP4")
        with open(target, "wb") as f:
            f.write(OLD_CONTENT)
        part = target + ".part"

        encoder = start_trancor(program_args(source, target))
        deadline = time.monotonic() + 60
        while (not os.path.exists(part) or os.path.getsize(part) < 100000) and time.monotonic() < deadline:
            self.assertIsNone(encoder.poll(), "finished before it could be interrupted")
            time.sleep(0.02)
        encoder.send_signal(signal.SIGKILL)
        encoder.wait()
        # A killed encoder cannot remove its progress record's name; its
        # front end does.
        if os.path.exists(f"/dev/shm/trancor-progress-{encoder.pid}"):
            os.unlink(f"/dev/shm/trancor-progress-{encoder.pid}")

        self.assertEqual(read_bytes(target), OLD_CONTENT)
        self.assertFalse(os.path.exists(self.path("M4V30001.THM")))
        self.assertTrue(os.path.exists(part))  # killed while writing

        # The next run for the target starts afresh and replaces the old file.
        short = make_clip(self.path("short.avi"), seconds=1)
        self.convert(short, target)
        self.assert_psp_file(target)
        self.assertLess(float(probe(target)["format"]["duration"]), 2)


if __name__ == "__main__":
    unittest.main(verbosity=2)
