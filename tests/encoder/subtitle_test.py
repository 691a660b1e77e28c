"""-sub auto: subtitles burned into the picture, from each kind of source
subtitle, there at their time and gone outside it; Chinese text drawn with
real glyphs (two different texts give different pictures; missing glyphs
would be the same empty boxes)."""
import os
import struct
import unittest

from trancor_helpers import EncoderTestCase, ffmpeg, make_clip, mkv_with_sound_tracks, program_args, run_trancor

SHOWN = (1.0, 2.0)  # every test subtitle is on screen from 1 s to 2 s
INSIDE, BEFORE, AFTER = 1.5, 0.5, 3.2
ASS_HEADER = """[Script Info]
ScriptType: v4.00+
PlayResX: 640
PlayResY: 480

[V4+ Styles]
Format: Name, Fontname, Fontsize, PrimaryColour, OutlineColour, BackColour, Bold, Outline, Alignment, MarginV
Style: Default,{font},56,&H00FFFFFF,&H00000000,&H00000000,0,3,2,30

[Events]
Format: Layer, Start, End, Style, Text
"""
CJK_FONT = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"


def ass_text(text, font):
    return ASS_HEADER.format(font=font) + f"Dialogue: 0,0:00:01.00,0:00:02.00,Default,{text}\n"


def srt_text(text):
    return f"1\n00:00:01,000 --> 00:00:02,000\n{text}\n"


def mkv_with_ass(path, clip, text, font="WenQuanYi Micro Hei", attach=True):
    """An MKV with one Chinese ASS track (and the font attached)."""
    ass = path + ".ass"
    with open(ass, "w", encoding="utf-8") as f:
        f.write(ass_text(text, font))
    attached = ["-attach", CJK_FONT, "-metadata:s:t", "mimetype=application/x-truetype-font"] if attach else []
    ffmpeg("-i", clip, "-i", ass, "-map", "0", "-map", "1", "-c", "copy", "-metadata:s:s:0", "language=chi",
           *attached, path)
    os.remove(ass)
    return path


