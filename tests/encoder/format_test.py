"""The containers and codecs people bring today (phone MP4s, MKV, WebM, FLV,
3GP, camcorder and Blu-ray M2TS, DVD VOB, AV1 from video sites, ProRes from
iPhones, Blu-ray sound), each made with ffmpeg and converted to the PSP's MP4. Under Wine (wine_test.py) this proves that the
minimal Windows FFmpeg has every demuxer, decoder and parser they need."""
import os
import subprocess
import unittest

from trancor_helpers import EncoderTestCase, ffmpeg, probe

SECONDS = 2
X264 = ("-c:v", "libx264", "-preset", "ultrafast", "-pix_fmt", "yuv420p")


def make_source(path, video, audio, vcodec, acodec, container=()):
    """A clip of SECONDS from lavfi descriptions (a picture, a tone)."""
    ffmpeg("-f", "lavfi", "-i", video, "-f", "lavfi", "-i", audio, "-t", str(SECONDS),
           *vcodec, *acodec, *container, path)
    return path


def band_means(path, width, height, seek=1.0):
    """Mean gray level of the top and the bottom quarter of one frame, both
    taken over the middle half of the width."""
    pixels = subprocess.run(["ffmpeg", "-v", "error", "-ss", str(seek), "-i", path, "-frames:v", "1",
                             "-s", f"{width}x{height}", "-f", "rawvideo", "-pix_fmt", "gray", "-"],
                            check=True, capture_output=True).stdout
    assert len(pixels) == width * height, len(pixels)

    def mean(rows):
        values = [pixels[y * width + x] for y in rows for x in range(width // 4, width * 3 // 4)]
        return sum(values) / len(values)

    return mean(range(0, height // 4)), mean(range(height * 3 // 4, height))


class TodaysFormats(EncoderTestCase):

    def check(self, source, name):
        target = self.path(name + ".MP4")
        self.convert(source, target)
        info = self.assert_psp_file(target)  # Simple Profile, 24 kHz AAC, size, frame rate
        expected = float(probe(source)["format"]["duration"])
        video = float(info["video"]["duration"])
        audio = float(info["audio"][0]["duration"])
        self.assertAlmostEqual(float(info["format"]["duration"]), expected, delta=0.2)
        self.assertAlmostEqual(video, expected, delta=0.2)
        self.assertAlmostEqual(audio, video, delta=0.2)
        return target

    # A phone held upright records the sensor's landscape picture and a
    # display matrix that turns it a quarter clockwise. Stored: left half
    # white, right half black; shown: white on top.
    def rotated_phone_clip(self):
        path = self.path("VID_20260101_120000.mp4")  # a phone camera's name
        if not os.path.exists(path):
            plain = make_source(self.path("phone-plain.mp4"),
                                "color=c=white:size=320x180:rate=30,"
                                "drawbox=x=160:y=0:w=160:h=180:color=black:t=fill",
                                "sine=frequency=440:sample_rate=48000", X264,
                                ("-c:a", "aac", "-b:a", "128k"))
            # ffmpeg 5.1 writes the matrix only when copying; "rotate=-90"
            # is a quarter turn clockwise, as ffprobe's "rotation=-90" says.
            ffmpeg("-i", plain, "-c", "copy", "-metadata:s:v:0", "rotate=-90", path)
        return path

    def test_mp4_h264_aac_from_a_phone(self):
        self.check(self.rotated_phone_clip(), "PHONE")

    def test_mp4_with_rotation_comes_out_upright(self):
        source = self.rotated_phone_clip()
        # ffmpeg's own command line turns it (its default): the test's idea
        # of upright is the same as ffmpeg's.
        top, bottom = band_means(source, 180, 320)
        self.assertGreater(top, 200)
        self.assertLess(bottom, 60)
        target = self.path("PHONE.MP4")
        if not os.path.exists(target):
            self.convert(source, target)
        top, bottom = band_means(target, 320, 240)
        self.assertGreater(top, 200, "the top of the picture is not the white half")
        self.assertLess(bottom, 60, "the bottom of the picture is not the black half")

    def test_mkv_h264_vorbis(self):
        self.check(make_source(self.path("film.mkv"), "testsrc2=size=640x360:rate=24000/1001",
                               "sine=frequency=330:sample_rate=44100", X264,
                               ("-c:a", "libvorbis", "-q:a", "3")), "MKV")

    def test_webm_vp9_opus(self):
        self.check(make_source(self.path("clip.webm"), "testsrc2=size=480x270:rate=30",
                               "sine=frequency=550:sample_rate=48000",
                               ("-c:v", "libvpx-vp9", "-deadline", "realtime", "-cpu-used", "8", "-b:v", "400k"),
                               ("-c:a", "libopus", "-b:a", "64k")), "WEBM")

    def test_webm_vp8_vorbis(self):
        self.check(make_source(self.path("old.webm"), "testsrc2=size=480x270:rate=25",
                               "sine=frequency=550:sample_rate=44100",
                               ("-c:v", "libvpx", "-deadline", "realtime", "-cpu-used", "8", "-b:v", "400k"),
                               ("-c:a", "libvorbis", "-q:a", "3")), "WEBMVP8")

    def test_flv_h264_aac(self):
        self.check(make_source(self.path("site.flv"), "testsrc2=size=640x360:rate=25",
                               "sine=frequency=660:sample_rate=44100", X264,
                               ("-c:a", "aac", "-b:a", "96k")), "FLV")

    def test_3gp_h263_aac(self):
        self.check(make_source(self.path("old_phone.3gp"), "testsrc2=size=176x144:rate=15",
                               "sine=frequency=440:sample_rate=22050", ("-c:v", "h263", "-q:v", "5"),
                               ("-c:a", "aac", "-b:a", "32k", "-ac", "1")), "3GP")

    def test_m2ts_h264_ac3(self):
        self.check(make_source(self.path("camcorder.m2ts"), "testsrc2=size=640x360:rate=30000/1001",
                               "sine=frequency=440:sample_rate=48000", X264,
                               ("-c:a", "ac3", "-b:a", "192k"),
                               ("-f", "mpegts", "-mpegts_m2ts_mode", "1")), "M2TS")

    def test_vob_mpeg2_ac3(self):
        self.check(make_source(self.path("VTS_01_1.VOB"), "testsrc2=size=720x480:rate=30000/1001",
                               "sine=frequency=440:sample_rate=48000", ("-c:v", "mpeg2video", "-q:v", "4"),
                               ("-c:a", "ac3", "-b:a", "192k"), ("-f", "vob")), "VOB")

    def test_codecs_of_todays_sources(self):
        # Each made with Debian's ffmpeg; its dca and truehd encoders are
        # experimental.
        sources = {
            "AV1": ("site.mp4", ("-c:v", "libsvtav1", "-preset", "12", "-b:v", "200k"),
                    ("-c:a", "libopus", "-b:a", "64k")),
            "PRORES": ("iphone.mov", ("-c:v", "prores_ks", "-profile:v", "0"), ("-c:a", "pcm_s24le")),
            "TRUEHD": ("bluray.mkv", ("-c:v", "libx265", "-preset", "ultrafast", "-x265-params", "log-level=error"),
                       ("-c:a", "truehd", "-strict", "-2")),
            "DTS": ("cinema.mkv", ("-c:v", "mpeg2video"), ("-c:a", "dca", "-strict", "-2")),
            "EAC3": ("broadcast.ts", ("-c:v", "mpeg2video"), ("-c:a", "eac3", "-b:a", "192k")),
            "FLAC": ("music.mkv", X264, ("-c:a", "flac")),
        }
        for name, (file_name, vcodec, acodec) in sources.items():
            with self.subTest(name):
                source = make_source(self.path(file_name), "testsrc2=size=256x144:rate=25",
                                     "sine=frequency=440:sample_rate=48000", vcodec, acodec)
                self.check(source, name)

    def test_ten_bit_sources(self):
        # HDR and anime releases: their decoders' 10-bit paths, white above
        # black on the way in, so a damaged picture shows.
        ten_bit = ("-pix_fmt", "yuv420p10le")
        sources = {
            "HEVC10": ("main10.mkv", ("-c:v", "libx265", "-preset", "ultrafast", "-x265-params", "log-level=error")),
            "AV110": ("av1_10.mkv", ("-c:v", "libsvtav1", "-preset", "12")),
            "VP910": ("vp9_10.webm", ("-c:v", "libvpx-vp9", "-deadline", "realtime", "-cpu-used", "8")),
            "H26410": ("hi10.mkv", ("-c:v", "libx264", "-preset", "ultrafast")),
        }
        for name, (file_name, vcodec) in sources.items():
            with self.subTest(name):
                source = make_source(self.path(file_name), "color=c=white:size=320x180:rate=25,"
                                     "drawbox=x=0:y=90:w=320:h=90:color=black:t=fill",
                                     "sine=frequency=440:sample_rate=48000", vcodec + ten_bit, ("-c:a", "libopus"))
                top, bottom = band_means(self.check(source, name), 320, 240)
                self.assertGreater(top, 200)
                self.assertLess(bottom, 60)


if __name__ == "__main__":
    unittest.main(verbosity=2)
