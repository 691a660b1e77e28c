"""trancor.exe under Wine with code page 936: paths with Chinese (and other
non-GBK) characters, replacing an earlier output, a refusal, a kill
mid-encode, and the source formats of the native tests (today's containers
among them), which check that the minimal Windows FFmpeg has every demuxer,
decoder and parser they need.
Usage: wine_test.py EMULATOR... (TRANCOR names the .exe)."""
import os
import re
import sys
import unittest

import trancor_helpers
# Run here through Wine as well.
from conversion_test import SourceFormats  # noqa: F401
from failure_test import Interruption  # noqa: F401
from format_test import TodaysFormats  # noqa: F401
from picture_test import assert_h264_psp_file, gray_frame, picture_args
from trancor_helpers import EncoderTestCase, make_clip, probe, program_args, run_trancor


def windows_path(path):
    """The Linux path as Wine's Z: drive shows it to the program."""
    return "Z:" + path.replace("/", "\\")


class WindowsConversion(EncoderTestCase):

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        # 한 is outside code page 936: only the UTF-16 command line carries it.
        cls.folder = cls.path("视频 测试")
        os.makedirs(os.path.join(cls.folder, "输出"))
        cls.source = make_clip(os.path.join(cls.folder, "源文件-한.avi"), seconds=2)
        cls.target = os.path.join(cls.folder, "输出", "M4V30000.MP4")

    def test_conversion_with_chinese_paths_replaces_the_earlier_output(self):
        args = program_args(windows_path(self.source), windows_path(self.target))
        result = run_trancor(args)
        self.assertEqual(result.returncode, 0, result.stderr.decode("utf-8", "replace"))
        info = self.assert_psp_file(self.target)
        self.assertAlmostEqual(float(info["format"]["duration"]), 2.0, delta=0.15)

        # Again, at another size, over the first output and a stale ".part"
        # from a killed run: MoveFileExW replaces the existing file.
        with open(self.target + ".part", "wb") as f:
            f.write(b"left by a killed run")
        args = program_args(windows_path(self.source), windows_path(self.target), size="368x208")
        result = run_trancor(args)
        self.assertEqual(result.returncode, 0, result.stderr.decode("utf-8", "replace"))
        self.assert_psp_file(self.target, size=(368, 208))

    def test_thumbnail_that_cannot_replace_the_earlier_one_is_only_a_warning(self):
        # MoveFileExW refuses to replace the earlier thumbnail (on Windows a
        # read-only or locked file; Wine replaces a read-only file, so here a
        # folder under its name). The video is what was asked for: it is put
        # in place and the run succeeds with a warning.
        target = os.path.join(self.folder, "输出", "M4V30002.MP4")
        thumb = os.path.join(self.folder, "输出", "M4V30002.THM")
        os.mkdir(thumb)
        try:
            result = run_trancor(program_args(windows_path(self.source), windows_path(target)))
            err = result.stderr.decode("utf-8", "replace")
            self.assertEqual(result.returncode, 0, err)
            self.assertEqual(len(err.splitlines()), 1, err)
            self.assertIn("warning", err)
            self.assertEqual(probe(target)["video"]["codec_name"], "mpeg4")
            self.assertTrue(os.path.isdir(thumb))
            self.assertFalse(os.path.exists(target + ".part") or os.path.exists(thumb + ".part"))
        finally:
            os.rmdir(thumb)

    def test_h264_with_bars(self):
        # The Windows FFmpeg's libx264, pad and crop filters: a 4:3 source in
        # the PSP's 16:9 screen gets bars left and right.
        target = os.path.join(self.folder, "输出", "MAQ30000.MP4")
        result = run_trancor(picture_args(windows_path(self.source), windows_path(target), "480x272",
                                          "-vcodec", "h264", "-fit", "pad"))
        self.assertEqual(result.returncode, 0, result.stderr.decode("utf-8", "replace"))
        assert_h264_psp_file(self, target, "30000/1001")
        middle = gray_frame(target, 480, 272)[136]
        self.assertLess(max(middle[:56] + middle[-56:]), 40)   # 480 - 272 * 4 / 3 = 117 columns of bars
        self.assertGreater(max(middle[64:-64]), 100)

    def test_missing_source_fails_without_output(self):
        target = os.path.join(self.folder, "输出", "M4V30001.MP4")
        result = run_trancor(program_args(windows_path(self.source + ".missing"), windows_path(target)))
        self.assertEqual(result.returncode, 1)
        self.assertIn("源文件-한.avi.missing", result.stderr.decode("utf-8", "replace"))
        self.assertFalse(os.path.exists(target))
        self.assertFalse(os.path.exists(target + ".part"))

    def test_runs_without_text_load_no_gui_library(self):
        # A window's libraries cost every row's start under Wine; only text
        # subtitles (GDI font lookups) load them, on first use.
        env = dict(os.environ, WINEDEBUG="+pid,+loaddll")
        gui = {"user32.dll", "gdi32.dll", "shell32.dll", "imm32.dll"}
        runs = {
            "converted": (program_args(windows_path(self.source), windows_path(self.path("GUI.MP4"))), 0),
            "failed": (program_args(windows_path(self.source + ".missing"), windows_path(self.path("NONE.MP4"))), 1),
        }
        for name, (args, code) in runs.items():
            with self.subTest(name):
                result = run_trancor(args, env=env)
                err = result.stderr.decode("utf-8", "replace")
                self.assertEqual(result.returncode, code, err)
                # "<pid>:<tid>:trace:loaddll:... Loaded L"C:\\...\\name.dll"": Wine's
                # helper processes trace into the same stream.
                loads = re.findall(r'^([0-9a-f]+):[0-9a-f]+:trace:loaddll:\S+ Loaded L"[^"]*\\\\([^\\\\"]+)"',
                                   err, re.M | re.I)
                pids = {pid for pid, module in loads if module.lower() == "trancor.exe"}
                loaded = {module.lower() for pid, module in loads if pid in pids}
                self.assertIn("kernel32.dll", loaded, "no loader trace: " + err[-500:])
                self.assertEqual(loaded & gui, set())


if __name__ == "__main__":
    trancor_helpers.EMULATOR = sys.argv[1:]
    unittest.main(argv=sys.argv[:1], verbosity=2)
