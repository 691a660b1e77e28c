#!/usr/bin/env bash
# The release as a Windows user gets it: builds the zip and the installer
# (target dist), then, in a fresh Wine prefix whose system folder holds no
# encoder, unpacks the zip into "C:\视频 工具\Vidquill 便携版" and converts
# through it, installs silently, converts with the installed program, installs
# over it, and uninstalls silently (the e2e_package driver does the windows).
#   package.sh DRIVER.exe BUILD_DIR WORK_FOLDER
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
driver=$1 build=$2 work=$3

step() { echo "== package: $*"; }
fail() { echo "package.sh: $*" >&2; exit 1; }

step "building the release"
cmake --build "$build" --target dist
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
zip="$build/dist/Vidquill-$version-win64.zip"
setup="$build/dist/Vidquill-$version-setup.exe"
[ -f "$zip" ] && [ -f "$setup" ] || fail "the release was not made ($zip, $setup)"

mkdir -p "$work"
sample="$work/package-sample.avi"
ffmpeg -v error -y -f lavfi -i testsrc=size=320x240:rate=25 \
       -f lavfi -i sine=frequency=440:sample_rate=44100 -t 2 \
       -c:v mpeg4 -q:v 5 -c:a pcm_s16le -ac 2 "$sample"

# A prefix of its own beside the tests' one, made afresh for every run; the
# Start-menu entries stay inside it (no menu builder).
base=${VIDQUILL_WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/vidquill/wine-test}
export VIDQUILL_WINEPREFIX="$base-fresh"
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
WINEPREFIX=$VIDQUILL_WINEPREFIX wineserver -k 2>/dev/null || true
rm -rf "$VIDQUILL_WINEPREFIX"
step "fresh prefix $VIDQUILL_WINEPREFIX"
source "$root/scripts/wine-env"
vq_wine_prepare
wineserver -p >/dev/null 2>&1 </dev/null || true
cleanup() { wineserver -k 2>/dev/null || true; }
trap cleanup EXIT
drive_c="$WINEPREFIX/drive_c"
# The user's folders are links into the Linux home in a new prefix; a
# Windows user's are folders of their own (the program writes to Videos).
profile="$drive_c/users/$(id -un)"
for link in "$profile"/*; do
  if [ -L "$link" ]; then rm "$link" && mkdir "$link"; fi
done
system32="$drive_c/windows/system32"
system_listing() { (cd "$system32" && find . -printf '%p %s %T@\n' | sort); }
system_before=$(system_listing)
ls "$system32" | grep -i trancor && fail "the new prefix's system folder holds an encoder"

status=0
step "the zip"
python3 -m zipfile -l "$zip"
unpacked="$drive_c/视频 工具/Vidquill 便携版"
mkdir -p "$unpacked"
python3 -m zipfile -e "$zip" "$unpacked"
# Both programs carry the release's version in their version resources.
for exe in Vidquill.exe trancor.exe; do
  strings -el "$unpacked/$exe" | grep -qx "$version.0" || { echo "package.sh: $exe does not carry version $version" >&2; status=1; }
done
VQ_PACKAGE_UNPACKED='C:\视频 工具\Vidquill 便携版' VQ_E2E_SAMPLE=$sample \
  "$root/scripts/wine-run" "$driver" --gtest_filter='Package.Unpacked*' || status=1

step "silent installation"
prefix_listing() { (cd "$drive_c" && find . ! -path './users/*/AppData/Local/Temp*' | sort); }
prefix_before=$(prefix_listing)
"$root/scripts/wine-run" "$setup" /S || fail "the installer failed"
installed="$profile/AppData/Local/Programs/Vidquill"
echo "created in C: by the installer:"
comm -13 <(echo "$prefix_before") <(prefix_listing)
for file in Vidquill.exe trancor.exe LICENSE 使用说明.txt uninstall.exe licenses/FFmpeg.txt; do
  [ -f "$installed/$file" ] || { echo "package.sh: not installed: $file" >&2; status=1; }
done
shortcut="$profile/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Vidquill.lnk"
[ -f "$shortcut" ] || { echo "package.sh: no Start-menu shortcut" >&2; status=1; }
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Vidquill'
registered=$(vq_wine reg query "$key" 2>/dev/null | tr -d '\r')
echo "$registered"
grep -q "DisplayVersion.*$version" <<<"$registered" || { echo "package.sh: no uninstall entry" >&2; status=1; }
grep -q 'QuietUninstallString.*uninstall.exe" /S' <<<"$registered" || { echo "package.sh: no silent uninstall" >&2; status=1; }

step "the installed program"
VQ_E2E_SAMPLE=$sample "$root/scripts/wine-run" "$driver" --gtest_filter='Package.Installed*' || status=1
[ -f "$installed/Config.ini" ] || { echo "package.sh: no Config.ini beside the installed program" >&2; status=1; }

step "installing over it keeps Config.ini"
cp "$installed/Config.ini" "$work/package-config.ini" 2>/dev/null || true
"$root/scripts/wine-run" "$setup" /S || fail "the second installation failed"
cmp "$installed/Config.ini" "$work/package-config.ini" || { echo "package.sh: Config.ini changed" >&2; status=1; }

step "nothing written to the system folder"
if [ "$(system_listing)" != "$system_before" ]; then
  diff <(echo "$system_before") <(system_listing) >&2 || true
  echo "package.sh: the system folder changed" >&2; status=1
fi

step "silent uninstallation"
# The uninstaller runs a copy of itself from the temporary folder and
# returns at once; the files go a moment later.
"$root/scripts/wine-run" "$installed/uninstall.exe" /S || fail "the uninstaller failed"
for _ in $(seq 1 300); do [ -e "$installed" ] || break; sleep 0.1; done
if [ -e "$installed" ]; then
  echo "package.sh: left after uninstalling:" >&2; find "$installed" >&2; status=1
fi
[ ! -e "$shortcut" ] || { echo "package.sh: the shortcut is still there" >&2; status=1; }
if vq_wine reg query "$key" >/dev/null 2>&1; then echo "package.sh: the uninstall entry is still there" >&2; status=1; fi

if [ $status -eq 0 ]; then
  cleanup
  trap - EXIT
  rm -rf "$VIDQUILL_WINEPREFIX"
fi
exit $status
