"""Shared helpers of the encoder tests: source clips made with ffmpeg's lavfi
sources, running trancor with the program's command line, and reading the
results back with ffprobe."""
import json
import os
import shutil
import struct
import subprocess
import tempfile
import unittest

TRANCOR = os.environ.get("TRANCOR", "")
# The command that runs a Windows build (the Wine wrapper); empty natively.
EMULATOR = []


def ffmpeg(*args):
    subprocess.run(["ffmpeg", "-v", "error", "-y", "-nostdin", *args], check=True)


def make_clip(path, seconds=2.0, size="320x240", rate="25", video="testsrc2", audio="sine",
              vcodec=("-c:v", "mpeg4", "-q:v", "5"), acodec=("-c:a", "libmp3lame", "-b:a", "96k"),
              container=(), sample_rate=44100, channels=2):
    """Writes a short clip; video/audio are lavfi source descriptions (audio None: no sound)."""
    args = ["-f", "lavfi", "-i", f"{video}{':' if '=' in video else '='}size={size}:rate={rate}"]
    if audio:
        args += ["-f", "lavfi", "-i", f"{audio}{':' if '=' in audio else '='}sample_rate={sample_rate}"]
    args += ["-t", str(seconds)]
    args += list(vcodec)
    if audio:
        args += list(acodec) + ["-ac", str(channels)]
    args += list(container) + [path]
    ffmpeg(*args)
    return path


def mkv_with_sound_tracks(path, clip, tracks, extra_inputs=(), extra_args=()):
    """An MKV of `clip`'s picture and one tone per track as long as it, each
    as loud as its amplitude says so that the output tells which was taken:
    tracks are (amplitude, language or None, is default). `extra_inputs`
    (files) are mapped after the sound with `extra_args`."""
    seconds = probe(clip)["format"]["duration"]
    args = ["-i", clip]
    for amplitude, _, _ in tracks:
        args += ["-t", seconds, "-f", "lavfi", "-i", f"aevalsrc=exprs={amplitude}*sin(2*PI*440*t):sample_rate=44100"]
    for extra in extra_inputs:
        args += ["-i", extra]
    args += ["-map", "0:v"] + [x for i in range(len(tracks)) for x in ("-map", str(i + 1))]
    args += [x for i in range(len(extra_inputs)) for x in ("-map", str(len(tracks) + 1 + i))]
    args += ["-c:v", "copy", "-c:a", "libmp3lame"]
    for i, (_, language, default) in enumerate(tracks):
        if language:
            args += [f"-metadata:s:a:{i}", f"language={language}"]
        args += [f"-disposition:a:{i}", "default" if default else "0"]
    ffmpeg(*args, *extra_args, path)
    return path


def program_args(source, target, size="320x240", rate="29.97", channels="2", video_kbits="450",
                 audio_kbits="48", volume="100"):
    """The argument list the program builds for every file."""
    return ["-i", source, "-s", size, "-r", rate, "-ac", channels, "-b", video_kbits,
            "-ab", audio_kbits, "-vol", volume, "-title", "pelmora", "-ar", "24000",
            "-acodec", "aac", "-f", "psp", "-y", target]


def run_trancor(args, timeout=120, env=None):
    # Output goes through files, not pipes: a Wine server started by the run
    # inherits the handles and would hold a pipe open long after the exit.
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        code = subprocess.run(EMULATOR + [TRANCOR] + list(args), stdout=out, stderr=err,
                              stdin=subprocess.DEVNULL, timeout=timeout, env=env).returncode
        out.seek(0)
        err.seek(0)
        return subprocess.CompletedProcess(args, code, out.read(), err.read())


