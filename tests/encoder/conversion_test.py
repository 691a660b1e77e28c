"""Conversions of the kinds of file users bring, checked with ffprobe."""
import os
import statistics
import unittest

from trancor_helpers import (EncoderTestCase, ffmpeg, gray_pixels, loudness, make_clip, mkv_with_sound_tracks, probe,
                             program_args, run_trancor)


class SourceFormats(EncoderTestCase):
    """Each container and codec family converts to the same PSP file."""

    SECONDS = 2.0

    def check_source(self, name, **clip):
        source = make_clip(self.path(name), seconds=self.SECONDS, **clip)
        target = self.path(os.path.splitext(name)[0].upper() + ".MP4")
        self.convert(source, target)
        info = self.assert_psp_file(target)
        # Sources that start late (MPEG streams at 0.5 s and so on) still
        # start at zero, and nothing is lost or added at the end.
        self.assertAlmostEqual(float(info["video"].get("start_time", 0)), 0, delta=0.05)
        self.assertAlmostEqual(float(info["format"]["duration"]), self.SECONDS, delta=0.15)
        self.assertAlmostEqual(float(info["audio"][0]["duration"]), self.SECONDS, delta=0.15)
        return info

    def test_avi_mpeg4_mp3(self):
        self.check_source("avi_mpeg4.avi")

    def test_mpeg_program_stream_mpeg2_mp2(self):
        self.check_source("mpeg_ps.mpg", vcodec=("-c:v", "mpeg2video", "-q:v", "4"),
                          acodec=("-c:a", "mp2", "-b:a", "128k"), container=("-f", "vob"))

    def test_asf_wmv2_wmav2(self):
        self.check_source("asf_wmv2.wmv", vcodec=("-c:v", "wmv2", "-q:v", "4"),
                          acodec=("-c:a", "wmav2", "-b:a", "64k"))

    def test_mov_h264_aac(self):
        self.check_source("mov_h264.mov", vcodec=("-c:v", "libx264", "-preset", "ultrafast"),
                          acodec=("-c:a", "aac", "-b:a", "96k"), rate="30000/1001", sample_rate=48000)

    def test_wide_picture_is_scaled_to_the_requested_size(self):
        self.check_source("wide.avi", size="640x360", rate="24000/1001")

    def test_recording_that_changes_format_midway(self):
        # Two transport streams back to back, as a TV recording that switches
        # programmes: picture size, sample rate and channels all change.
        first = make_clip(self.path("part1.ts"), seconds=2, vcodec=("-c:v", "mpeg2video"),
                          acodec=("-c:a", "mp2"), sample_rate=44100, channels=2)
        second = make_clip(self.path("part2.ts"), seconds=2, size="352x288", vcodec=("-c:v", "mpeg2video"),
                           acodec=("-c:a", "mp2"), sample_rate=48000, channels=1,
                           container=("-output_ts_offset", "2"))
        source = self.path("recording.ts")
        with open(source, "wb") as out:
            for part in (first, second):
                with open(part, "rb") as f:
                    out.write(f.read())
        target = self.path("RECORDING.MP4")
        self.convert(source, target)
        info = self.assert_psp_file(target)
        self.assertAlmostEqual(float(info["format"]["duration"]), 4.0, delta=0.2)

    def test_source_without_sound_gets_silence_as_long_as_the_picture(self):
        info = self.check_source("silent.avi", audio=None)
        mean, peak = loudness(self.path("SILENT.MP4"))
        self.assertLess(peak, -80)


