#!/usr/bin/env python3
"""Damaged sources, as a user's half-downloaded or badly recorded files would
be: small seed clips of every container the encoder reads, mutated
deterministically (bit flips at several densities, truncations, zeroed
headers, corrupted size fields, duplicated and shuffled blocks), each run
through trancor under a CPU-time and memory limit.

What must hold for every mutant: no signal, no time-out, exit 0 or 1 only;
after exit 1 one "trancor:" line and no output files at all; after exit 0 a
PSP file whose sound and picture lengths agree within 0.2 s and whose length
stays within the seed's (plus at most the one short gap the encoder may fill).

    fuzz_sources.py                   the quick subset (about 100 mutants)
    fuzz_sources.py --per-seed 300    the long run
    fuzz_sources.py --keep DIR        copies every failing mutant to DIR

The files in regressions/ (sources that once failed) are checked first, by
the same rules. TRANCOR names the encoder. Prints one line per failure and a
summary; exit status 1 when anything failed.
"""
import argparse
import hashlib
import json
import os
import random
import resource
import shutil
import signal
import subprocess
import sys
import tempfile
import time
from concurrent.futures import ThreadPoolExecutor

HERE = os.path.dirname(os.path.abspath(__file__))
REGRESSIONS = os.path.join(HERE, "regressions")
SECONDS = 3.0  # every seed's length; the regression files are mutants of such seeds
# The encoder may fill one gap of a few seconds with repeated frames or
# silence; nothing longer than the source and that gap may come out.
ALLOWED_GROWTH = 3.5
SYNC = 0.2
# Judged on the encoder itself, not on the machine's load: CPU seconds and
# peak memory of the one process; the wall-clock limit only catches a hang.
CPU_LIMIT = 20
MEMORY_LIMIT_MB = 300
WALL_LIMIT = 180
# An AddressSanitizer build runs this much slower and uses more memory.
SANITIZER_SLOWDOWN = 4

# name, extension, ffmpeg output options. Sound and picture codecs as the
# container usually carries them.
SEEDS = [
    ("avi", "avi", ["-c:v", "mpeg4", "-q:v", "6", "-c:a", "libmp3lame", "-b:a", "64k"]),
    ("mpeg-ps", "mpg", ["-c:v", "mpeg2video", "-q:v", "6", "-c:a", "mp2", "-b:a", "96k", "-f", "vob"]),
    ("asf", "wmv", ["-c:v", "wmv2", "-q:v", "6", "-c:a", "wmav2", "-b:a", "64k"]),
    ("mov", "mov", ["-c:v", "libx264", "-preset", "ultrafast", "-threads", "1", "-c:a", "aac", "-b:a", "64k"]),
    ("mp4", "mp4", ["-c:v", "mpeg4", "-q:v", "6", "-c:a", "aac", "-b:a", "64k"]),
    ("mkv", "mkv", ["-c:v", "libx264", "-preset", "ultrafast", "-threads", "1", "-c:a", "libvorbis"]),
    ("webm", "webm", ["-c:v", "libvpx", "-b:v", "300k", "-threads", "1", "-c:a", "libopus", "-b:a", "48k"]),
    ("flv", "flv", ["-c:v", "flv", "-q:v", "6", "-c:a", "libmp3lame", "-b:a", "64k", "-ar", "44100"]),
    ("mpeg-ts", "ts", ["-c:v", "mpeg2video", "-q:v", "6", "-c:a", "mp2", "-b:a", "96k"]),
    ("3gp", "3gp", ["-c:v", "h263", "-s", "176x144", "-q:v", "6", "-c:a", "aac", "-b:a", "32k", "-ar", "16000",
                    "-ac", "1"]),
]


def make_seed(folder, name, ext, options):
    path = os.path.join(folder, f"seed-{name}.{ext}")
    if not os.path.exists(path):
        subprocess.run(["ffmpeg", "-v", "error", "-nostdin", "-y",
                        "-f", "lavfi", "-i", "testsrc2=size=160x120:rate=25",
                        "-f", "lavfi", "-i", "sine=frequency=440:beep_factor=4:sample_rate=44100",
                        "-t", str(SECONDS), "-fflags", "+bitexact", "-flags:v", "+bitexact",
                        "-flags:a", "+bitexact", *options, path + ".tmp." + ext], check=True)
        os.replace(path + ".tmp." + ext, path)
    with open(path, "rb") as f:
        return f.read()