def start_trancor(args):
    return subprocess.Popen(EMULATOR + [TRANCOR] + list(args), stdin=subprocess.DEVNULL,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def probe(path):
    out = subprocess.run(["ffprobe", "-v", "error", "-show_streams", "-show_format", "-of", "json", path],
                         check=True, capture_output=True).stdout
    info = json.loads(out)
    streams = info["streams"]
    return {
        "format": info["format"],
        "video": next(s for s in streams if s["codec_type"] == "video"),
        "audio": [s for s in streams if s["codec_type"] == "audio"],
    }


def read_bytes(path):
    with open(path, "rb") as f:
        return f.read()


def read_boxes(data, start=0, end=None):
    """Top-level MP4 boxes as (type, payload offset, box end)."""
    end = len(data) if end is None else end
    pos, boxes = start, []
    while pos + 8 <= end:
        size, kind = struct.unpack(">I4s", data[pos:pos + 8])
        header = 8
        if size == 1:
            size, header = struct.unpack(">Q", data[pos + 8:pos + 16])[0], 16
        elif size == 0:
            size = end - pos
        if size < header:
            break
        boxes.append((kind.decode("latin-1"), pos + header, pos + size))
        pos += size
    return boxes


def psp_title(path):
    """The title from the movie's PSP metadata box (uuid USMT / MTDT, UTF-16 entries)."""
    data = read_bytes(path)
    moov = next((b for b in read_boxes(data) if b[0] == "moov"), None)
    if not moov:
        return None
    for kind, payload, end in read_boxes(data, moov[1], moov[2]):
        if kind != "uuid" or data[payload:payload + 4] != b"USMT":
            continue
        mtdt = payload + 16  # after the 16-byte uuid
        if data[mtdt + 4:mtdt + 8] != b"MTDT":
            continue
        count = struct.unpack(">H", data[mtdt + 8:mtdt + 10])[0]
        pos = mtdt + 10
        for _ in range(count):
            size, kind_id = struct.unpack(">HI", data[pos:pos + 6])
            if kind_id == 1:  # title
                return data[pos + 10:pos + size].decode("utf-16-be").rstrip("\0")
            pos += size
    return None


def gray_pixels(path):
    """The picture of an image file as 8-bit gray bytes."""
    return subprocess.run(["ffmpeg", "-v", "error", "-i", path, "-f", "rawvideo", "-pix_fmt", "gray", "-"],
                          check=True, capture_output=True).stdout


def loudness(path):
    """(mean, max) volume in dB of the file's sound, as ffmpeg's volumedetect reports it."""
    err = subprocess.run(["ffmpeg", "-v", "info", "-nostdin", "-i", path, "-vn", "-af", "volumedetect",
                          "-f", "null", "-"], capture_output=True, text=True).stderr
    values = {}
    for line in err.splitlines():
        for key in ("mean_volume", "max_volume"):
            if key + ":" in line:
                values[key] = float(line.split(key + ":")[1].split()[0])
    return values["mean_volume"], values["max_volume"]


class EncoderTestCase(unittest.TestCase):
    """A temporary folder per test class, removed afterwards."""

    @classmethod
    def setUpClass(cls):
        if not TRANCOR:
            raise unittest.SkipTest("TRANCOR is not set")
        cls.dir = tempfile.mkdtemp(prefix="trancor-test-")

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.dir, ignore_errors=True)

    @classmethod
    def path(cls, name):
        return os.path.join(cls.dir, name)

    def convert(self, source, target, **settings):
        result = run_trancor(program_args(source, target, **settings))
        self.assertEqual(result.returncode, 0, result.stderr.decode("utf-8", "replace"))
        return result

    def assert_psp_file(self, target, size=(320, 240), rate="30000/1001", channels=2):
        """What every output must be: what the PSP plays, with its thumbnail, nothing left over."""
        info = probe(target)
        v = info["video"]
        self.assertEqual(info["format"]["tags"]["major_brand"], "MSNV")
        self.assertEqual((v["codec_name"], v["profile"]), ("mpeg4", "Simple Profile"))
        self.assertEqual((v["width"], v["height"]), size)
        self.assertEqual(v["pix_fmt"], "yuv420p")
        self.assertEqual(v.get("sample_aspect_ratio", "1:1"), "1:1")
        self.assertEqual(v["r_frame_rate"], rate)
        self.assertEqual(v["avg_frame_rate"], rate)
        self.assertEqual(len(info["audio"]), 1)
        a = info["audio"][0]
        self.assertEqual((a["codec_name"], a["profile"]), ("aac", "LC"))
        self.assertEqual((int(a["sample_rate"]), a["channels"]), (24000, channels))
        self.assertEqual(psp_title(target), "pelmora")
        thumb = os.path.splitext(target)[0] + ".THM"
        t = probe(thumb)["video"]
        self.assertEqual((t["codec_name"], t["width"], t["height"]), ("mjpeg", 160, 120))
        self.assertFalse(os.path.exists(target + ".part"))
        self.assertFalse(os.path.exists(thumb + ".part"))
        return info