class OutputSettings(EncoderTestCase):
    """The settings dialog's choices reach the file."""

    def test_half_rate_mono_wide_frame(self):
        source = make_clip(self.path("src.avi"), seconds=2, sample_rate=48000)
        target = self.path("M4V10001.MP4")
        self.convert(source, target, size="368x208", rate="14.985", channels="1", video_kbits="300",
                     audio_kbits="32")
        info = self.assert_psp_file(target, size=(368, 208), rate="15000/1001", channels=1)
        # Frames are dropped for the lower rate, not just relabelled.
        expected = float(probe(source)["video"]["duration"]) * 15000 / 1001
        self.assertAlmostEqual(int(info["video"]["nb_frames"]), expected, delta=1)

    def test_bit_rates_are_kept_over_twenty_seconds(self):
        # A busy picture, so that the encoder has to spend what it is given.
        source = make_clip(self.path("busy.avi"), seconds=20, size="320x240", rate="30000/1001",
                           video="mandelbrot", vcodec=("-c:v", "mpeg4", "-q:v", "3"))
        for video_kbits, audio_kbits in (("450", "48"), ("768", "96")):
            with self.subTest(video=video_kbits, audio=audio_kbits):
                target = self.path(f"RATE{video_kbits}.MP4")
                self.convert(source, target, video_kbits=video_kbits, audio_kbits=audio_kbits)
                info = self.assert_psp_file(target)
                self.assertAlmostEqual(int(info["video"]["bit_rate"]) / 1000, int(video_kbits),
                                       delta=int(video_kbits) * 0.10)
                self.assertAlmostEqual(int(info["audio"][0]["bit_rate"]) / 1000, int(audio_kbits),
                                       delta=int(audio_kbits) * 0.10)

    def test_volume_is_a_percentage(self):
        # A tone at about -20 dB: doubling stays clear of full scale.
        source = make_clip(self.path("tone.avi"), seconds=2, audio="aevalsrc=exprs=0.1*sin(2*PI*440*t)")
        levels = {}
        for volume in ("100", "200", "50", "0"):
            target = self.path(f"VOL{volume}.MP4")
            self.convert(source, target, volume=volume)
            levels[volume] = loudness(target)
        original = loudness(source)
        self.assertAlmostEqual(levels["100"][0], original[0], delta=0.5)
        self.assertAlmostEqual(levels["200"][0] - levels["100"][0], 6.0, delta=0.5)
        self.assertAlmostEqual(levels["50"][0] - levels["100"][0], -6.0, delta=0.5)
        self.assertLess(levels["0"][1], -80)

    def test_sound_track_by_default_or_chinese_first(self):
        # Which track the output's sound comes from: a Japanese first (and
        # default) track peaks at -26 dB, a Chinese second at -6 dB; then a
        # source without any Chinese track, its second the default.
        clip = make_clip(self.path("picture.mkv"), seconds=2, audio=None)
        anime = mkv_with_sound_tracks(self.path("anime.mkv"), clip, [(0.05, "jpn", True), (0.5, "chi", False)])
        film = mkv_with_sound_tracks(self.path("film.mkv"), clip, [(0.05, "eng", False), (0.5, "jpn", True)])
        peaks = {}
        for source in (anime, film):
            for alang in ([], ["-alang", "chi"]):
                target = self.path(f"M4V{len(peaks) + 10100}.MP4")
                result = run_trancor(program_args(source, target) + alang)
                self.assertEqual(result.returncode, 0, result.stderr.decode("utf-8", "replace"))
                self.assert_psp_file(target)
                peak = loudness(target)[1]
                peaks[os.path.basename(source), len(alang)] = "second" if peak > -16 else "first"
        self.assertEqual(peaks, {("anime.mkv", 0): "first", ("anime.mkv", 2): "second",
                                 ("film.mkv", 0): "second", ("film.mkv", 2): "second"})


class Thumbnail(EncoderTestCase):

    def test_thumbnail_skips_a_black_opening(self):
        # Two seconds of black, then a picture: the thumbnail shows the picture.
        source = self.path("fade_in.avi")
        make_clip(source, seconds=5, video="testsrc2")
        black_first = self.path("black_first.avi")
        ffmpeg("-i", source, "-vf", "drawbox=t=fill:c=black:enable='lt(t,2)'", "-c:v", "mpeg4", "-q:v", "5",
               "-c:a", "copy", black_first)
        target = self.path("M4V00001.MP4")
        self.convert(black_first, target)
        self.assert_psp_file(target)
        pixels = gray_pixels(self.path("M4V00001.THM"))
        self.assertEqual(len(pixels), 160 * 120)
        self.assertGreater(statistics.pstdev(pixels[::7]), 20)
        self.assertGreater(statistics.mean(pixels[::7]), 40)

    def test_lower_case_target_gets_thumbnail_beside_it(self):
        source = make_clip(self.path("a.avi"), seconds=1)
        target = self.path("clip.mp4")
        self.convert(source, target)
        self.assertTrue(os.path.exists(self.path("clip.THM")))


if __name__ == "__main__":
    unittest.main(verbosity=2)
