"""The picture's shape (-fit pad and crop) measured on output pictures, and
the H.264 output (-vcodec h264) as the PSP's AVC player needs it."""
import os
import subprocess
import unittest

from trancor_helpers import (EncoderTestCase, ffmpeg, probe, program_args, psp_title, read_boxes, read_bytes,
                             run_trancor)

X264 = ("-c:v", "libx264", "-preset", "ultrafast", "-pix_fmt", "yuv420p")


def white_clip(path, size, sar="1", rotate=None, square=0):
    """1 s of a white picture (with a centred black square of `square` pixels),
    coded at `size` with sample aspect `sar`; `rotate` adds a phone's display
    matrix ("-90": shown turned a quarter clockwise)."""
    w, h = map(int, size.split("x"))
    picture = f"color=c=white:size={size}:rate=25,setsar={sar}"
    if square:
        picture += f",drawbox=x={(w - square) // 2}:y={(h - square) // 2}:w={square}:h={square}:color=black:t=fill"
    plain = path + ".plain.mp4" if rotate else path
    ffmpeg("-f", "lavfi", "-i", picture, "-f", "lavfi", "-i", "sine=sample_rate=44100", "-t", "1",
           *X264, "-c:a", "aac", plain)
    if rotate:
        # ffmpeg 5.1 writes the matrix only when copying.
        ffmpeg("-i", plain, "-c", "copy", "-metadata:s:v:0", f"rotate={rotate}", path)
    return path


def picture_args(source, target, size, *pieces, **settings):
    """The program's line with `pieces` (-vcodec, -fit) right after the -s value, as it places them."""
    args = program_args(source, target, size=size, **settings)
    at = args.index("-s") + 2
    return args[:at] + list(pieces) + args[at:]


def gray_frame(path, width, height):
    """The middle picture of the output as rows of 8-bit gray values."""
    pixels = subprocess.run(["ffmpeg", "-v", "error", "-ss", "0.5", "-i", path, "-frames:v", "1",
                             "-f", "rawvideo", "-pix_fmt", "gray", "-"], check=True, capture_output=True).stdout
    assert len(pixels) == width * height, len(pixels)
    return [pixels[y * width:(y + 1) * width] for y in range(height)]


def box(rows, test):
    """(left, top, right, bottom), exclusive, of the pixels for which test(value) holds."""
    ys = [y for y, row in enumerate(rows) if any(test(v) for v in row)]
    xs = [x for x in range(len(rows[0])) if any(test(row[x]) for row in rows)]
    return xs[0], ys[0], xs[-1] + 1, ys[-1] + 1


def slice_headers(path):
    """What the H.264 stream's headers say: (max_num_ref_frames of the
    sequence, first_mb_in_slice of every slice)."""
    err = subprocess.run(["ffmpeg", "-v", "trace", "-nostdin", "-i", path, "-map", "0:v", "-c", "copy",
                          "-bsf:v", "trace_headers", "-f", "null", "-"], capture_output=True, text=True).stderr
    refs, slices = [], []
    for line in err.splitlines():
        if "trace_headers" in line and " = " in line:
            name, value = line.split()[-4], int(line.split()[-1])
            if name == "max_num_ref_frames":
                refs.append(value)
            elif name == "first_mb_in_slice":
                slices.append(value)
    return refs, slices


def assert_h264_psp_file(test, target, rate):
    """What the PSP's AVC player takes: Main Profile, level 2.1 at most, two
    reference frames, one slice a picture, 480x272, AAC at 24 kHz, the MSNV
    brand and the PROF box stating AVC, the title, the thumbnail."""
    info = probe(target)
    v, a = info["video"], info["audio"]
    test.assertEqual((v["codec_name"], v["profile"]), ("h264", "Main"))
    test.assertLessEqual(v["level"], 21)
    test.assertEqual((v["width"], v["height"], v["pix_fmt"]), (480, 272, "yuv420p"))
    test.assertEqual((v["r_frame_rate"], v["avg_frame_rate"]), (rate, rate))
    test.assertEqual([(s["codec_name"], s["profile"], s["sample_rate"]) for s in a], [("aac", "LC", "24000")])
    refs, slices = slice_headers(target)
    test.assertTrue(refs and max(refs) <= 2, refs)
    test.assertEqual(len(slices), int(v["nb_frames"]))  # one slice a picture
    test.assertEqual(set(slices), {0})
    test.assertEqual(info["format"]["tags"]["major_brand"], "MSNV")
    data = read_bytes(target)
    boxes = read_boxes(data)
    test.assertEqual([b[0] for b in boxes[:2]], ["ftyp", "uuid"])
    prof = data[boxes[1][1]:boxes[1][2]]
    test.assertEqual(prof[:4], b"PROF")
    video_profile = prof[prof.index(b"VPRF"):]
    test.assertEqual(video_profile[12:16], b"avc1")
    test.assertEqual((video_profile[17], video_profile[19]), (77, 21))  # Main, 2.1
    test.assertEqual(psp_title(target), "pelmora")
    thumb = probe(os.path.splitext(target)[0] + ".THM")["video"]
    test.assertEqual((thumb["codec_name"], thumb["width"], thumb["height"]), ("mjpeg", 160, 120))
    test.assertFalse(os.path.exists(target + ".part"))
    return info


