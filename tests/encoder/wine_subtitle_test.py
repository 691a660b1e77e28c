"""trancor.exe under Wine: Chinese ASS subtitles drawn with the fonts the
Windows system has (the prefix's CJK font found through DirectWrite; no
font attached, the style names one the system lacks), and a GBK subtitle
file read through the system code page (936).
Usage: wine_subtitle_test.py EMULATOR... (TRANCOR names the .exe)."""
import os
import sys
import unittest

import trancor_helpers
from subtitle_test import AFTER, INSIDE, changed, frame_at, keep_frame, mkv_with_ass, srt_text
from trancor_helpers import EncoderTestCase, make_clip, program_args, run_trancor
from wine_test import windows_path


class WindowsSubtitles(EncoderTestCase):

    def burn(self, source, name, sub=True):
        target = self.path(name)
        args = program_args(windows_path(source), windows_path(target)) + (["-sub", "auto"] if sub else [])
        result = run_trancor(args, timeout=240)
        err = result.stderr.decode("utf-8", "replace")
        self.assertEqual((result.returncode, err), (0, ""))
        return target

    def test_chinese_text_with_the_systems_fonts(self):
        clip = make_clip(self.path("clip.mkv"), seconds=3.5, size="640x480",
                         vcodec=("-c:v", "mpeg4", "-q:v", "3"))
        plain = self.burn(clip, "PLAIN.MP4", sub=False)
        hello = self.burn(mkv_with_ass(self.path("你好.mkv"), clip, "你好世界", font="Arial", attach=False),
                          "M4V20000.MP4")
        other = self.burn(mkv_with_ass(self.path("字幕.mkv"), clip, "字幕测试", font="Arial", attach=False),
                          "M4V20001.MP4")
        folder = self.path("电影")
        os.mkdir(folder)
        os.link(clip, os.path.join(folder, "电影.mkv"))
        with open(os.path.join(folder, "电影.srt"), "wb") as f:
            f.write(srt_text("简体中文字幕").encode("gbk"))
        beside = self.burn(os.path.join(folder, "电影.mkv"), "M4V20002.MP4")
        for target in (hello, other, beside):
            self.assertGreater(changed(frame_at(target, INSIDE), frame_at(plain, INSIDE)), 0.003, target)
            self.assertLess(changed(frame_at(target, AFTER), frame_at(plain, AFTER)), 0.001, target)
        # Empty boxes for missing glyphs would draw both texts alike.
        self.assertGreater(changed(frame_at(hello, INSIDE), frame_at(other, INSIDE)), 0.005)
        keep_frame(hello, "wine-ass.png")
        keep_frame(beside, "wine-gbk-srt.png")


if __name__ == "__main__":
    trancor_helpers.EMULATOR = sys.argv[1:]
    unittest.main(argv=sys.argv[:1], verbosity=2)
