#!/usr/bin/env bash
# COUNT different clips (default 3) of SECONDS (default 90), 640x480 at
# 29.97 fps, MPEG-4 video and MP3 sound, as clip1.avi .. clipCOUNT.avi in
# FOLDER; kept when already there.
#   make_clips.sh FOLDER [COUNT] [SECONDS]
set -euo pipefail
folder=$1 count=${2:-3} seconds=${3:-90}
mkdir -p "$folder"
sources=("testsrc2=size=640x480:rate=30000/1001" "testsrc=size=640x480:rate=30000/1001"
         "life=size=640x480:rate=30000/1001:mold=10:ratio=0.5:death_color=#C83232")
for ((i = 1; i <= count; i++)); do
  clip="$folder/clip$i.avi"
  [[ -s $clip ]] && continue
  ffmpeg -v error -nostdin -y -f lavfi -i "${sources[$(((i - 1) % 3))]}" \
         -f lavfi -i "sine=frequency=$((220 * i)):sample_rate=44100" -t "$seconds" \
         -c:v mpeg4 -q:v 5 -c:a libmp3lame -b:a 128k -ac 2 "$clip.tmp.avi"
  mv "$clip.tmp.avi" "$clip"
done
