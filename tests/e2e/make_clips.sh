#!/usr/bin/env bash
# Three different 90 s clips, 640x480 at 29.97 fps, MPEG-4 video and MP3
# sound, as clip1.avi .. clip3.avi in FOLDER; kept when already there.
#   make_clips.sh FOLDER
set -euo pipefail
folder=$1
mkdir -p "$folder"
sources=("testsrc2=size=640x480:rate=30000/1001" "testsrc=size=640x480:rate=30000/1001"
         "life=size=640x480:rate=30000/1001:mold=10:ratio=0.5:death_color=#C83232")
for i in 1 2 3; do
  clip="$folder/clip$i.avi"
  [[ -s $clip ]] && continue
  ffmpeg -v error -nostdin -y -f lavfi -i "${sources[$((i - 1))]}" \
         -f lavfi -i "sine=frequency=$((220 * i)):sample_rate=44100" -t 90 \
         -c:v mpeg4 -q:v 5 -c:a libmp3lame -b:a 128k -ac 2 "$clip.tmp.avi"
  mv "$clip.tmp.avi" "$clip"
done