# The mutations. Each takes the seed's bytes and a seeded random generator.

def flip_bits(data, rng, density):
    out = bytearray(data)
    for _ in range(max(1, int(len(out) * 8 * density))):
        pos = rng.randrange(len(out))
        out[pos] ^= 1 << rng.randrange(8)
    return bytes(out)


def truncate(data, rng):
    return data[:int(len(data) * rng.uniform(0.05, 0.97))]


def zero_block(data, rng):
    # Most often the header, where a damaged file hurts most.
    start = 0 if rng.random() < 0.5 else rng.randrange(len(data))
    length = rng.choice([4, 16, 64, 256, 1024, 4096])
    out = bytearray(data)
    out[start:start + length] = bytes(len(out[start:start + length]))
    return bytes(out)


def looks_like_tag(chunk):
    return len(chunk) == 4 and all(0x20 <= c < 0x7f for c in chunk) and any(c.isalpha() for c in chunk.decode())


def corrupt_size_field(data, rng):
    """A length or count field: the 4 bytes next to a four-letter tag (boxes,
    RIFF chunks, ...), or any aligned word, set to a size that lies."""
    out = bytearray(data)
    for _ in range(rng.choice([1, 1, 2, 4])):
        candidates = []
        for _ in range(200):
            pos = rng.randrange(4, max(5, len(out) - 8)) & ~3
            if looks_like_tag(bytes(out[pos:pos + 4])):
                candidates.append(pos - 4 if rng.random() < 0.5 else pos + 4)  # before (MP4) or after (RIFF)
        pos = rng.choice(candidates) if candidates else rng.randrange(len(out) - 4)
        old = int.from_bytes(out[pos:pos + 4], "big")
        new = rng.choice([0, 1, 0xFFFFFFFF, 0x7FFFFFFF, 0x80000000, old * 2, old // 2, old + 1, old - 1,
                          rng.getrandbits(32)]) & 0xFFFFFFFF
        out[pos:pos + 4] = new.to_bytes(4, rng.choice(["big", "little"]))
    return bytes(out)


