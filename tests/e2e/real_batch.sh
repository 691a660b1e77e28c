#!/usr/bin/env bash
# Three clips of 90 s converted by the program with trancor.exe under Wine,
# the progress window watched (the e2e_real_batch driver).
#   real_batch.sh DRIVER.exe TRANCOR.exe WORK_FOLDER [DRIVER ARGUMENTS...]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
driver=$1 trancor=$2 work=$3
shift 3
clips="$work/clips-90s"
"$root/tests/e2e/make_clips.sh" "$clips"
VQ_E2E_TRANCOR=$trancor VQ_E2E_CLIPS=$clips "$root/scripts/wine-run" "$driver" "$@"
