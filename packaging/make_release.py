#!/usr/bin/env python3
"""Packs the Windows release: the portable zip and the NSIS installer.

Both hold the same files, staged once:
    Vidquill.exe, trancor.exe, LICENSE, licenses/*.txt, 使用说明.txt
Outputs appear under their final names only when complete; the release files
of other versions in the output folder are removed first.
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import zipfile

GUIDE_NAME = "使用说明.txt"


def stage(args, folder):
    """Copies the release's files into `folder`; returns (name in the release, path) pairs."""
    entries = []

    def put(source, name):
        target = os.path.join(folder, *name.split("/"))
        os.makedirs(os.path.dirname(target), exist_ok=True)
        shutil.copyfile(source, target)
        entries.append((name, target))

    put(args.program, "Vidquill.exe")
    put(args.encoder, "trancor.exe")
    # The build keeps its debug information and symbols; the release goes without.
    if args.strip:
        for name in ("Vidquill.exe", "trancor.exe"):
            subprocess.run([args.strip, "--strip-all", os.path.join(folder, name)], check=True)
    put(args.license, "LICENSE")
    for notice in sorted(args.notices, key=os.path.basename):
        put(notice, "licenses/" + os.path.basename(notice))
    # Notepad on older Windows wants CRLF and takes UTF-8 reliably only with a BOM.
    with open(args.guide, encoding="utf-8") as f:
        guide = f.read().replace("\r\n", "\n").replace("\n", "\r\n")
    guide_path = os.path.join(folder, GUIDE_NAME)
    with open(guide_path, "w", encoding="utf-8-sig", newline="") as f:
        f.write(guide)
    entries.append((GUIDE_NAME, guide_path))
    return entries


def write_zip(entries, path):
    partial = path + ".part"
    # Non-ASCII names get the zip's UTF-8 flag (Python sets it for them).
    with zipfile.ZipFile(partial, "w", compression=zipfile.ZIP_DEFLATED, compresslevel=9) as z:
        for name, source in entries:
            z.write(source, name)
    os.replace(partial, path)


def write_installer(args, folder, path):
    partial = path + ".part.exe"
    numbers = (args.version.split(".") + ["0", "0", "0", "0"])[:4]
    command = [
        args.makensis, "-V2", "-INPUTCHARSET", "UTF8",
        "-DVERSION=" + args.version,
        "-DVERSION4=" + ".".join(numbers),
        "-DSTAGE=" + folder,
        "-DOUTFILE=" + partial,
        "-DICON=" + args.icon,
        args.nsis_script,
    ]
    try:
        subprocess.run(command, check=True)
    except (OSError, subprocess.CalledProcessError) as error:
        if os.path.exists(partial):
            os.remove(partial)
        sys.exit("make_release: makensis failed: %s" % error)
    os.replace(partial, path)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--version", required=True)
    parser.add_argument("--program", required=True)
    parser.add_argument("--encoder", required=True)
    parser.add_argument("--license", required=True)
    parser.add_argument("--notices", nargs="*", default=[])
    parser.add_argument("--guide", required=True)
    parser.add_argument("--nsis-script", required=True)
    parser.add_argument("--icon", required=True, help="the program's icon, for the installer")
    parser.add_argument("--makensis", default="makensis")
    parser.add_argument("--strip", help="the toolchain's strip (binutils)")
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    # makensis reads relative paths from the script's folder.
    args.out = os.path.abspath(args.out)

    os.makedirs(args.out, exist_ok=True)
    for name in os.listdir(args.out):
        if name.startswith("Vidquill-") and (name.endswith("-win64.zip") or name.endswith("-setup.exe")):
            os.remove(os.path.join(args.out, name))

    with tempfile.TemporaryDirectory(dir=args.out, prefix="stage-") as folder:
        entries = stage(args, folder)
        write_zip(entries, os.path.join(args.out, "Vidquill-%s-win64.zip" % args.version))
        write_installer(args, folder, os.path.join(args.out, "Vidquill-%s-setup.exe" % args.version))


if __name__ == "__main__":
    main()
