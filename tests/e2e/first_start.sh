#!/usr/bin/env bash
# The first-start scenarios: first without any PSP, then with a fake PSP, a
# Wine drive letter mapped to a temporary folder that holds PSP\ (a symbolic
# link in the prefix's dosdevices folder), removed afterwards.
#   first_start.sh DRIVER.exe WORK_FOLDER
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
driver=$1 work=$2
source "$root/scripts/wine-env"
vq_wine_prepare

status=0
"$root/scripts/wine-run" "$driver" --gtest_filter='FirstStart.*-FirstStart.APspDrive*' || status=1

letter=p
link="$WINEPREFIX/dosdevices/$letter:"
[ ! -e "$link" ] || { echo "first_start.sh: drive $letter: is already mapped" >&2; exit 1; }
mkdir -p "$work"
work=$(cd "$work" && pwd)  # the link must not be relative
stick=$(mktemp -d "$work/psp-stick.XXXXXX")
trap 'rm -f "$link"; rm -rf "$stick"' EXIT
mkdir "$stick/PSP"
ln -s "$stick" "$link"
VQ_E2E_PSP_DRIVE=P "$root/scripts/wine-run" "$driver" --gtest_filter='FirstStart.APspDrive*' || status=1
exit $status
