#!/usr/bin/env bash
# The real conversion end to end: makes a short AVI with the machine's
# ffmpeg, lets the program convert it with trancor.exe under Wine (the
# e2e_real_conversion driver), then checks the MP4 with ffprobe.
#   real_conversion.sh DRIVER.exe TRANCOR.exe WORK_FOLDER mpeg4|h264
# mpeg4: a 16:9 clip as designed, 320x240 MPEG-4 into an output folder.
# h264: a 4:3 clip in H.264 with its shape kept onto a memory stick's
# folders: the PSP's H.264 form at 480x272, the title from the file's name,
# black bars left and right of the picture.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
driver=$1 trancor=$2 work=$3 kind=$4
case $kind in
  mpeg4) test=RealConversion.ProducesAPspMp4 size=640x360 output=输出/M4V30000.MP4
         expected=(codec_name=mpeg4 width=320 height=240) ;;
  h264) test=RealConversion.H264WithBarsIntoThePspsH264Folder size=640x480
        output=记忆棒/MP_ROOT/100ANV01/MAQ30000.MP4 expected=(codec_name=h264 profile=Main width=480 height=272) ;;
  *) echo "real_conversion: no kind '$kind' (mpeg4 or h264)" >&2; exit 2 ;;
esac

mkdir -p "$work"
sample="$work/sample-$size.avi"
# Four seconds of a bright test picture with a tone, MPEG-4 video and PCM sound.
ffmpeg -v error -y -f lavfi -i testsrc=size=$size:rate=25 \
       -f lavfi -i sine=frequency=440:sample_rate=44100 -t 4 \
       -c:v mpeg4 -q:v 5 -c:a pcm_s16le -ac 2 "$sample"

VQ_E2E_TRANCOR=$trancor VQ_E2E_SAMPLE=$sample "$root/scripts/wine-run" "$driver" --gtest_filter=$test

# The driver's folder is named after its test; the program wrote there.
mp4="$work/$test/$output"
probe=$(ffprobe -v error -show_entries stream=codec_type,codec_name,profile,width,height,sample_rate,channels,r_frame_rate \
                -show_entries format=duration:format_tags=major_brand -of default=nw=1 "$mp4")
echo "$probe"
fail=0
for line in "${expected[@]}" r_frame_rate=30000/1001 codec_name=aac sample_rate=24000 channels=2 TAG:major_brand=MSNV; do
  grep -qx -- "$line" <<<"$probe" || { echo "real_conversion: expected '$line' in ffprobe's report" >&2; fail=1; }
done
duration=$(sed -n 's/^duration=//p' <<<"$probe")
if ! awk -v d="$duration" 'BEGIN { exit !(d > 3.5 && d < 4.5) }'; then
  echo "real_conversion: duration $duration is not the source's four seconds" >&2; fail=1
fi
[ "$kind" = h264 ] || exit $fail

# The title sits in the PSP's own metadata box, which ffprobe does not show.
title=$(PYTHONPATH="$root/tests/encoder" python3 -c 'import sys, trancor_helpers as t; print(t.psp_title(sys.argv[1]))' "$mp4")
[ "$title" = "假期" ] || { echo "real_conversion: title '$title', expected '假期'" >&2; fail=1; }

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
  echo "real_conversion: no black bars at the sides (brightest $left and $right)" >&2; fail=1
fi
if [ -z "$middle" ] || [ "$middle" -lt 150 ]; then
  echo "real_conversion: no picture in the middle (brightest $middle)" >&2; fail=1
fi
exit $fail