# The progress record trancor publishes (encoder/interface/trancor_progress.h):
# magic, version, sequence, state, done_us, duration_us, frames, reason,
# reserved, message.
PROGRESS_RECORD = struct.Struct("<4I3q2I256s")
PROGRESS_MAGIC, PROGRESS_VERSION = 0x47505254, 1
RUNNING, SUCCEEDED, FAILED = 0, 1, 2
REASONS = {"None": 0, "BadCommandLine": 1, "SourceUnreadable": 2, "Internal": 10}


class ProgressReader:
    """A front end's view of a native trancor's record in /dev/shm, mapped
    for as long as the reader lives."""

    def __init__(self, view):
        self.view = view

    @classmethod
    def open(cls, pid):
        """The record of process `pid`; None when there is none (yet)."""
        import mmap
        try:
            fd = os.open(f"/dev/shm/trancor-progress-{pid}", os.O_RDWR)
        except FileNotFoundError:
            return None
        try:
            if os.fstat(fd).st_size < 512:  # created but not sized yet
                return None
            view = mmap.mmap(fd, 512)
        finally:
            os.close(fd)
        return cls(view)

    @classmethod
    def create(cls, name):
        """A record of the front end's own, "/<name>", as version 2 of the contract lets it make one."""
        import mmap
        fd = os.open(f"/dev/shm/{name}", os.O_RDWR | os.O_CREAT | os.O_EXCL, 0o600)
        try:
            os.ftruncate(fd, 512)
            return cls(mmap.mmap(fd, 512))
        finally:
            os.close(fd)

    def read(self):
        """A whole copy as a dict, or None when the encoder was writing or has not set it up."""
        before = struct.unpack_from("<I", self.view, 8)[0]
        data = self.view[:PROGRESS_RECORD.size]
        after = struct.unpack_from("<I", self.view, 8)[0]
        if before & 1 or before != after:
            return None
        magic, version, _, state, done, duration, frames, reason, _, message = PROGRESS_RECORD.unpack(data)
        if (magic, version) != (PROGRESS_MAGIC, PROGRESS_VERSION):
            return None
        return {"state": state, "done_us": done, "duration_us": duration, "frames": frames, "reason": reason,
                "message": message.split(b"\0", 1)[0].decode("utf-8")}


def watch_progress(args, stderr=subprocess.DEVNULL, timeout=120):
    """Runs trancor natively, reading its record from the moment it starts as
    a front end polls it: (exit code, snapshots taken while it ran, the
    record after the exit or None when no record was ever found, the
    process id)."""
    import time
    encoder = subprocess.Popen([TRANCOR] + list(args), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                               stderr=stderr)
    reader, snapshots = None, []
    deadline = time.monotonic() + timeout
    while encoder.poll() is None and time.monotonic() < deadline:
        reader = reader or ProgressReader.open(encoder.pid)
        if reader and (snapshot := reader.read()):
            snapshots.append(snapshot)
        time.sleep(0.005)
    code = encoder.wait(timeout=max(1, deadline - time.monotonic()))
    return code, snapshots, reader.read() if reader else None, encoder.pid


def run_with_named_record(args, name):
    """Runs trancor natively with a record the caller made and named, read
    only once the encoder has gone: (exit code, the record's final state or
    None, whether the name was still there). The record is removed after."""
    reader = ProgressReader.create(name)
    try:
        code = run_trancor(list(args) + ["-progress-name", "/" + name]).returncode
        return code, reader.read(), os.path.exists(f"/dev/shm/{name}")
    finally:
        os.unlink(f"/dev/shm/{name}")


def progress_record_exists(pid):
    return os.path.exists(f"/dev/shm/trancor-progress-{pid}")
