#!/usr/bin/env bash
# The real conversion end to end: makes a short AVI with the machine's
# ffmpeg, lets the program convert it with trancor.exe under Wine (the
# e2e_real_conversion driver), then checks the MP4 with ffprobe.
#   real_conversion.sh DRIVER.exe TRANCOR.exe WORK_FOLDER
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
driver=$1 trancor=$2 work=$3

mkdir -p "$work"
sample="$work/sample.avi"
# Four seconds of a test picture with a tone, 640x360, MPEG-4 video and PCM sound.
ffmpeg -v error -y -f lavfi -i testsrc=size=640x360:rate=25 \
       -f lavfi -i sine=frequency=440:sample_rate=44100 -t 4 \
       -c:v mpeg4 -q:v 5 -c:a pcm_s16le -ac 2 "$sample"

VQ_E2E_TRANCOR=$trancor VQ_E2E_SAMPLE=$sample "$root/scripts/wine-run" "$driver" --gtest_filter=RealConversion.ProducesAPspMp4

# The driver's folder is named after its test; the program wrote there.
mp4="$work/RealConversion.ProducesAPspMp4/输出/M4V30000.MP4"
probe=$(ffprobe -v error -show_entries stream=codec_type,codec_name,width,height,sample_rate,channels,r_frame_rate \
                -show_entries format=duration:format_tags=major_brand -of default=nw=1 "$mp4")
echo "$probe"
fail=0
expect() {
  if ! grep -qx -- "$1" <<<"$probe"; then echo "real_conversion: expected '$1' in ffprobe's report" >&2; fail=1; fi
}
expect "codec_name=mpeg4"
expect "width=320"
expect "height=240"
expect "r_frame_rate=30000/1001"
expect "codec_name=aac"
expect "sample_rate=24000"
expect "channels=2"
expect "TAG:major_brand=MSNV"
duration=$(sed -n 's/^duration=//p' <<<"$probe")
if ! awk -v d="$duration" 'BEGIN { exit !(d > 3.5 && d < 4.5) }'; then
  echo "real_conversion: duration $duration is not the source's four seconds" >&2; fail=1
fi
exit $fail