class PictureShape(EncoderTestCase):
    """A white picture in black bars: the bars on the sides where they
    belong, the picture's shape that of the source's display."""

    def place(self, source, frame, fit):
        target = self.path(f"{os.path.basename(source)}-{frame}-{fit}.MP4")
        result = run_trancor(picture_args(source, target, frame, "-fit", fit))
        self.assertEqual(result.returncode, 0, result.stderr.decode("utf-8", "replace"))
        w, h = map(int, frame.split("x"))
        v = probe(target)["video"]
        self.assertEqual((v["width"], v["height"], v.get("sample_aspect_ratio", "1:1")), (w, h, "1:1"))
        return gray_frame(target, w, h)

    def test_pad_keeps_the_shape_with_bars_where_they_belong(self):
        cases = [  # name, coded size, sample aspect, rotation, frame, display shape, bars
            ("16x9", "640x360", "1", None, "320x240", 16 / 9, "top and bottom"),
            ("film", "940x400", "1", None, "368x208", 2.35, "top and bottom"),
            ("portrait", "360x640", "1", None, "320x240", 9 / 16, "left and right"),
            ("4x3", "640x480", "1", None, "368x208", 4 / 3, "left and right"),
            ("dvd", "720x480", "32/27", None, "320x240", 16 / 9, "top and bottom"),
            ("phone", "320x180", "1", "-90", "480x272", 9 / 16, "left and right"),
        ]
        for name, size, sar, rotate, frame, shape, bars in cases:
            with self.subTest(name):
                rows = self.place(white_clip(self.path(name + ".mp4"), size, sar, rotate), frame, "pad")
                w, h = len(rows[0]), len(rows)
                left, top, right, bottom = box(rows, lambda v: v > 128)
                self.assertAlmostEqual((right - left) / (bottom - top) / shape, 1, delta=0.04)
                if bars == "top and bottom":
                    self.assertEqual((left, right), (0, w))
                    self.assertGreater(top, 4)
                    self.assertAlmostEqual(top, h - bottom, delta=2)
                else:
                    self.assertEqual((top, bottom), (0, h))
                    self.assertGreater(left, 4)
                    self.assertAlmostEqual(left, w - right, delta=2)
                # The bars are black (a line of coding blur at the picture's edge aside).
                bar_pixels = [v for row in rows[:max(top - 1, 0)] + rows[bottom + 1:] for v in row]
                bar_pixels += [v for row in rows for v in row[:max(left - 1, 0)] + row[right + 1:]]
                self.assertLess(max(bar_pixels), 40)

    def test_crop_fills_the_frame_and_keeps_the_shape(self):
        # A black square in the middle of a 16:9 and of a portrait picture
        # stays square; no bars anywhere.
        for size, frame in (("640x360", "320x240"), ("360x640", "368x208")):
            with self.subTest(size):
                rows = self.place(white_clip(self.path(f"square-{size}.mp4"), size, square=120), frame, "crop")
                w, h = len(rows[0]), len(rows)
                for edge in (rows[0], rows[-1], [r[0] for r in rows], [r[-1] for r in rows]):
                    self.assertGreater(min(edge), 200)
                left, top, right, bottom = box(rows, lambda v: v < 128)
                self.assertAlmostEqual((right - left) / (bottom - top), 1, delta=0.04)
                self.assertAlmostEqual(left, w - right, delta=2)
                self.assertAlmostEqual(top, h - bottom, delta=2)


class H264Output(EncoderTestCase):
    """-vcodec h264 at both of the PSP's frame rates."""

    def test_h264_at_both_psp_frame_rates(self):
        source = self.path("source.mp4")
        ffmpeg("-f", "lavfi", "-i", "testsrc2=size=640x360:rate=30", "-f", "lavfi", "-i",
               "sine=sample_rate=48000", "-t", "2", *X264, "-c:a", "aac", source)
        for rate, fraction in (("29.97", "30000/1001"), ("14.985", "15000/1001")):
            with self.subTest(rate):
                target = self.path(f"MAQ{rate.replace('.', '')[:5]:0<5}.MP4")
                result = run_trancor(picture_args(source, target, "480x272", "-vcodec", "h264", "-fit", "pad",
                                                  rate=rate))
                self.assertEqual(result.returncode, 0, result.stderr.decode("utf-8", "replace"))
                info = assert_h264_psp_file(self, target, fraction)
                self.assertAlmostEqual(float(info["format"]["duration"]), 2.0, delta=0.15)


if __name__ == "__main__":
    unittest.main(verbosity=2)
