"""Sources whose timing or layout is odd or damaged: what comes out keeps
picture and sound together, stays as long as the source, and is upright."""
import os
import subprocess
import unittest

from trancor_helpers import EncoderTestCase, ffmpeg, make_clip, probe, program_args, read_bytes, run_trancor


def durations(path):
    info = probe(path)
    return float(info["video"]["duration"]), float(info["audio"][0]["duration"])


def levels_db(path, start, length):
    """Peak level in dB of the file's sound between start and start + length seconds."""
    err = subprocess.run(["ffmpeg", "-v", "info", "-nostdin", "-ss", str(start), "-t", str(length), "-i", path,
                          "-vn", "-af", "volumedetect", "-f", "null", "-"], capture_output=True, text=True).stderr
    for line in err.splitlines():
        if "max_volume:" in line:
            return float(line.split("max_volume:")[1].split()[0])
    return -200.0


def first_time(graph, tag, threshold):
    """Time (s) of the first frame of a lavfi graph whose tag exceeds threshold."""
    out = subprocess.run(["ffprobe", "-v", "error", "-f", "lavfi", "-i", graph, "-show_entries",
                          f"frame=pts_time:frame_tags={tag}", "-of", "csv=p=0"], check=True, capture_output=True,
                         text=True).stdout
    return next(float(t) for t, v in (line.split(",") for line in out.split()) if float(v) > threshold)


def quadrant_colours(path, size):
    """Mean (R, G, B) of the top, bottom, left and right halves of the file's
    middle picture, scaled to size x size."""
    rgb = subprocess.run(["ffmpeg", "-v", "error", "-nostdin", "-ss", "0.5", "-i", path, "-frames:v", "1",
                          "-vf", f"scale={size}:{size}", "-f", "rawvideo", "-pix_fmt", "rgb24", "-"],
                         check=True, capture_output=True).stdout

    def mean(x0, x1, y0, y1):
        total, n = [0, 0, 0], 0
        for y in range(y0, y1):
            for x in range(x0, x1):
                p = (y * size + x) * 3
                for c in range(3):
                    total[c] += rgb[p + c]
                n += 1
        return tuple(round(t / n) for t in total)

    h = size // 2
    return {"top": mean(0, size, 0, h), "bottom": mean(0, size, h, size),
            "left": mean(0, h, 0, size), "right": mean(h, size, 0, size)}


def dominant(colour):
    return "rgb"[max(range(3), key=lambda c: colour[c])]