def duplicate_block(data, rng):
    length = rng.randrange(16, max(17, len(data) // 8))
    start = rng.randrange(len(data) - length)
    at = rng.randrange(len(data))
    return data[:at] + data[start:start + length] + data[at:]


def shuffle_blocks(data, rng):
    size = rng.choice([188, 512, 1024, 4096])
    start = rng.randrange(len(data) // 2)
    blocks = [data[i:i + size] for i in range(start, min(len(data), start + size * rng.randrange(2, 16)), size)]
    end = start + sum(len(b) for b in blocks)
    rng.shuffle(blocks)
    return data[:start] + b"".join(blocks) + data[end:]


MUTATIONS = [
    ("flip-1e-5", lambda d, r: flip_bits(d, r, 1e-5)),
    ("flip-1e-4", lambda d, r: flip_bits(d, r, 1e-4)),
    ("flip-1e-3", lambda d, r: flip_bits(d, r, 1e-3)),
    ("truncate", truncate),
    ("zero", zero_block),
    ("size-field", corrupt_size_field),
    ("duplicate", duplicate_block),
    ("shuffle", shuffle_blocks),
]


def mutant(seed_name, seed_data, index):
    """The index-th mutant of a seed: the same bytes on every run."""
    rng = random.Random(f"{seed_name}/{index}")
    kind, mutate = MUTATIONS[index % len(MUTATIONS)]
    return kind, mutate(seed_data, rng)


def read(path):
    with open(path, "rb") as f:
        return f.read()


def program_args(source, target):
    return ["-i", source, "-s", "320x240", "-r", "29.97", "-ac", "2", "-b", "450", "-ab", "48", "-vol", "100",
            "-title", "fuzz", "-ar", "24000", "-acodec", "aac", "-f", "psp", "-y", target]


def limits(sanitized):
    cpu = CPU_LIMIT * (SANITIZER_SLOWDOWN if sanitized else 1)
    resource.setrlimit(resource.RLIMIT_CPU, (cpu, cpu + 5))
    # A backstop for the machine; the measured peak is judged below. A
    # sanitizer reserves terabytes of address space for its shadow memory.
    if not sanitized:
        resource.setrlimit(resource.RLIMIT_AS, (4 << 30, 4 << 30))


def run_encoder(trancor, source, target, wrapper, sanitized):
    """(exit code, negative for a signal, or "timeout"; CPU seconds; peak MB; stderr) of one run.
    GNU time measures the encoder alone: a child forked from this Python
    process would be charged with the Python process's own memory."""
    with tempfile.TemporaryFile() as err, tempfile.NamedTemporaryFile("r") as measured:
        process = subprocess.Popen(["/usr/bin/time", "-f", "%M %U %S", "-o", measured.name] + wrapper +
                                   [trancor] + program_args(source, target), stdin=subprocess.DEVNULL,
                                   stdout=subprocess.DEVNULL, stderr=err, start_new_session=True,
                                   preexec_fn=lambda: limits(sanitized))
        try:
            code = process.wait(timeout=WALL_LIMIT)
        except subprocess.TimeoutExpired:
            os.killpg(process.pid, signal.SIGKILL)
            process.wait()
            code = "timeout"
        err.seek(0)
        text = err.read().decode("utf-8", "replace")
        lines = measured.read().splitlines()
        cpu = peak = 0.0
        if lines and len(lines[-1].split()) == 3:
            peak_kb, user, system = lines[-1].split()
            cpu, peak = float(user) + float(system), int(peak_kb) / 1024
        for line in lines:
            if line.startswith("Command terminated by signal") and code != "timeout":
                code = -int(line.split()[-1])
        return code, cpu, peak, text


def probe(path):
    out = subprocess.run(["ffprobe", "-v", "error", "-show_streams", "-show_format", "-of", "json", path],
                         capture_output=True)
    return json.loads(out.stdout) if out.returncode == 0 else None


def check_output(target):
    """What is wrong with a file reported complete; None when it is a good PSP file."""
    info = probe(target)
    if not info:
        return "output unreadable"
    streams = info.get("streams", [])
    video = [s for s in streams if s["codec_type"] == "video"]
    audio = [s for s in streams if s["codec_type"] == "audio"]
    if len(video) != 1 or len(audio) != 1:
        return f"{len(video)} video and {len(audio)} audio streams"
    v, a = video[0], audio[0]
    if info["format"].get("tags", {}).get("major_brand") != "MSNV":
        return "not a PSP file"
    if (v["codec_name"], v.get("profile"), v["width"], v["height"]) != ("mpeg4", "Simple Profile", 320, 240):
        return "wrong video stream"
    if (a["codec_name"], int(a["sample_rate"])) != ("aac", 24000):
        return "wrong audio stream"
    vd, ad = float(v.get("duration", 0)), float(a.get("duration", 0))
    if abs(vd - ad) > SYNC:
        return f"out of sync: video {vd:.2f} s, audio {ad:.2f} s"
    if max(vd, ad) > SECONDS + ALLOWED_GROWTH:
        return f"longer than its source: video {vd:.2f} s, audio {ad:.2f} s"
    thumb = os.path.splitext(target)[0] + ".THM"
    if not os.path.exists(thumb):
        return "no thumbnail"
    return None


def leftovers(target):
    base = os.path.splitext(target)[0]
    return [p for p in (target, target + ".part", base + ".THM", base + ".THM.part") if os.path.exists(p)]


def judge(trancor, wrapper, sanitized, name, data, work):
    """Runs one source; (verdict or None, facts)."""
    folder = tempfile.mkdtemp(dir=work)
    try:
        source = os.path.join(folder, "source" + os.path.splitext(name)[1])
        with open(source, "wb") as f:
            f.write(data)
        target = os.path.join(folder, "M4V00001.MP4")
        code, cpu, peak, err = run_encoder(trancor, source, target, wrapper, sanitized)
        facts = {"code": code, "cpu": cpu, "peak_mb": peak}
        lines = [l for l in err.splitlines() if l.startswith("trancor:")]
        facts["message"] = lines[-1] if lines else err.strip()[-200:]
        if "Sanitizer" in err or "runtime error:" in err:
            return "sanitizer finding: " + next(l for l in err.splitlines() if "Sanitizer" in l or "runtime error" in l), facts
        if code == "timeout":
            return "time-out", facts
        if code not in (0, 1):
            return f"exit {code}" + (f" ({signal.Signals(-code).name})" if code < 0 else ""), facts
        if facts["cpu"] > CPU_LIMIT * 0.75 * (SANITIZER_SLOWDOWN if sanitized else 1):
            return f"{facts['cpu']:.1f} s of CPU", facts
        if facts["peak_mb"] > MEMORY_LIMIT_MB and not sanitized:
            return f"{facts['peak_mb']:.0f} MB of memory", facts
        if code == 1:
            if len(lines) != 1 or len(err.strip().splitlines()) != 1:
                return "not exactly one line on failure", facts
            if leftovers(target):
                return "files left after a failure", facts
            return None, facts
        return check_output(target), facts
    finally:
        shutil.rmtree(folder, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--per-seed", type=int, default=10, help="mutants per seed (default 10: the quick subset)")
    parser.add_argument("--first", type=int, default=0, help="index of the first mutant (default 0)")
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--work", help="folder for the seeds and runs (default: a temporary one)")
    parser.add_argument("--keep", help="copy failing mutants here")
    parser.add_argument("--wrapper", nargs="*", default=[], help="command that runs trancor (e.g. valgrind)")
    parser.add_argument("--sanitized", action="store_true",
                        help="trancor is a sanitizer build: no memory verdict, more CPU time")
    args = parser.parse_args()
    if args.sanitized:
        # Their own exit codes, so that a finding is never taken for exit 1.
        os.environ.setdefault("ASAN_OPTIONS", "exitcode=99")
        os.environ.setdefault("UBSAN_OPTIONS", "exitcode=98:print_stacktrace=1")
    trancor = os.environ.get("TRANCOR")
    if not trancor:
        sys.exit("fuzz_sources: set TRANCOR to the encoder")

    work = args.work or tempfile.mkdtemp(prefix="trancor-fuzz-")
    os.makedirs(work, exist_ok=True)
    cases = []
    if os.path.isdir(REGRESSIONS):
        for name in sorted(os.listdir(REGRESSIONS)):
            cases.append((f"regressions/{name}", name, lambda path=os.path.join(REGRESSIONS, name): read(path)))
    for seed, ext, options in SEEDS:
        data = make_seed(work, seed, ext, options)
        for i in range(args.first, args.first + args.per_seed):
            kind = MUTATIONS[i % len(MUTATIONS)][0]
            # Made when it is run: thousands of mutants need not sit in memory.
            cases.append((f"{seed}#{i} {kind}", f"{seed}-{i}-{kind}.{ext}",
                          lambda seed=seed, data=data, i=i: mutant(seed, data, i)[1]))

    started = time.monotonic()
    failures, codes, cpu, peak = [], {}, [], []
    with ThreadPoolExecutor(max_workers=args.jobs) as pool:
        def run(case):
            label, file_name, make = case
            data = make()
            return label, file_name, data if args.keep else b"", judge(trancor, args.wrapper, args.sanitized,
                                                                       file_name, data, work)
        for label, file_name, data, (verdict, facts) in pool.map(run, cases):
            codes[facts["code"]] = codes.get(facts["code"], 0) + 1
            if len(cpu) % 250 == 249:
                print(f"... {len(cpu) + 1} sources, {len(failures)} failed", flush=True)
            cpu.append(facts["cpu"])
            peak.append(facts["peak_mb"])
            if verdict:
                failures.append(label)
                print(f"FAIL {label}: {verdict} [exit {facts['code']}, {facts['cpu']:.1f} s CPU, "
                      f"{facts['peak_mb']:.0f} MB] {facts['message']}", flush=True)
                if args.keep:
                    os.makedirs(args.keep, exist_ok=True)
                    digest = hashlib.sha1(data).hexdigest()[:8]
                    with open(os.path.join(args.keep, f"{digest}-{file_name}"), "wb") as f:
                        f.write(data)
    if not args.work:
        shutil.rmtree(work, ignore_errors=True)
    cpu.sort()
    peak.sort()
    print(f"{len(cases)} sources in {time.monotonic() - started:.0f} s: {len(failures)} failed; "
          f"exit codes {dict(sorted(codes.items(), key=str))}; CPU median {cpu[len(cpu) // 2]:.2f} s, "
          f"max {cpu[-1]:.2f} s; peak memory median {peak[len(peak) // 2]:.0f} MB, max {peak[-1]:.0f} MB")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
