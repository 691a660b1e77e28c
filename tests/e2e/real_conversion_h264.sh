#!/usr/bin/env bash
# The real conversion in H.264 with the picture's shape kept: a 4:3 AVI
# converted by the program with trancor.exe under Wine onto a memory stick's
# folders (the e2e_real_conversion driver), then the MP4 checked with
# ffprobe: the PSP's H.264 form at 480x272, the title from the file's name,
# black bars left and right of the picture.
#   real_conversion_h264.sh DRIVER.exe TRANCOR.exe WORK_FOLDER
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
driver=$1 trancor=$2 work=$3
test=RealConversion.H264WithBarsIntoThePspsH264Folder

mkdir -p "$work"
sample="$work/sample-4x3.avi"
# Four seconds of a bright test picture, 640x480, with a tone.
ffmpeg -v error -y -f lavfi -i testsrc=size=640x480:rate=25 \
       -f lavfi -i sine=frequency=440:sample_rate=44100 -t 4 \
       -c:v mpeg4 -q:v 5 -c:a pcm_s16le -ac 2 "$sample"

VQ_E2E_TRANCOR=$trancor VQ_E2E_SAMPLE=$sample "$root/scripts/wine-run" "$driver" --gtest_filter=$test

mp4="$work/$test/记忆棒/MP_ROOT/100ANV01/MAQ30000.MP4"
probe=$(ffprobe -v error -show_entries stream=codec_type,codec_name,profile,width,height,sample_rate,r_frame_rate \
                -show_entries format_tags=major_brand -of default=nw=1 "$mp4")
echo "$probe"
fail=0
expect() {
  if ! grep -qx -- "$1" <<<"$probe"; then echo "real_conversion_h264: expected '$1' in ffprobe's report" >&2; fail=1; fi
}
expect "codec_name=h264"
expect "profile=Main"
expect "width=480"
expect "height=272"
expect "r_frame_rate=30000/1001"
expect "codec_name=aac"
expect "sample_rate=24000"
expect "TAG:major_brand=MSNV"
# The title sits in the PSP's own metadata box, which ffprobe does not show.
title=$(PYTHONPATH="$root/tests/encoder" python3 -c 'import sys, trancor_helpers as t; print(t.psp_title(sys.argv[1]))' "$mp4")
[ "$title" = "假期" ] || { echo "real_conversion_h264: title '$title', expected '假期'" >&2; fail=1; }

# The brightest pixel of a 40-pixel strip at each side, and of the middle,
# over every picture: a 4:3 picture fitted into 480x272 leaves about 59
# black columns on either side.
brightest() {
  ffmpeg -v error -i "$mp4" -vf "crop=$1,signalstats,metadata=print:key=lavfi.signalstats.YMAX:file=-" -f null - |
    sed -n 's/^lavfi.signalstats.YMAX=//p' | sort -n | tail -n 1
}
left=$(brightest 40:272:0:0) right=$(brightest 40:272:440:0) middle=$(brightest 200:272:140:0)
echo "brightest: left $left, middle $middle, right $right"
if [ -z "$left" ] || [ "$left" -gt 40 ] || [ "$right" -gt 40 ]; then
  echo "real_conversion_h264: no black bars at the sides (brightest $left and $right)" >&2; fail=1
fi
if [ -z "$middle" ] || [ "$middle" -lt 150 ]; then
  echo "real_conversion_h264: no picture in the middle (brightest $middle)" >&2; fail=1
fi
exit $fail