def spu(width, height, x, y, seconds, forced=False):
    """A DVD subtitle picture: a filled rectangle shown for `seconds`;
    forced: shown even when the player's subtitles are off."""
    assert width < 256  # one run of `width` pixels of colour 1 per line
    line = struct.pack(">H", width << 2 | 1)
    field = line * (height // 2)
    rle_end = 4 + 2 * len(field)
    commands = bytes([0x00] if forced else []) + bytes([
        0x03, 0x00, 0x10,  # colour 1: palette entry 1; background: entry 0
        0x04, 0x00, 0xF0,  # colour 1 opaque, background clear
        0x05, x >> 4, (x & 15) << 4 | (x + width - 1) >> 8, (x + width - 1) & 255,
        y >> 4, (y & 15) << 4 | (y + height - 1) >> 8, (y + height - 1) & 255,
        0x06]) + struct.pack(">HH", 4, 4 + len(field)) + bytes([0x01, 0xFF])
    stop_at = rle_end + 4 + len(commands)  # the last sequence points to itself
    first = struct.pack(">HH", 0, stop_at) + commands
    stop = struct.pack(">HH", round(seconds * 90000 / 1024), stop_at) + bytes([0x02, 0xFF])
    body = field + field + first + stop
    return struct.pack(">HH", 4 + len(body), rle_end) + body


def vobsub(base, forced=False):
    """A VobSub pair whose one subtitle shows a box at SHOWN; the .idx's path."""
    pts = 90000  # the .idx's timestamp decides; the PES one is kept consistent
    payload = spu(240, 60, 240, 380, SHOWN[1] - SHOWN[0], forced)
    pes_pts = bytes([0x21 | (pts >> 29 & 0x0E), pts >> 22 & 255, (pts >> 14 & 0xFE) | 1, pts >> 7 & 255,
                     (pts << 1 & 0xFE) | 1])
    pes = b"\x00\x00\x01\xBD" + struct.pack(">H", 9 + len(payload)) + b"\x81\x80\x05" + pes_pts + b"\x20" + payload
    pack = b"\x00\x00\x01\xBA\x44\x00\x04\x00\x04\x01\x01\x89\xC3\xF8"
    with open(base + ".sub", "wb") as f:
        f.write(pack + pes)
    palette = ", ".join(["000000", "ffffff"] + ["808080"] * 14)
    with open(base + ".idx", "w") as f:
        f.write("# VobSub index file, v7 (do not modify this line!)\nsize: 720x480\n"
                f"palette: {palette}\nid: en, index: 0\ntimestamp: 00:00:01:000, filepos: 000000000\n")
    return base + ".idx"


def vob_with_dvd_subtitle(path, clip):
    """A VOB whose DVD subtitle (from a VobSub pair made here) shows a box."""
    ffmpeg("-i", clip, "-i", vobsub(path + ".vobsub"), "-map", "0", "-map", "1", "-c", "copy", "-f", "vob", path)
    return path


def frame_at(path, seconds):
    """The output's picture at `seconds`, as gray bytes at its own size."""
    import subprocess
    return subprocess.run(["ffmpeg", "-v", "error", "-ss", str(seconds), "-i", path, "-frames:v", "1",
                           "-f", "rawvideo", "-pix_fmt", "gray", "-"], check=True, capture_output=True).stdout


def keep_frame(target, name):
    """Leaves the picture at INSIDE for a look in $VQ_SUBTITLE_ARTIFACTS (not part of the verdict)."""
    folder = os.environ.get("VQ_SUBTITLE_ARTIFACTS")
    if folder:
        os.makedirs(folder, exist_ok=True)
        ffmpeg("-ss", str(INSIDE), "-i", target, "-frames:v", "1", "-update", "1", os.path.join(folder, name))


def changed(a, b):
    """The share of pixels two gray pictures differ in by more than coding noise."""
    return sum(abs(x - y) > 40 for x, y in zip(a, b)) / max(1, len(a))


class SubtitleBurning(EncoderTestCase):
    """Each source of subtitles, burned and checked against the same video
    converted without subtitles."""

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.clip = make_clip(cls.path("clip.mkv"), seconds=4, size="640x480",
                             vcodec=("-c:v", "mpeg4", "-q:v", "3"))
        cls.plain = cls.path("PLAIN.MP4")
        result = run_trancor(program_args(cls.clip, cls.plain))
        assert result.returncode == 0, result.stderr

    def burn(self, source, name, sub=True, extra=()):
        target = self.path(name)
        args = program_args(source, target) + (["-sub", "auto"] if sub else []) + list(extra)
        result = run_trancor(args)
        self.assertEqual(result.returncode, 0, result.stderr.decode("utf-8", "replace"))
        self.assert_psp_file(target)
        return target, result.stderr.decode("utf-8", "replace")

    def assert_burned_at_its_time(self, target, plain=None):
        plain = plain or self.plain
        self.assertGreater(changed(frame_at(target, INSIDE), frame_at(plain, INSIDE)), 0.003, target)
        for outside in (BEFORE, AFTER):
            self.assertLess(changed(frame_at(target, outside), frame_at(plain, outside)), 0.001, target)

    def test_text_tracks_and_chinese_glyphs(self):
        # An MKV's ASS track with an attached font; an MP4 text track.
        hello = mkv_with_ass(self.path("你好.mkv"), self.clip, "你好世界")
        other = mkv_with_ass(self.path("字幕.mkv"), self.clip, "字幕测试")
        mp4 = self.path("text.mp4")
        with open(mp4 + ".srt", "w", encoding="utf-8") as f:
            f.write(srt_text("中文字幕 MP4"))
        ffmpeg("-i", self.clip, "-i", mp4 + ".srt", "-map", "0", "-map", "1", "-c:v", "copy", "-c:a", "aac",
               "-c:s", "mov_text", mp4)
        os.remove(mp4 + ".srt")
        # Text drawn on 10-bit pictures too (anime releases come so).
        deep = self.path("deep.mkv")
        ffmpeg("-i", self.clip, "-c:v", "ffv1", "-pix_fmt", "yuv420p10le", "-c:a", "copy", deep)
        deep_plain, _ = self.burn(deep, "M4V10008.MP4", sub=False)
        deep = mkv_with_ass(self.path("十位.mkv"), deep, "十位色深")
        outputs = [self.burn(source, f"M4V1000{i}.MP4") for i, source in enumerate((hello, other, mp4, deep))]
        for (target, err), plain in zip(outputs, (None, None, None, deep_plain)):
            self.assertEqual(err, "")
            self.assert_burned_at_its_time(target, plain)
        for (target, _), name in zip(outputs, ("native-ass.png", "native-other.png", "native-mp4-text.png",
                                               "native-10bit.png")):
            keep_frame(target, name)
        # Boxes for missing glyphs would draw both texts alike.
        self.assertGreater(changed(frame_at(outputs[0][0], INSIDE), frame_at(outputs[1][0], INSIDE)), 0.005)

        # Without -sub the track is left alone: the picture is today's.
        target, _ = self.burn(hello, "M4V10009.MP4", sub=False)
        self.assertEqual(frame_at(target, INSIDE), frame_at(self.plain, INSIDE))

    def test_text_keeps_its_shape_on_wide_pixels(self):
        # The same line from a square-pixel source and from one with 4:3
        # pixels (shown 16:9), fitted with bars: the text is as wide on both.
        square = mkv_with_ass(self.path("square.mkv"), self.clip, "你好世界 Hello")
        wide = self.path("wide.mkv")
        ffmpeg("-i", square, "-map", "0", "-c", "copy", "-c:v", "mpeg4", "-q:v", "3", "-aspect", "16:9", wide)
        widths = []
        for i, source in enumerate((square, wide)):
            frames = []
            for sub in ([], ["-sub", "auto"]):
                target = self.path(f"M4V106{i}{len(sub)}.MP4")
                self.assertEqual(run_trancor(program_args(source, target, size="480x272") + ["-fit", "pad"] + sub)
                                 .returncode, 0)
                frames.append(frame_at(target, INSIDE))
            keep_frame(target, f"native-pixels-{i}.png")
            text = [n % 480 for n, (a, b) in enumerate(zip(*frames)) if abs(a - b) > 40 and n // 480 > 215]
            widths.append(max(text) - min(text))
        self.assertAlmostEqual(widths[1] / widths[0], 1.0, delta=0.05, msg=widths)

    def test_subtitle_file_beside_the_video(self):
        # A GBK file with a Chinese name; the Simplified Chinese tag wins
        # over another tag whatever their order (the English one would
        # show from 3 s).
        folder = self.path("影片")
        os.mkdir(folder)
        video = os.path.join(folder, "电影.mkv")
        os.link(self.clip, video)
        with open(os.path.join(folder, "电影.chs.srt"), "wb") as f:
            f.write(srt_text("简体中文字幕").encode("gbk"))
        with open(os.path.join(folder, "电影.a-en.srt"), "w", encoding="utf-8") as f:
            f.write(srt_text("English").replace("00:00:01,000 --> 00:00:02,000", "00:00:03,000 --> 00:00:04,000"))
        target, err = self.burn(video, "M4V10010.MP4")
        self.assertEqual(err, "")
        self.assert_burned_at_its_time(target)

    def test_dvd_picture_subtitle_in_a_vob(self):
        clip = make_clip(self.path("dvd.mpg"), seconds=4, size="720x480", rate="30000/1001",
                         vcodec=("-c:v", "mpeg2video", "-q:v", "10"), acodec=("-c:a", "mp2", "-b:a", "128k"),
                         container=("-f", "vob"))
        vob = vob_with_dvd_subtitle(self.path("dvd.vob"), clip)
        plain, _ = self.burn(vob, "M4V10020.MP4", sub=False)
        target, err = self.burn(vob, "M4V10021.MP4")
        self.assertEqual(err, "")
        self.assertGreater(changed(frame_at(target, INSIDE), frame_at(plain, INSIDE)), 0.003)
        for outside in (BEFORE, AFTER):
            self.assertLess(changed(frame_at(target, outside), frame_at(plain, outside)), 0.001)

    def test_chinese_sound_keeps_only_the_forced_chinese_subtitles(self):
        # Japanese sound first, Chinese second; a full Chinese track at the
        # bottom (default) and a forced Chinese one at the top.
        full, forced = self.path("full.ass"), self.path("forced.ass")
        for path, text in ((full, "你好世界"), (forced, "{\\an8}招牌文字")):
            with open(path, "w", encoding="utf-8") as f:
                f.write(ass_text(text, "WenQuanYi Micro Hei"))
        font = ["-attach", CJK_FONT, "-metadata:s:t", "mimetype=application/x-truetype-font", "-c:s", "copy"]
        chinese_subtitles = ["-metadata:s:s", "language=chi"]
        both = mkv_with_sound_tracks(self.path("both.mkv"), self.clip, [(0.1, "jpn", True), (0.1, "chi", False)],
                                     (full, forced), font + chinese_subtitles +
                                     ["-disposition:s:0", "default", "-disposition:s:1", "forced"])
        unforced = mkv_with_sound_tracks(self.path("unforced.mkv"), self.clip,
                                         [(0.1, "jpn", True), (0.1, "chi", False)], (full,), font + chinese_subtitles)
        japanese = mkv_with_sound_tracks(self.path("japanese.mkv"), self.clip, [(0.1, "jpn", True)], (full,),
                                         font + chinese_subtitles)
        chinese = ["-alang", "chi"]
        # The remuxed picture's times differ from the clip's by a frame: the
        # plain picture is one of these sources converted without -sub.
        plain = frame_at(self.burn(both, "M4V10059.MP4", sub=False)[0], INSIDE)
        frames = {}
        for source, alang in ((both, []), (both, chinese), (unforced, chinese), (japanese, chinese)):
            target = self.path(f"M4V{10060 + len(frames)}.MP4")
            result = run_trancor(program_args(source, target) + ["-sub", "auto"] + alang)
            self.assertEqual(result.returncode, 0, result.stderr.decode("utf-8", "replace"))
            frames[os.path.basename(source), bool(alang)] = frame_at(target, INSIDE)
            keep_frame(target, f"native-sound-{len(frames)}.png")
        half = len(plain) // 2

        def burned(frame):  # (top half, bottom half) changed against the plain picture
            return (changed(frame[:half], plain[:half]) > 0.003, changed(frame[half:], plain[half:]) > 0.003)

        self.assertEqual({key: burned(frame) for key, frame in frames.items()}, {
            ("both.mkv", False): (False, True),     # Japanese sound: the full track
            ("both.mkv", True): (True, False),      # Chinese sound: the forced one only
            ("unforced.mkv", True): (False, False),  # nothing forced: nothing burned
            ("japanese.mkv", True): (False, True),  # no Chinese sound: the full track
        })

        # Files beside the video: the whole Chinese one for Japanese sound,
        # the forced one for Chinese sound, whatever their names' order.
        folder = self.path("forced-files")
        os.mkdir(folder)
        video = os.path.join(folder, "v.mkv")
        os.link(unforced, video)
        for name, text in (("v.chs.srt", "你好世界"), ("v.chs.forced.srt", "{\\an8}招牌文字")):
            with open(os.path.join(folder, name), "w", encoding="utf-8") as f:
                f.write(srt_text(text))
        files = {}
        for alang in ([], chinese):
            target, _ = self.burn(video, f"M4V1006{5 + len(alang)}.MP4", extra=alang)
            files[bool(alang)] = burned(frame_at(target, INSIDE))
        self.assertEqual(files, {False: (False, True), True: (True, False)})

        # A DVD picture track keeps the lines marked forced, one by one.
        for forced in (False, True):
            dvd = mkv_with_sound_tracks(self.path(f"dvd{forced}.mkv"), self.clip, [(0.1, "chi", True)],
                                        (vobsub(self.path(f"dvd{forced}"), forced),),
                                        ["-c:s", "copy"] + chinese_subtitles)
            shown = {}
            for alang in ([], chinese):
                target, _ = self.burn(dvd, f"M4V10{70 + 2 * forced + len(alang) // 2}.MP4", extra=alang)
                shown[bool(alang)] = changed(frame_at(target, INSIDE), plain) > 0.003
            self.assertEqual(shown, {False: True, True: forced}, f"forced: {forced}")

    def test_nothing_to_burn_and_unreadable_subtitles(self):
        # No subtitles anywhere: today's picture, no word about it.
        target, err = self.burn(self.clip, "M4V10030.MP4")
        self.assertEqual((err, frame_at(target, INSIDE)), ("", frame_at(self.plain, INSIDE)))
        # A subtitle file that is no text, or no subtitles: converted
        # without, with one warning line naming the file.
        for i, content in enumerate((b"\xff\x80\x80\x00\x81" * 50, b"just some words\n")):
            folder = self.path(f"bad{i}")
            os.mkdir(folder)
            video = os.path.join(folder, "v.mkv")
            os.link(self.clip, video)
            with open(os.path.join(folder, "v.srt"), "wb") as f:
                f.write(content)
            target, err = self.burn(video, f"M4V1004{i}.MP4")
            self.assertEqual(len(err.splitlines()), 1, err)
            self.assertIn("warning", err)
            self.assertIn("v.srt", err)
            self.assertEqual(frame_at(target, INSIDE), frame_at(self.plain, INSIDE))
        # Any other value is refused before anything is read.
        result = run_trancor(program_args(self.clip, self.path("M4V10050.MP4")) + ["-sub", "none"])
        self.assertEqual(result.returncode, 2)
        self.assertFalse(os.path.exists(self.path("M4V10050.MP4")))


if __name__ == "__main__":
    unittest.main()