class DamagedSources(EncoderTestCase):

    def convert_checked(self, source, name, extra=(), **settings):
        """Converts; the result must be a PSP file whose sound and picture end together."""
        target = self.path(name)
        result = run_trancor(program_args(source, target, **settings) + list(extra))
        self.assertEqual(result.returncode, 0, result.stderr.decode("utf-8", "replace"))
        self.assertEqual(result.stderr, b"", "a successful run says nothing")
        self.assert_psp_file(target)
        video, audio = durations(target)
        self.assertAlmostEqual(video, audio, delta=0.2)
        return target, video

    def test_timestamp_jumps_are_cut_and_sound_stays_in_step(self):
        # Two transport streams back to back whose clock jumps an hour ahead,
        # then one whose clock starts again at 0 (a spliced recording): all
        # 6 s of content, none of the jumps filled.
        parts = []
        for i, offset in enumerate((0, 3600, 0)):
            parts.append(make_clip(self.path(f"jump{i}.ts"), seconds=2, vcodec=("-c:v", "mpeg2video"),
                                   acodec=("-c:a", "mp2"), container=("-output_ts_offset", str(offset))))
        source = self.path("jumps.ts")
        with open(source, "wb") as out:
            for part in parts:
                out.write(read_bytes(part))
        _, length = self.convert_checked(source, "JUMPS.MP4")
        self.assertAlmostEqual(length, 6.0, delta=0.3)

    def test_what_the_converted_streams_state_is_the_length_and_subtitles_follow_a_cut(self):
        # A fansub MKV whose subtitle ends 3 s after its 6 s of picture and
        # sound (the container says 9 s): not incomplete.
        clip = make_clip(self.path("fansub-clip.mkv"), seconds=6, vcodec=("-c:v", "libx264"),
                         acodec=("-c:a", "libvorbis"))
        late = self.path("late.srt")
        with open(late, "w") as f:
            f.write("1\n00:00:08,000 --> 00:00:09,000\nlate\n")
        fansub = self.path("fansub.mkv")
        ffmpeg("-i", clip, "-i", late, "-map", "0", "-map", "1", "-c", "copy", fansub)
        self.assertAlmostEqual(float(probe(fansub)["format"]["duration"]), 9.0, delta=0.1)
        _, length = self.convert_checked(fansub, "FANSUB.MP4")
        self.assertAlmostEqual(length, 6.0, delta=0.3)
        # A recording paused for 10 s (20 s by its container, 10 s of
        # content), cut together; a subtitle at 16 s of the source shows at
        # 6 s of the output, not before or after.
        paused = self.path("paused.mkv")
        jump = "if(gte(T,5),PTS+10/TB,PTS)"
        ffmpeg("-t", "10", "-f", "lavfi", "-i", "testsrc2=size=320x240:rate=25", "-t", "10", "-f", "lavfi",
               "-i", "sine=sample_rate=44100", "-vf", f"setpts='{jump}'", "-af", f"asetpts='{jump}'",
               "-c:v", "libx264", "-c:a", "libvorbis", paused)
        line = self.path("line.srt")
        with open(line, "w") as f:
            f.write("1\n00:00:16,000 --> 00:00:17,000\nafter the pause\n")
        with_line = self.path("paused-line.mkv")
        ffmpeg("-i", paused, "-i", line, "-map", "0", "-map", "1", "-c", "copy", with_line)
        self.assertAlmostEqual(float(probe(with_line)["format"]["duration"]), 20.0, delta=0.1)
        plain, length = self.convert_checked(paused, "PAUSED.MP4")
        self.assertAlmostEqual(length, 10.0, delta=0.3)
        burned, length = self.convert_checked(with_line, "PAUSEDSUB.MP4", extra=("-sub", "auto"))
        self.assertAlmostEqual(length, 10.0, delta=0.3)

        def gray(path, at):
            return subprocess.run(["ffmpeg", "-v", "error", "-ss", str(at), "-i", path, "-frames:v", "1", "-f",
                                   "rawvideo", "-pix_fmt", "gray", "-"], check=True, capture_output=True).stdout

        def changed(at):
            a, b = gray(burned, at), gray(plain, at)
            return sum(abs(x - y) > 40 for x, y in zip(a, b)) / len(a)

        self.assertGreater(changed(6.5), 0.003)
        self.assertLess(max(changed(5.5), changed(7.5)), 0.001)

    def test_sound_that_starts_late_or_early_stays_in_step(self):
        # A tone that starts 1 s after the picture (or the picture 1 s after
        # the tone), as phone and camera files do: silence (or the first
        # picture held) fills the start, and the tone sits where it was.
        video = make_clip(self.path("picture.mkv"), seconds=3, audio=None, vcodec=("-c:v", "libx264"))
        tone = self.path("tone.wav")
        ffmpeg("-f", "lavfi", "-i", "sine=frequency=440:sample_rate=44100", "-t", "2", tone)
        late = self.path("late.mp4")
        ffmpeg("-i", video, "-itsoffset", "1", "-i", tone, "-map", "0:v", "-map", "1:a", "-c:v", "copy",
               "-c:a", "aac", late)
        target, length = self.convert_checked(late, "LATE.MP4")
        self.assertAlmostEqual(length, 3.0, delta=0.2)
        self.assertLess(levels_db(target, 0.1, 0.7), -60)
        self.assertGreater(levels_db(target, 1.3, 1.4), -30)

        early = self.path("early.mkv")
        ffmpeg("-itsoffset", "1", "-i", video, "-i", tone, "-map", "0:v", "-map", "1:a", "-c:v", "copy",
               "-c:a", "libvorbis", early)
        target, length = self.convert_checked(early, "EARLY.MP4")
        self.assertAlmostEqual(length, 4.0, delta=0.2)
        self.assertGreater(levels_db(target, 0.1, 0.7), -30)
        self.assertLess(levels_db(target, 2.3, 1.4), -60)

    def test_streams_that_start_apart_keep_flash_and_beep_together(self):
        # A white flash and a beep at once, 10 s into the source, whose sound
        # (or picture) starts seconds after the other stream, as in TV and
        # camcorder recordings; in MP4 an edit list says so, a transport
        # stream only once the sound comes, after the probe's usual reach.
        for ext, codecs, sound_late, picture_late in (("mp4", ("-c:v", "libx264", "-c:a", "aac"), 5, 0),
                                                       ("ts", ("-c:v", "mpeg2video", "-c:a", "mp2"), 8, 0),
                                                       ("mkv", ("-c:v", "libx264", "-c:a", "libvorbis"), 0, 5)):
            with self.subTest(container=ext, sound_late=sound_late, picture_late=picture_late):
                source, v, a = self.path(f"apart.{ext}"), 10 - picture_late, 10 - sound_late
                ffmpeg("-itsoffset", str(picture_late), "-f", "lavfi", "-i", f"color=r=25:d={v + 2},drawbox=c=white:"
                       f"t=fill:enable='between(t,{v},{v + .2})'", "-itsoffset", str(sound_late), "-f", "lavfi", "-i",
                       f"aevalsrc='sin(6283*t)*between(t,{a},{a + .2})':s=48000:d={a + 2}", *codecs, source)
                target, length = self.convert_checked(source, f"APART{ext}.MP4")
                flash = first_time(f"movie={target},signalstats", "lavfi.signalstats.YAVG", 128)
                beep = first_time(f"amovie={target},asetnsamples=240,astats=metadata=1:reset=1",
                                  "lavfi.astats.Overall.RMS_level", -30)
                self.assertAlmostEqual(flash, 10, delta=0.1)
                self.assertAlmostEqual(beep, flash, delta=0.05)
                self.assertAlmostEqual(length, 12, delta=0.2)

    def test_one_picture_with_a_second_of_sound(self):
        source = self.path("still.avi")
        ffmpeg("-f", "lavfi", "-i", "testsrc2=size=320x240:rate=25:duration=0.04", "-f", "lavfi", "-i",
               "sine=sample_rate=44100:duration=1", "-c:v", "mpeg4", "-c:a", "libmp3lame", source)
        _, length = self.convert_checked(source, "STILL.MP4")
        self.assertAlmostEqual(length, 1.0, delta=0.15)

    def test_rotated_phone_video_comes_out_as_ffmpeg_shows_it(self):
        # Red above, blue below; the display matrix says how to turn it.
        plain = self.path("plain.mp4")
        ffmpeg("-f", "lavfi", "-i", "color=c=red:size=320x240:rate=25,drawbox=y=120:h=120:w=320:c=blue:t=fill",
               "-f", "lavfi", "-i", "sine", "-t", "1", "-c:v", "libx264", "-c:a", "aac", plain)
        for angle in ("90", "180", "270"):
            with self.subTest(rotate=angle):
                source = self.path(f"rotated{angle}.mp4")
                ffmpeg("-i", plain, "-c", "copy", "-metadata:s:v:0", f"rotate={angle}", source)
                reference = self.path(f"reference{angle}.mp4")
                ffmpeg("-i", source, "-s", "320x240", "-c:v", "mpeg4", "-c:a", "aac", reference)
                target, _ = self.convert_checked(source, f"ROT{angle}.MP4")
                ours, theirs = quadrant_colours(target, 64), quadrant_colours(reference, 64)
                self.assertEqual({k: dominant(v) for k, v in ours.items()},
                                 {k: dominant(v) for k, v in theirs.items()})
                # Turned, not left as it was: red and blue side by side.
                if angle != "180":
                    self.assertNotEqual(dominant(ours["left"]), dominant(ours["right"]))

    def test_codec_nothing_here_decodes_is_refused_with_its_reason(self):
        # The picture's codec tag renamed to one no decoder knows.
        data = bytearray(read_bytes(make_clip(self.path("tagged.avi"), seconds=1)))
        for tag in (b"FMP4", b"fmp4"):
            at = data.find(tag)
            while at >= 0:
                data[at:at + 4] = b"QQQQ"
                at = data.find(tag)
        source = self.path("unknown codec.avi")
        with open(source, "wb") as f:
            f.write(data)
        target = self.path("UNKNOWN.MP4")
        result = run_trancor(program_args(source, target))
        self.assertEqual(result.returncode, 1)
        self.assertEqual(result.stderr.decode().count("\n"), 1)
        self.assertIn("format this program cannot decode", result.stderr.decode())
        self.assertFalse(os.path.exists(target))

    def test_ffmpeg_messages_only_on_request(self):
        # A damaged picture stream: FFmpeg's decoder complains, trancor not.
        data = bytearray(read_bytes(make_clip(self.path("noisy.avi"), seconds=2)))
        for i in range(20000, len(data) - 4096, 9973):
            data[i] ^= 0x55
        source = self.path("noisy damaged.avi")
        with open(source, "wb") as f:
            f.write(data)
        quiet = run_trancor(program_args(source, self.path("QUIET.MP4")))
        self.assertEqual((quiet.returncode, quiet.stderr), (0, b""))
        loud = run_trancor(["-v", "error"] + program_args(source, self.path("LOUD.MP4")))
        self.assertEqual(loud.returncode, 0)
        self.assertIn(b"mpeg4 @", loud.stderr)


if __name__ == "__main__":
    unittest.main(verbosity=2)
